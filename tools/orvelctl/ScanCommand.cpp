// scan: every panel that answers on the line.
#include "Commands.h"
#include "CtlOutput.h"
#include "CtlSession.h"
#include "ExitCode.h"
#include "InterruptGuard.h"
#include "link/BusScan.h"
#include "texts/DataFunctions.h"

#include <cstdio>

namespace {

// One line on standard output per panel as it is found; on a terminal, the
// line settings on standard error as each round starts. Ctrl+C stops.
class ScanOutput : public ScanObserver
{
public:
    bool Cancelled() override { return InterruptGuard::Requested(); }

    void Probing(std::uint8_t, std::int32_t bauds, std::int16_t stops, int, int) override
    {
        if (!m_search || (bauds == m_bauds && stops == m_stops) || !StderrIsTerminal())
            return;
        m_bauds = bauds;
        m_stops = stops;
        std::fprintf(stderr, "%s\n",
                     QStringLiteral("%1 %2  %3 %4")
                         .arg(GetText(35032))
                         .arg(bauds)
                         .arg(GetText(35034))
                         .arg(stops)
                         .toLocal8Bit()
                         .constData());
        std::fflush(stderr);
    }

    void Found(const ScannedPanel& panel) override
    {
        const QString line = QStringLiteral("slave=%1 version=%2.%3 baud=%4 stops=%5\n")
                                 .arg(panel.slave)
                                 .arg(panel.version / 256)
                                 .arg(panel.version % 256, 2, 10, QLatin1Char('0'))
                                 .arg(panel.bauds)
                                 .arg(panel.stops);
        m_written = WriteStdout(line.toUtf8()) && m_written;
    }

    bool m_search = false;
    bool m_written = true;

private:
    std::int32_t m_bauds = 0;
    std::int16_t m_stops = 0;
};

} // namespace

int RunScan(const CtlOptions& options, CtlSession& session)
{
    if (!session.Open())
        return ExitNoPanel;
    const InterruptGuard interrupt;
    ScanOptions scan;
    scan.from = options.from;
    scan.to = options.to;
    scan.search = options.search;
    scan.probeMarginMs = options.probeMarginMs.value_or(scan.probeMarginMs);
    ScanOutput output;
    output.m_search = options.search;
    const ScanResult result = ScanLine(session.link(), scan, output);
    if (!output.m_written)
        return ExitFile;
    if (result.cancelled)
        return ExitRefused;
    if (result.panels.isEmpty()) {
        Say(10102, MsgIcon::Critical);
        return ExitNoPanel;
    }
    return ExitSuccess;
}
