#pragma once

#include <QString>

// An error report's message, spelled out apart from the code: ErrorReport(6, "Overflow", "A.B").
inline QString ErrorReport(int number, const char* description, const char* procedure)
{
    const QString name = QLatin1String(procedure);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return QStringLiteral("Error Nr %1 : %2\r\n\r\nModule : %3\r\nFunction : %4")
        .arg(number)
        .arg(QLatin1String(description), name.left(dot), name.mid(dot + 1));
}
