#pragma once

#include <QString>

#include <functional>

class wMain;

// The panel window's pictures for the screenshot mode: a new panel window on
// each of its pages (inputs, outputs with the common alarm warning, general,
// factory), then an input cell's drop-down list open and an up-down cell open.
// shoot(name) pictures the main window under that name once it has settled.
namespace ScreenshotPanels {
void Take(wMain* window, const std::function<void(const QString& name)>& shoot);
} // namespace ScreenshotPanels
