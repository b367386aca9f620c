#pragma once

#include <QString>

// The checks and locks around opening a serial device, so that one device is
// used by one program at a time whatever name each gives it.

// The device a port stands for, with its symbolic links resolved (a link made
// by the simulator, /dev/ttyUSB0 and ttyUSB0 all give the same path). Raises
// 8002 (the port cannot be opened) for anything that is not a serial device:
// a missing path, a name too long, a folder, a regular file, a pipe, a
// device other than a terminal line. The device is not opened for writing.
QString SerialDevicePath(const QString& device);

// Removes the lock files of the device that no live program owns (an empty
// or damaged file left by an interrupted start, or the file of a program
// that has ended), so that they do not block the port.
void RemoveStaleLockFiles(const QString& devicePath);

// Takes an exclusive lock on an open device; false when another program holds
// it (through any name of the device).
bool LockOpenDevice(qintptr handle);
