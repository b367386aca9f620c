#include "DataFileState.h"

#include "util/RuntimeError.h"

namespace {

CipherDb& OpenDb()
{
    DataFileState& state = DataState();
    if (!state.db || !state.db->isOpen())
        Raise(ErrNo::NoObject, QStringLiteral("no data file is open"));
    return *state.db;
}

// Position of the primary key column of a table (raises when there is none).
int KeyColumn(CipherDb& db, const QString& name)
{
    CipherQuery info(db, QStringLiteral("PRAGMA table_info(%1)").arg(CipherDb::quoteName(name)));
    int column = -1;
    bool any = false;
    while (info.next()) {
        any = true;
        if (info.integer(5).value_or(0) == 1)
            column = int(info.integer(0).value_or(-1));
    }
    if (info.failed())
        Raise(ErrNo::DataFileFormat, db.lastError());
    if (!any)
        Raise(ErrNo::DataItemNotFound, QStringLiteral("no table ") + name);
    if (column < 0)
        Raise(ErrNo::DataItemNotFound, QStringLiteral("no key column in ") + name);
    return column;
}

} // namespace

DataFileState& DataState()
{
    static DataFileState state;
    return state;
}

CachedTable& TextTable(CachedTable& table, const QString& name, bool numericKey)
{
    if (table.loaded)
        return table;
    CipherDb& db = OpenDb();
    const int key = KeyColumn(db, name);
    CachedTable fresh;
    CipherQuery rows(db, QStringLiteral("SELECT * FROM %1").arg(CipherDb::quoteName(name)));
    if (!rows.isValid())
        Raise(ErrNo::DataFileFormat, db.lastError());
    for (int i = 0; i < rows.columnCount(); ++i)
        fresh.columns << rows.columnName(i);
    while (rows.next()) {
        QStringList cells;
        cells.reserve(fresh.columns.size());
        for (int i = 0; i < fresh.columns.size(); ++i)
            cells << rows.text(i);
        if (numericKey) {
            if (const auto tag = rows.integer(key))
                fresh.byNumber.insert(*tag, cells);
        } else if (!rows.isNull(key)) {
            fresh.byName.insert(rows.text(key), cells);
        }
    }
    if (rows.failed())
        Raise(ErrNo::DataFileFormat, db.lastError());
    fresh.loaded = true;
    table = std::move(fresh);
    return table;
}

DefaultsTable& DefaultValues()
{
    DefaultsTable& table = DataState().defaults;
    if (table.loaded)
        return table;
    CipherDb& db = OpenDb();
    const QString name = QStringLiteral("T_Defaults");
    const int key = KeyColumn(db, name);
    const QStringList columns = db.columns(name);
    int value = -1;
    for (int i = 0; i < columns.size() && value < 0; ++i) {
        if (columns[i].compare(QLatin1String("Valeur"), Qt::CaseInsensitive) == 0)
            value = i;
    }
    if (value < 0)
        Raise(ErrNo::DataItemNotFound, QStringLiteral("no column Valeur in T_Defaults"));
    DefaultsTable fresh;
    CipherQuery rows(db, QStringLiteral("SELECT * FROM %1").arg(CipherDb::quoteName(name)));
    if (!rows.isValid())
        Raise(ErrNo::DataFileFormat, db.lastError());
    while (rows.next()) {
        const auto k = rows.integer(key);
        if (!k)
            continue;
        if (rows.isNull(value) || rows.text(value).isEmpty()) {
            fresh.values.insert(*k, std::nullopt);
            continue;
        }
        if (const auto v = rows.number(value))
            fresh.values.insert(*k, *v);
        else
            fresh.badKeys.insert(*k);
    }
    if (rows.failed())
        Raise(ErrNo::DataFileFormat, db.lastError());
    fresh.loaded = true;
    table = std::move(fresh);
    return table;
}
