#pragma once

#include <QString>

#include <functional>

class QWidget;
class wMain;

// The commissioning tools' pictures for the screenshots: when
// ORVEL_SCREENSHOT_SCAN names a line with panels on it, the line monitor is
// docked in the main window and the scan window scans that line; pictured are
// the scan window with the panels found ("scan"), the main window with the
// scan window over it and the monitor below ("scan-monitor"), and the main
// window with the monitor alone ("monitor").
namespace ScreenshotScan {
void Take(wMain& main, const std::function<void(QWidget* window, const QString& name)>& window,
          const std::function<void(const QString& name)>& mainWindow);
} // namespace ScreenshotScan
