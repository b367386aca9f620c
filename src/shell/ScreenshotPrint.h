#pragma once

#include <functional>

class QPixmap;
class QString;
class wMain;

// The printing pictures of the screenshot mode: the print settings dialog
// (through the command, so the screenshot seam pictures it as "print-setup")
// and the preview window of a new panel window's report ("preview").
namespace ScreenshotPrint {
// nextDialog(name) names the next dialog's picture; save(picture, name) saves one.
void Take(wMain& window, const std::function<void(const QString& name)>& nextDialog,
          const std::function<void(const QPixmap&, const QString&)>& save);
} // namespace ScreenshotPrint
