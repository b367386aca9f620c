#pragma once

class QString;
class wMain;

// The screenshot pictures of a read from a panel: when ORVEL_SCREENSHOT_PANEL
// names the line of a panel simulator with a version 1.06 panel at slave 1
// and a version 1.02 panel at slave 2, the console reads slave 1 and pictures
// the progress bar half-way ("read-progress"), then starts a read of slave 2
// and pictures the older-firmware question ("read-older-firmware"), which it
// answers No.
namespace ScreenshotTransfer {
void Take(wMain& window, const QString& folder);
}
