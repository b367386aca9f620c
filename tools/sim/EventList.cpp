#include "EventList.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {
bool number(const QString& text, int max, int& value)
{
    bool ok = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                      : text.toInt(&ok, 10);
    return ok && value >= 0 && value <= max;
}
} // namespace

bool ParseEventList(const QString& text, QList<SimulatedPanel::Event>& events, QString* error)
{
    QList<SimulatedPanel::Event> parsed;
    const QStringList lines = text.split(QLatin1Char('\n'));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(space);
        SimulatedPanel::Event e;
        bool ok = false;
        if (f.size() == 2) {
            int w0 = 0, w1 = 0;
            ok = number(f[0], 0xFFFF, w0) && number(f[1], 0xFFFF, w1);
            e = {static_cast<std::uint16_t>(w0), static_cast<std::uint16_t>(w1)};
        } else if (f.size() == 4) {
            int channel = 0, parameter = 0, display = 0, ticks = 0;
            if (f[0].compare(QLatin1String("ACK"), Qt::CaseInsensitive) == 0) {
                channel = 15;
                ok = true;
            } else {
                ok = number(f[0], 15, channel);
            }
            ok = ok && number(f[1], 15, parameter) && number(f[2], 15, display) &&
                 number(f[3], 0xFFFFF, ticks);
            e.w0 = static_cast<std::uint16_t>(channel << 12 | parameter << 8 | display << 4 |
                                              ticks >> 16);
            e.w1 = static_cast<std::uint16_t>(ticks & 0xFFFF);
        }
        if (!ok) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(lines[i].trimmed());
            return false;
        }
        parsed.append(e);
    }
    events = parsed;
    return true;
}

bool LoadEventList(const QString& path, QList<SimulatedPanel::Event>& events, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return ParseEventList(QString::fromUtf8(file.readAll()), events, error);
}
