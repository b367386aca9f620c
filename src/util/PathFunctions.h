#pragma once

#include <QByteArray>
#include <QString>

// Path splitting that accepts both "\" and "/" as separators, so paths typed
// or stored on Windows work on Linux and the reverse.

// The path without its last component ("" when there is no separator).
QString FolderOf(const QString& path);
// The last component (the whole path when there is no separator).
QString FileNameOf(const QString& path);
// folder + separator + name, using the separator the folder already uses.
QString JoinPath(const QString& folder, const QString& name);

// Whether bytes from the system (a command-line argument, an environment
// variable) name exactly one file once taken as text: false for bytes that are
// not valid in the system's encoding (on Linux, UTF-8), which would stand for
// another name once decoded.
bool IsExactLocalName(const QByteArray& raw);
