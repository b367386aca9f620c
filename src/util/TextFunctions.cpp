#include "TextFunctions.h"

QString TextReplace(const QString& text, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return text;
    QString out = text;
    return out.replace(find, replacement);
}

QString CaptionTransform(const QString& display, const QString&)
{
    QString out = display;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
