#pragma once

#include <QStringList>

// The choices of a serial-port list: the port numbers "1" to "16", then the
// serial devices that the system reports, by name (ttyUSB0, ttyS4, COM17...),
// each once.
QStringList SerialPortChoices();
