#include "CtlSession.h"

#include "ConsoleSearchWindow.h"
#include "ExitCode.h"
#include "link/Detection.h"
#include "link/FrameText.h"
#include "link/LineMonitor.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <algorithm>
#include <cstdio>

namespace {
const QString Communication = QStringLiteral("Communication");
} // namespace

CtlSession::Line CtlSession::ResolveLine(const CtlOptions& o)
{
    Line line;
    line.port = o.port.value_or(
        GetIniParam(Communication, QStringLiteral("Port"), QStringLiteral("1")).trimmed());
    if (line.port.isEmpty())
        line.port = QStringLiteral("1");
    line.bauds = o.bauds.value_or(GetIniLong(Communication, QStringLiteral("Bauds"), 9600));
    line.stops = o.stops.value_or(GetIniInt(Communication, QStringLiteral("Stops"), 1));
    line.parity =
        o.parity.value_or(GetIniParam(Communication, QStringLiteral("Parity"), QStringLiteral("n"))
                              .trimmed()
                              .toLower());
    line.link.halfDuplex =
        o.halfDuplex.value_or(GetIniBool(Communication, QStringLiteral("RTS"), false));
    line.link.rtsDelayMs =
        o.rtsDelayMs.value_or(GetIniInt(Communication, QStringLiteral("RtsDelay"), 5));
    line.link.frameDelayMs =
        o.frameDelayMs.value_or(GetIniInt(Communication, QStringLiteral("FrameDelay"), 50));
    line.link.replyTimeoutMs = o.replyTimeoutMs.value_or(LinkOptions{}.replyTimeoutMs);
    line.search = o.search;
    line.trace = o.trace;
    if (o.slave)
        line.slave = *o.slave;
    else if (o.search)
        line.slave = 0;
    else
        line.slave = std::uint8_t(
            std::clamp<int>(GetIniInt(Communication, QStringLiteral("LastSlave"), 1), 1, 64));
    return line;
}

QString CtlSession::SettingsText(const Line& line)
{
    return QStringLiteral("%1,%2,8,%3").arg(line.bauds).arg(line.parity.toUpper()).arg(line.stops);
}

CtlSession::CtlSession(const Line& line) : m_line(line) {}

CtlSession::~CtlSession()
{
    if (m_port && m_port->PortOpen()) {
        try {
            m_port->SetPortOpen(false);
        } catch (const RuntimeError&) {
            // Closing a line that went away: nothing left to do.
        }
    }
}

bool CtlSession::Open()
{
    m_port = std::make_unique<SerialComCtrl>();
    m_link = std::make_unique<PanelLink>(*m_port, m_line.link);
    if (m_line.trace) {
        // Each frame is written as it comes; none needs keeping.
        m_monitor = std::make_unique<LineMonitor>(1);
        m_monitor->SetSink([](const MonitorFrame& frame) {
            std::fprintf(stderr, "%s\n", FrameLine(frame).toLocal8Bit().constData());
            std::fflush(stderr);
        });
        m_link->SetMonitor(m_monitor.get());
    }
    const bool opened = Trap("orvelctl.OpenPort", [&] {
        m_port->SetCommPort(m_line.port);
        m_port->SetSettings(SettingsText(m_line));
        m_port->SetPortOpen(true);
        return true;
    });
    if (!opened) {
        m_link.reset();
        m_port.reset();
        std::fprintf(stderr, "port: %s (%s)\n", m_line.port.toLocal8Bit().constData(),
                     SerialComCtrl::DeviceName(m_line.port).toLocal8Bit().constData());
        std::fflush(stderr);
    }
    return opened;
}

int CtlSession::Detect(bool clearMode, const QString& noAnswerText, bool forceNoAnswerText)
{
    if (!m_link && !Open())
        return ExitNoPanel;
    ConsoleSearchWindow window;
    std::int32_t version = 0;
    const std::uint8_t r =
        DetectOrvel(*m_link, window, m_line.slave, m_line.search, version, clearMode);
    if (r == DetectCancelled)
        return ExitRefused;
    if (r == DetectNone && version == VersionUnreadable) {
        // A panel answered, then the link failed: a failed transfer.
        MsgBox(noAnswerText, MsgIcon::Critical);
        return ExitTransfer;
    }
    if (r == DetectNone) {
        const bool searched = m_line.slave == 0 && !forceNoAnswerText;
        MsgBox(searched ? GetText(10102) : noAnswerText, MsgIcon::Critical);
        return ExitNoPanel;
    }
    m_slave = r;
    m_version = version;
    // In the console the user confirms the panel found before the next
    // exchange; here the next exchange keeps at least the frame delay.
    m_link->FramePause();
    return ExitSuccess;
}
