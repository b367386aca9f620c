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
    const QStringList languages{QStringLiteral("English"), QStringLiteral("Français"),
                                QStringLiteral("Español")};
    s.labels.languages = s.toolTips.languages = s.menus.languages = languages;
    s.labels.rows = {
        Row(QStringLiteral("0"),
            {QStringLiteral("English"), QStringLiteral("Français"), QStringLiteral("Español")}),
        Row(QStringLiteral("1"), {QStringLiteral("orvel-en.html"), QStringLiteral("orvel-fr.html"),
                                  QStringLiteral("orvel-es.html")}),
        Row(QStringLiteral("10"),
            {QStringLiteral("Hello"), QStringLiteral("Bonjour"), QStringLiteral("Hola")}),
        Row(QStringLiteral("11"),
            {QStringLiteral("Line one|Line two"), QStringLiteral("Ligne un|Ligne deux"),
             QStringLiteral("Línea uno|Línea dos")}),
        Row(QStringLiteral("12"), {QString(), QString(), QString()}),
        Row(QStringLiteral("13"),
            {QStringLiteral("a||b|"), QStringLiteral("x"), QStringLiteral("y")}),
        Row(QStringLiteral("10101"),
            {QStringLiteral("Invalid port number."), QStringLiteral("Numéro de port invalide."),
             QStringLiteral("Número de puerto no válido.")}),
    };
    s.toolTips.rows = {
        Row(QStringLiteral("10"), {QStringLiteral("Tip|kept"), QStringLiteral("Bulle|gardée"),
                                   QStringLiteral("Ayuda|guardada")}),
        Row(QStringLiteral("12"), {QString(), QString(), QString()}),
    };
    s.menus.rows = {
        Row(QStringLiteral("mnuFileOpen"),
            {QStringLiteral("&Open..."), QStringLiteral("&Ouvrir..."),
             QStringLiteral("&Abrir...")}),
        Row(QStringLiteral("mnuSaveQuit"),
            {QStringLiteral("Save && &Quit"), QStringLiteral("Enregistrer && &Quitter"),
             QStringLiteral("Guardar && &Salir")}),
        Row(QStringLiteral("mnuEmpty"), {QString(), QString(), QString()}),
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
