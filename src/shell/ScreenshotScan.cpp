#include "ScreenshotScan.h"

#include "wLineMonitor.h"
#include "wMain.h"
#include "wScanLine.h"

#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "util/ErrorHandling.h"

#include <cstdio>

void ScreenshotScan::Take(wMain& main,
                          const std::function<void(QWidget* window, const QString& name)>& window,
                          const std::function<void(const QString& name)>& mainWindow)
{
    const QString line = qEnvironmentVariable("ORVEL_SCREENSHOT_SCAN");
    if (line.isEmpty())
        return;
    SerialComCtrl port;
    const bool open = Trap("ScreenshotScan.Take", [&] {
        port.SetCommPort(line);
        port.SetPortOpen(true);
        return true;
    });
    if (!open) {
        std::fprintf(stderr, "screenshot: no scan of %s\n", qPrintable(line));
        return;
    }
    PanelLink link(port, main.Link().options());
    {
        auto* monitor = new wLineMonitor(link, &main);
        main.addDockWidget(Qt::BottomDockWidgetArea, monitor);
        main.resizeDocks({monitor}, {main.height() / 3}, Qt::Vertical);
        monitor->show();

        wScanLine scan(link, &main);
        ScanOptions options;
        options.probeMarginMs = 20;
        scan.SetOptions(options);
        scan.show();
        scan.Scan();
        monitor->Refresh();
        window(&scan, QStringLiteral("scan"));
        mainWindow(QStringLiteral("scan-monitor"));
        scan.hide();
        mainWindow(QStringLiteral("monitor"));
        delete monitor;
    }
}
