#pragma once

// Names the program for Qt ("orvel": its settings and cache folders, the
// window system's class). It sets no display name: the platform would add
// that to every window title, and each title is the window's own text.
void SetApplicationName();
