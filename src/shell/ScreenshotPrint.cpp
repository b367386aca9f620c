#include "ScreenshotPrint.h"

#include "wMain.h"

#include "editor/wPanneau.h"
#include "print/wPreview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QPixmap>

namespace {
void Settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
} // namespace

void ScreenshotPrint::Take(wMain& window,
                           const std::function<void(const QString& name)>& nextDialog,
                           const std::function<void(const QPixmap&, const QString&)>& save)
{
    nextDialog(QStringLiteral("print-setup"));
    window.mnuFilePrintSetup_Click();

    window.mnuFileNew_Click();
    if (wPanneau* panel = window.ActivePanel())
        panel->Config().SetModuleName(QStringLiteral("Pump room 2"));
    window.mnuFilePreview_Click();
    if (wPreview* preview = window.Preview()) {
        Settle(500);
        save(preview->grab(), QStringLiteral("preview"));
        preview->close();
    }
    window.MdiArea()->closeAllSubWindows();
    Settle(200);
}
