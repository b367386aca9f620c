#pragma once

#include "DataFileWriter.h"
#include "DataSources.h"
#include "texts/DataFunctions.h"

#include <QString>
#include <QTest>

// A small data file in three languages, each tag's text its language's prefix
// and the tag ("en1100", "fr1100"), plus extra label and menu rows; opened in English.
namespace SmallDataFile {

inline QString Text(const QString& language, int tag)
{
    const QString prefix = language == QStringLiteral("Français")  ? QStringLiteral("fr")
                           : language == QStringLiteral("Español") ? QStringLiteral("es")
                                                                   : QStringLiteral("en");
    return prefix + QString::number(tag);
}

struct Extra
{
    QString key;
    QStringList texts;
};

inline bool Create(const QString& path, const QList<int>& tags, const QList<Extra>& labels = {},
                   const QList<Extra>& menus = {})
{
    DataSources s;
    const QStringList languages{QStringLiteral("English"), QStringLiteral("Français"),
                                QStringLiteral("Español")};
    s.labels.languages = s.toolTips.languages = s.menus.languages = languages;
    const auto row = [](const QString& key, const QStringList& texts) {
        return TextSourceRow{key, QStringLiteral("test"), texts, QStringLiteral("test.tsv"), 0};
    };
    s.labels.rows << row(QStringLiteral("0"), languages);
    for (int tag : tags) {
        QStringList texts;
        for (const QString& l : languages)
            texts << Text(l, tag);
        s.labels.rows << row(QString::number(tag), texts);
    }
    for (const Extra& e : labels)
        s.labels.rows << row(e.key, e.texts);
    for (const Extra& e : menus)
        s.menus.rows << row(e.key, e.texts);
    QString error;
    if (!WriteDataFile(s, path, error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    if (!OpenDataFile(path))
        return false;
    SetCurrentLanguage(QStringLiteral("English"));
    return true;
}

} // namespace SmallDataFile
