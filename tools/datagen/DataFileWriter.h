#pragma once

#include "DataSources.h"

#include <QByteArray>
#include <QString>

// Writes the encrypted data file from the text sources, and reads one back.
//
// Tables:
//   T_Labels, T_ToolTips  Tag INTEGER PRIMARY KEY, Note, Source, <language>...
//   T_Menus               Key TEXT PRIMARY KEY, Note, <language>...
//   T_MenuSources         Key TEXT PRIMARY KEY, Source  (the source file of each
//                         menu row, so that a dump restores the files)
//   T_Defaults            Key INTEGER PRIMARY KEY, Valeur INTEGER, Note
//   T_SourceLines         Path, Line, Kind, Text: the layout of every source
//                         file (comments, blank lines, row order), so that a
//                         dump gives back the files that were read
// The first language is the default one: column 3 of the tag tables, column 2
// of T_Menus. An empty text is stored as NULL.

// Checks the sources, then writes them to a temporary file beside path and
// renames it over path, so a failure never leaves a half-written file.
// password: the program's own unless a test wants another.
bool WriteDataFile(const DataSources& sources, const QString& path, QString& error,
                   const QByteArray& password = {});

// Reads a data file back into sources (for the dump).
bool ReadDataFile(const QString& path, DataSources& sources, QString& error,
                  const QByteArray& password = {});
