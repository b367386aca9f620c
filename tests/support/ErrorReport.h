#pragma once

#include <QString>

// The message a procedure's error report shows, spelled out here apart from
// the code that builds it: ErrorReport(6, "Overflow", "ConfigClass.ReadFactory").
inline QString ErrorReport(int number, const char* description, const char* procedure)
{
    const QString name = QLatin1String(procedure);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return QStringLiteral("Error Nr %1 : %2\r\n\r\nModule : %3\r\nFunction : %4")
        .arg(number)
        .arg(QLatin1String(description), name.left(dot), name.mid(dot + 1));
}
