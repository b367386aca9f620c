#pragma once

#include <QString>

#include <functional>

class QDialog;
class wMain;

// The event list's pictures for the screenshots: when ORVEL_SCREENSHOT_EVENTS
// names the line of a panel and its slave number ("/path/to/line:3"), the
// event window reads that panel and is pictured as read ("events") and
// sorted by time, newest first ("events-sorted").
namespace ScreenshotEvents {
// Pictures a dialog under a name.
using Picture = std::function<void(QDialog* dialog, const QString& name)>;
void Take(wMain& main, const Picture& picture);
} // namespace ScreenshotEvents
