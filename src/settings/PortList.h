#pragma once

#include <QStringList>

class QComboBox;
class QWidget;

// The choices of a serial-port list: the port numbers "1" to "16", then the
// serial devices that the system reports, by name (ttyUSB0, ttyS4, COM17...),
// each once.
QStringList SerialPortChoices();

// The editable port list of the preferences and slave dialogs (object name
// "cboPort"): the choices above, any other number or device can be typed, and
// it is wide enough to show a device path.
QComboBox* NewPortList(QWidget* parent);
