#pragma once

#include "CipherDb.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>
#include <optional>

// The state behind DataFunctions: the open data file, the current language and
// the tables read so far. Each table is read whole on its first use and served
// from memory afterwards; the data file is read-only for the console, so the
// copy never goes stale. Internal to the library.

// One table keyed by its primary key column: its column names and every row's
// cells in column order (a null cell is a null QString).
struct CachedTable
{
    bool loaded = false;
    QStringList columns;
    QHash<qint64, QStringList> byNumber; // numeric keys (texts, tool tips)
    QHash<QString, QStringList> byName;  // text keys (menus)
};

struct DefaultsTable
{
    bool loaded = false;
    // Key -> "Valeur", whole or real; nullopt for an empty value.
    QHash<qint64, std::optional<double>> values;
    // Keys whose "Valeur" is neither empty nor a number: reading one is a
    // type mismatch.
    QSet<qint64> badKeys;
};

struct DataFileState
{
    std::unique_ptr<CipherDb> db;
    QString language;
    CachedTable labels;
    CachedTable toolTips;
    CachedTable menus;
    DefaultsTable defaults;
};

DataFileState& DataState();

// Reads a table into memory on first use. Raises: 91 when no data file is
// open, 3265 when the table or its key column is missing, 3343 when the file
// cannot be read.
CachedTable& TextTable(CachedTable& table, const QString& name, bool numericKey);
DefaultsTable& DefaultValues();
