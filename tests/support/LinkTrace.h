#pragma once

#include "link/CommFunctions.h"
#include "SimulatedLine.h"

#include <QStringList>

// A simulated line's requests in order, "5:R1138/1" (slave unless withSlave is false,
// read or write, register, count), "P" for each pause; and the settings at each request.
class LinkTrace
{
public:
    LinkTrace(SimulatedLine& line, PanelLink& link, bool withSlave = true)
    {
        QObject::connect(&link, &PanelLink::FramePaused, &m_context,
                         [this] { steps << QStringLiteral("P"); });
        QObject::connect(
            &line, &SimulatedLine::RequestSent, &m_context,
            [this, &line, withSlave](const QByteArray& r) {
                const auto word = [&r](int at) { return uchar(r[at]) << 8 | uchar(r[at + 1]); };
                steps << (withSlave ? QString::number(uchar(r[0])) + QLatin1Char(':') : QString()) +
                             QStringLiteral("%1%2/%3")
                                 .arg(QLatin1Char(r[1] == 3 ? 'R' : 'W'))
                                 .arg(word(2))
                                 .arg(word(4));
                settings << line.Settings();
            });
    }

    QString text() const { return steps.join(QLatin1Char(' ')); }

    QStringList steps;
    QStringList settings;

private:
    QObject m_context; // the connections end with the trace
};
