#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Finds, in C++ sources, the text tags and menu keys the code looks up, so the
// catalogue test can check that the data file has a row for each. The forms
// it understands are the project's convention (see tst_datacatalogue.cpp).
struct SourceReferences
{
    // Tag -> the first "file:line" that needs it.
    QMap<qint64, QString> labels;
    QMap<qint64, QString> toolTips;
    // Menu key -> the first "file:line" that names it.
    QMap<QString, QString> menuKeys;
};

// Scans one source text; where is the file name used in the locations.
void ScanSource(const QString& text, const QString& where, SourceReferences& refs);

// Scans every .cpp and .h file under folder (recursively), except those under
// the folders named in skip (relative to folder).
void ScanFolder(const QString& folder, const QStringList& skip, SourceReferences& refs);
