#pragma once

#include <QByteArray>
#include <QString>

#include "util/UiSeam.h"

// Where orvelctl's messages and data go.

// A message of the data file by its tag, on standard error with its icon.
void Say(int tag, MsgIcon icon);
// The text of a tag with the line marks turned into line ends of the console.
QString TextLines(int tag);
// Two texts as one message, one after the other.
QString TextLines(int first, int second);
// Bytes on standard output; false when they could not be written.
bool WriteStdout(const QByteArray& bytes);
// Replaces a file with bytes (whole or not at all); a failure is reported and
// gives false.
bool WriteFileBytes(const QString& path, const QByteArray& bytes);
// Whether the file could be written now, checked before a transfer whose
// result goes there; a failure is reported.
bool CheckOutputFile(const QString& path);
// True when standard error is a terminal (progress lines are shown there only).
bool StderrIsTerminal();
