#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the code page of configuration files on every platform, so that
// files move between this console and existing Windows machines.

// One byte per character; a character Windows-1252 cannot hold becomes '?'.
QByteArray ToCp1252(const QString& text);
// Every byte maps to one character (the five unassigned bytes map to the C1
// control of the same value, as Windows does).
QString FromCp1252(const QByteArray& bytes);
