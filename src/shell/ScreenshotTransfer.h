#pragma once

#include <QString>

#include <functional>

class wMain;

// The pictures of a read from a panel for the screenshot mode: when
// ORVEL_SCREENSHOT_PANEL names the line of a panel simulator with a version
// 1.06 panel at slave 1 and a version 1.02 panel at slave 2, the console reads
// slave 1 and pictures the progress bar half-way ("read-progress"), then
// starts a read of slave 2 and pictures the older-firmware question
// ("read-older-firmware"), which it answers No. shoot(name) pictures the main
// window under that name once it has settled.
namespace ScreenshotTransfer {
void Take(wMain* window, const std::function<void(const QString& name)>& shoot);
} // namespace ScreenshotTransfer
