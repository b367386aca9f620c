#include "ApplicationName.h"

#include <QCoreApplication>

void SetApplicationName()
{
    QCoreApplication::setApplicationName(QStringLiteral("orvel"));
}
