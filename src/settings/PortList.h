#pragma once

#include <QStringList>

class QComboBox;
class QLabel;
class QWidget;

// The choices of a serial-port list, given the names of the system's serial
// devices (ttyS0, ttyUSB0, COM17...): the port numbers "1" to "16", then
// every other device by name, sorted, so that each device is offered once
// ("ttyS0" is port 1 on Linux, "COM1" on Windows).
QStringList SerialPortChoices(const QStringList& systemPorts);
// The same with the devices the system reports now.
QStringList SerialPortChoices();

// True when a port text is a port number ("3"), false for a device name or
// path ("ttyUSB0", "/dev/pts/4").
bool IsPortNumber(const QString& port);

// The editable port list of the preferences and slave dialogs (object name
// "cboPort"): the choices above, any other number or device can be typed, and
// it is wide enough to show a device path. A prefix label ("COM") is shown
// only while the list holds a port number.
QComboBox* NewPortList(QWidget* parent, QLabel* numberPrefix = nullptr);
