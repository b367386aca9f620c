#pragma once

#include "DataFileWriter.h"
#include "DataSources.h"
#include "texts/CipherDb.h"
#include "texts/DataFileKey.h"

#include <QString>
#include <QTest>

// Small data files for the tests, written by the generator's own writer.
namespace TestData {

inline TextSourceRow Row(const QString& key, const QStringList& texts,
                         const QString& file = QStringLiteral("test.tsv"))
{
    return TextSourceRow{key, QStringLiteral("test row"), texts, file, 0};
}

inline DefaultSourceRow Default(qint64 key, std::optional<qint64> value)
{
    return DefaultSourceRow{key, value, QStringLiteral("test default"), 0};
}

// Three languages, a few texts, tool tips and menus, no defaults.
inline DataSources Standard()
{
    DataSources s;
    s.labels.languages = s.toolTips.languages = s.menus.languages =
        QStringList{"English", "Français", "Español"};
    s.labels.rows = {
        Row("0", {"English", "Français", "Español"}),
        Row("1", {"orvel-en.html", "orvel-fr.html", "orvel-es.html"}),
        Row("10", {"Hello", "Bonjour", "Hola"}),
        Row("11", {"Line one|Line two", "Ligne un|Ligne deux", "Línea uno|Línea dos"}),
        Row("12", {QString(), QString(), QString()}),
    };
    s.toolTips.rows = {Row("10", {"Tip|kept", "Bulle|gardée", "Ayuda|guardada"}),
                       Row("12", {QString(), QString(), QString()})};
    s.menus.rows = {
        Row("mnuFileOpen", {"&Open...", "&Ouvrir...", "&Abrir..."}),
        Row("mnuSaveQuit", {"Save && &Quit", "Enregistrer && &Quitter", "Guardar && &Salir"}),
        Row("mnuEmpty", {QString(), QString(), QString()}),
    };
    return s;
}

inline void Write(const DataSources& sources, const QString& path, const QByteArray& password = {})
{
    QString error;
    QVERIFY2(WriteDataFile(sources, path, error, password), qPrintable(error));
}

// Runs SQL on a written data file, for the odd cases the sources cannot express.
inline void Sql(const QString& path, const QString& sql)
{
    CipherDb db;
    QVERIFY2(db.open(path, QByteArray(DataFilePassword), CipherDb::Mode::Create),
             qPrintable(db.lastError()));
    QVERIFY2(db.exec(sql), qPrintable(db.lastError()));
}

} // namespace TestData
