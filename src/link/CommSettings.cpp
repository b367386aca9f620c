// The field edits of the port's settings text "9600,N,8,1" (CommFunctions).
#include "link/CommFunctions.h"

std::int32_t GetCommBauds(const ComCtrl& port)
{
    const QString settings = port.Settings();
    return settings.left(settings.indexOf(QLatin1Char(','))).trimmed().toInt();
}

void SetCommBauds(ComCtrl& port, std::int32_t bauds)
{
    const QString settings = port.Settings();
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    port.SetSettings(QString::number(bauds) + (comma < 0 ? QString() : settings.mid(comma)));
}

std::int16_t GetCommStops(const ComCtrl& port)
{
    const QString settings = port.Settings();
    if (settings.isEmpty())
        return 0;
    const QChar last = settings.back();
    return static_cast<std::int16_t>(last.isDigit() ? last.digitValue() : 0);
}

void SetCommStops(ComCtrl& port, std::int16_t stops)
{
    const QString settings = port.Settings();
    port.SetSettings(settings.left(settings.size() - 1) + QString::number(stops));
}

QString GetCommParity(const ComCtrl& port)
{
    const QString settings = port.Settings();
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    return comma < 0 ? QString() : settings.mid(comma + 1, 1);
}

void SetCommParity(ComCtrl& port, const QString& parity)
{
    QString settings = port.Settings();
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    if (comma < 0 || comma + 1 >= settings.size() || parity.isEmpty())
        return;
    settings.replace(comma + 1, 1, parity.left(1));
    port.SetSettings(settings);
}
