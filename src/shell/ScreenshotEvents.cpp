#include "ScreenshotEvents.h"

#include "wMain.h"

#include "eventlog/wBuffer.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "util/ErrorHandling.h"

#include <cstdio>

void ScreenshotEvents::Take(wMain& main, const Picture& picture)
{
    const QString line = qEnvironmentVariable("ORVEL_SCREENSHOT_EVENTS");
    const qsizetype colon = line.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return;
    const int slave = line.mid(colon + 1).toInt();
    SerialComCtrl port;
    const bool open = Trap("ScreenshotEvents.Take", [&] {
        port.SetCommPort(line.left(colon));
        port.SetPortOpen(true);
        return true;
    });
    if (!open || slave < 1 || slave > 64) {
        std::fprintf(stderr, "screenshot: no event list from %s\n", qPrintable(line));
        return;
    }
    PanelLink link(port, main.Link().options());
    wBuffer buffer(link, &main);
    buffer.SetPanelNumber(slave);
    if (!buffer.ReadBuffer(std::uint8_t(slave)))
        return;
    picture(&buffer, QStringLiteral("events"));
    // The time column, twice: newest first, with the SortDown image.
    buffer.lvwBuffer_ColumnClick(2);
    buffer.lvwBuffer_ColumnClick(2);
    picture(&buffer, QStringLiteral("events-sorted"));
}
