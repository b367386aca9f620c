#include "link/LineTiming.h"

#include <QStringList>

qint64 WireTimeUs(int characters, const QString& settings)
{
    const QStringList f = settings.split(QLatin1Char(','));
    const int bauds = f.value(0).trimmed().toInt();
    if (bauds <= 0)
        return 0;
    const bool parity = f.value(1).trimmed().toUpper() != QLatin1String("N");
    const int dataBits = f.value(2, QStringLiteral("8")).trimmed().toInt();
    const int stops = f.value(3, QStringLiteral("1")).trimmed().toInt();
    const int bits = 1 + dataBits + (parity ? 1 : 0) + stops;
    return static_cast<qint64>(characters) * bits * 1000000 / bauds;
}
