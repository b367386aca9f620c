#include "DataFileWriter.h"

#include "texts/CipherDb.h"
#include "texts/DataFileKey.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cstdio>

namespace {

QByteArray Password(const QByteArray& given)
{
    return given.isEmpty() ? QByteArray(DataFilePassword) : given;
}

QVariant TextValue(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QString LanguageColumns(const QStringList& languages)
{
    QString sql;
    for (const QString& language : languages)
        sql += QStringLiteral(", ") + CipherDb::quoteName(language) + QStringLiteral(" TEXT");
    return sql;
}

QString Placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

bool Fail(CipherDb& db, QString& error)
{
    error = db.lastError();
    return false;
}

bool WriteTagTable(CipherDb& db, const QString& name, const TextSourceTable& table, QString& error)
{
    if (!db.exec(QStringLiteral("CREATE TABLE %1 (\"Tag\" INTEGER PRIMARY KEY, \"Note\" TEXT, "
                                "\"Source\" TEXT%2)")
                     .arg(CipherDb::quoteName(name), LanguageColumns(table.languages))))
        return Fail(db, error);
    CipherQuery insert(
        db, QStringLiteral("INSERT INTO %1 VALUES (%2)")
                .arg(CipherDb::quoteName(name), Placeholders(3 + table.languages.size())));
    for (const TextSourceRow& row : table.rows) {
        insert.bind(1, row.key.toLongLong());
        insert.bind(2, row.note);
        insert.bind(3, row.file);
        for (int i = 0; i < row.texts.size(); ++i)
            insert.bind(4 + i, TextValue(row.texts[i]));
        if (!insert.run())
            return Fail(db, error);
    }
    return true;
}

bool WriteMenus(CipherDb& db, const TextSourceTable& table, QString& error)
{
    if (!db.exec(
            QStringLiteral("CREATE TABLE \"T_Menus\" (\"Key\" TEXT PRIMARY KEY, \"Note\" TEXT%1)")
                .arg(LanguageColumns(table.languages))) ||
        !db.exec(QStringLiteral(
            "CREATE TABLE \"T_MenuSources\" (\"Key\" TEXT PRIMARY KEY, \"Source\" TEXT)")))
        return Fail(db, error);
    CipherQuery insert(db, QStringLiteral("INSERT INTO \"T_Menus\" VALUES (%1)")
                               .arg(Placeholders(2 + table.languages.size())));
    CipherQuery source(db, QStringLiteral("INSERT INTO \"T_MenuSources\" VALUES (?,?)"));
    for (const TextSourceRow& row : table.rows) {
        insert.bind(1, row.key);
        insert.bind(2, row.note);
        for (int i = 0; i < row.texts.size(); ++i)
            insert.bind(3 + i, TextValue(row.texts[i]));
        source.bind(1, row.key);
        source.bind(2, row.file);
        if (!insert.run() || !source.run())
            return Fail(db, error);
    }
    return true;
}

bool WriteDefaults(CipherDb& db, const QList<DefaultSourceRow>& rows, QString& error)
{
    if (!db.exec(QStringLiteral("CREATE TABLE \"T_Defaults\" (\"Key\" INTEGER PRIMARY KEY, "
                                "\"Valeur\" INTEGER, \"Note\" TEXT)")))
        return Fail(db, error);
    CipherQuery insert(db, QStringLiteral("INSERT INTO \"T_Defaults\" VALUES (?,?,?)"));
    for (const DefaultSourceRow& row : rows) {
        insert.bind(1, row.key);
        insert.bind(2, row.value ? QVariant(*row.value) : QVariant());
        insert.bind(3, row.note);
        if (!insert.run())
            return Fail(db, error);
    }
    return true;
}

bool WriteLayouts(CipherDb& db, const QList<SourceLayout>& layouts, QString& error)
{
    if (!db.exec(
            QStringLiteral("CREATE TABLE \"T_SourceLines\" (\"Path\" TEXT, \"Line\" INTEGER, "
                           "\"Kind\" INTEGER, \"Text\" TEXT, PRIMARY KEY (\"Path\", \"Line\"))")))
        return Fail(db, error);
    CipherQuery insert(db, QStringLiteral("INSERT INTO \"T_SourceLines\" VALUES (?,?,?,?)"));
    for (const SourceLayout& layout : layouts) {
        for (int i = 0; i < layout.lines.size(); ++i) {
            insert.bind(1, layout.path);
            insert.bind(2, i + 1);
            insert.bind(3, int(layout.lines[i].kind));
            insert.bind(4, layout.lines[i].text);
            if (!insert.run())
                return Fail(db, error);
        }
    }
    return true;
}

bool WriteAll(CipherDb& db, const DataSources& sources, QString& error)
{
    return db.exec(QStringLiteral("BEGIN")) &&
           WriteTagTable(db, QStringLiteral("T_Labels"), sources.labels, error) &&
           WriteTagTable(db, QStringLiteral("T_ToolTips"), sources.toolTips, error) &&
           WriteMenus(db, sources.menus, error) && WriteDefaults(db, sources.defaults, error) &&
           WriteLayouts(db, sources.layouts, error) &&
           (db.exec(QStringLiteral("COMMIT")) || Fail(db, error));
}

bool ReadTagTable(CipherDb& db, const QString& name, TextSourceTable& table, QString& error)
{
    const QStringList columns = db.columns(name);
    if (columns.size() < 3 || columns[0] != QLatin1String("Tag") ||
        columns[1] != QLatin1String("Note") || columns[2] != QLatin1String("Source")) {
        error = name + QStringLiteral(": not a table of Tag, Note, Source and languages");
        return false;
    }
    table.languages = columns.mid(3);
    CipherQuery rows(
        db, QStringLiteral("SELECT * FROM %1 ORDER BY \"Tag\"").arg(CipherDb::quoteName(name)));
    while (rows.next()) {
        TextSourceRow row;
        row.key = rows.text(0);
        row.note = rows.text(1);
        row.file = rows.text(2);
        for (int i = 3; i < columns.size(); ++i)
            row.texts << (rows.isNull(i) ? QString() : rows.text(i));
        table.rows << row;
    }
    if (rows.failed() || !rows.isValid())
        return Fail(db, error);
    return true;
}

bool ReadMenus(CipherDb& db, TextSourceTable& table, QString& error)
{
    const QStringList columns = db.columns(QStringLiteral("T_Menus"));
    if (columns.size() < 2 || columns[0] != QLatin1String("Key") ||
        columns[1] != QLatin1String("Note")) {
        error = QStringLiteral("T_Menus: not a table of Key, Note and languages");
        return false;
    }
    table.languages = columns.mid(2);
    QHash<QString, QString> sources;
    if (db.hasTable(QStringLiteral("T_MenuSources"))) {
        CipherQuery rows(db, QStringLiteral("SELECT \"Key\", \"Source\" FROM \"T_MenuSources\""));
        while (rows.next())
            sources.insert(rows.text(0), rows.text(1));
        if (rows.failed() || !rows.isValid())
            return Fail(db, error);
    }
    CipherQuery rows(db, QStringLiteral("SELECT * FROM \"T_Menus\" ORDER BY rowid"));
    while (rows.next()) {
        TextSourceRow row;
        row.key = rows.text(0);
        row.note = rows.text(1);
        row.file = sources.value(row.key, QStringLiteral("menus.tsv"));
        for (int i = 2; i < columns.size(); ++i)
            row.texts << (rows.isNull(i) ? QString() : rows.text(i));
        table.rows << row;
    }
    if (rows.failed() || !rows.isValid())
        return Fail(db, error);
    return true;
}

bool ReadDefaults(CipherDb& db, QList<DefaultSourceRow>& defaults, QString& error)
{
    CipherQuery rows(
        db, QStringLiteral(
                "SELECT \"Key\", \"Valeur\", \"Note\" FROM \"T_Defaults\" ORDER BY \"Key\""));
    while (rows.next()) {
        DefaultSourceRow row;
        const auto key = rows.integer(0);
        if (!key || (!rows.isNull(1) && !rows.integer(1))) {
            error =
                QStringLiteral("T_Defaults: key %1 does not hold whole numbers").arg(rows.text(0));
            return false;
        }
        row.key = *key;
        if (!rows.isNull(1))
            row.value = rows.integer(1);
        row.note = rows.text(2);
        defaults << row;
    }
    if (rows.failed() || !rows.isValid())
        return Fail(db, error);
    return true;
}

bool ReadLayouts(CipherDb& db, QList<SourceLayout>& layouts, QString& error)
{
    if (!db.hasTable(QStringLiteral("T_SourceLines")))
        return true;
    CipherQuery rows(db,
                     QStringLiteral("SELECT \"Path\", \"Kind\", \"Text\" FROM \"T_SourceLines\" "
                                    "ORDER BY \"Path\", \"Line\""));
    while (rows.next()) {
        const QString path = rows.text(0);
        const qint64 kind = rows.integer(1).value_or(-1);
        if (kind < SourceLine::Header || kind > SourceLine::Verbatim) {
            error = QStringLiteral("T_SourceLines: unknown line kind in ") + path;
            return false;
        }
        if (layouts.isEmpty() || layouts.last().path != path)
            layouts.append({path, {}});
        layouts.last().lines.append({SourceLine::Kind(kind), rows.text(2)});
    }
    if (rows.failed() || !rows.isValid())
        return Fail(db, error);
    return true;
}

} // namespace

bool WriteDataFile(const DataSources& sources, const QString& path, QString& error,
                   const QByteArray& password)
{
    const QStringList problems = CheckSources(sources);
    if (!problems.isEmpty()) {
        error = problems.join(QLatin1Char('\n'));
        return false;
    }
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString temporary =
        target + QStringLiteral(".tmp-%1").arg(QCoreApplication::applicationPid());
    QFile::remove(temporary);
    bool ok = false;
    {
        CipherDb db;
        ok = db.open(temporary, Password(password), CipherDb::Mode::Create) || Fail(db, error);
        ok = ok && WriteAll(db, sources, error);
    }
    if (ok && std::rename(QFile::encodeName(temporary).constData(),
                          QFile::encodeName(target).constData()) != 0) {
        error = target + QStringLiteral(": cannot replace the file");
        ok = false;
    }
    if (!ok)
        QFile::remove(temporary);
    return ok;
}

bool ReadDataFile(const QString& path, DataSources& sources, QString& error,
                  const QByteArray& password)
{
    CipherDb db;
    if (!db.open(path, Password(password), CipherDb::Mode::ReadOnly) || !db.verify())
        return Fail(db, error);
    sources = DataSources{};
    if (!ReadTagTable(db, QStringLiteral("T_Labels"), sources.labels, error) ||
        !ReadTagTable(db, QStringLiteral("T_ToolTips"), sources.toolTips, error) ||
        !ReadMenus(db, sources.menus, error) || !ReadDefaults(db, sources.defaults, error) ||
        !ReadLayouts(db, sources.layouts, error))
        return false;
    // Line numbers of the rows, from the layout of their files.
    QHash<QString, int> lines;
    for (const SourceLayout& layout : sources.layouts) {
        for (int i = 0; i < layout.lines.size(); ++i) {
            if (layout.lines[i].kind == SourceLine::Row)
                lines.insert(layout.path + QLatin1Char('\t') + layout.lines[i].text, i + 1);
        }
    }
    for (auto [table, folder] :
         {std::pair{&sources.labels, "labels/"}, std::pair{&sources.toolTips, "tooltips/"},
          std::pair{&sources.menus, "menus/"}}) {
        for (TextSourceRow& row : table->rows)
            row.line = lines.value(QLatin1String(folder) + row.file + QLatin1Char('\t') + row.key);
    }
    for (DefaultSourceRow& row : sources.defaults)
        row.line = lines.value(QStringLiteral("defaults.tsv\t") + QString::number(row.key));
    const QStringList problems = CheckSources(sources);
    if (!problems.isEmpty()) {
        error = problems.join(QLatin1Char('\n'));
        return false;
    }
    return true;
}
