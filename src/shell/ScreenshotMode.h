#pragma once

// Pictures of the console for its documentation and for reviewing the texts
// of each language: when the environment variable ORVEL_SCREENSHOT_DIR names a
// folder, the console starts as usual, saves PNG pictures of its main window
// (with the splash and without), the preferences, the slave dialog, the search
// window, the password dialog, the About box, the help window, the event
// list, the line scan window and the line monitor, a panel window on each of
// its pages, the print settings and the print
// preview into that folder, and ends. Dialogs are shown without waiting for
// the user.
namespace ScreenshotMode {
bool Requested();
// Returns the program's exit status.
int Run();
} // namespace ScreenshotMode
