#pragma once

#include "DataFileWriter.h"
#include "DataSources.h"
#include "texts/DataFunctions.h"

#include <QString>
#include <QTest>

// A small data file for window tests: the three languages, and for every tag
// given a text made of the language's prefix and the tag ("en1100",
// "fr1100", "es1100"), so a test sees exactly which text landed where.
// Extra rows (tag, three texts) and menu rows (name, three captions) can be
// added. Writes it to path and opens it in English.
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
    s.labels.rows << TextSourceRow{QStringLiteral("0"), QStringLiteral("languages"), languages,
                                   QStringLiteral("test.tsv"), 0};
    for (int tag : tags) {
        QStringList texts;
        for (const QString& l : languages)
            texts << Text(l, tag);
        s.labels.rows << TextSourceRow{QString::number(tag), QStringLiteral("test"), texts,
                                       QStringLiteral("test.tsv"), 0};
    }
    for (const Extra& e : labels)
        s.labels.rows << TextSourceRow{e.key, QStringLiteral("test"), e.texts,
                                       QStringLiteral("test.tsv"), 0};
    for (const Extra& e : menus)
        s.menus.rows << TextSourceRow{e.key, QStringLiteral("test"), e.texts,
                                      QStringLiteral("test.tsv"), 0};
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
