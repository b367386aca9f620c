#include "ScanBench.h"

#include "link/BusScan.h"
#include "link/LineTiming.h"
#include "link/SerialComCtrl.h"

#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {
constexpr int Turnaround = 80;
const QList<int> Slaves = {3, 17, 64};

class Silent : public ScanObserver
{
public:
    bool Cancelled() override { return false; }
    void Probing(std::uint8_t, std::int32_t, std::int16_t, int, int) override {}
    void Found(const ScannedPanel&) override {}
};

// The time the line itself needs: every probe's request and reply, then the
// margin (nobody answered) or the panel's turn-around; for a panel found, its
// confirmation and version read with their turn-arounds and three pauses.
double idealMs(const QString& settings, int margin, int frameDelay, int found)
{
    const double probeMs = WireTimeUs(8 + 7, settings) / 1000.0;
    const double versionMs = WireTimeUs(8 + 9, settings) / 1000.0;
    const double missed = (64 - found) * (probeMs + margin);
    const double answered = found * (2 * probeMs + versionMs + 3 * Turnaround + 3 * frameDelay);
    return missed + answered;
}
} // namespace

bool RunScanCases(const QString& program)
{
    QStringList arguments{QStringLiteral("--wire-time"), QStringLiteral("--turnaround"),
                          QString::number(Turnaround)};
    for (int slave : Slaves)
        arguments << QStringLiteral("-p") << QStringLiteral("%1:1.06:19200,N,8,1").arg(slave);
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(program, arguments);
    if (!sim.waitForStarted(5000))
        return false;
    while (!sim.canReadLine() && sim.state() == QProcess::Running)
        sim.waitForReadyRead(100);
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    bool ok = !device.isEmpty();
    if (ok) {
        SerialComCtrl port;
        port.SetCommPort(device);
        port.SetPortOpen(true);
        PanelLink link(port);
        const ScanOptions options;
        for (const int bauds : {9600, 19200}) {
            const QString settings = QStringLiteral("%1,N,8,1").arg(bauds);
            port.SetSettings(settings);
            Silent silent;
            QElapsedTimer timer;
            timer.start();
            const ScanResult result = ScanLine(link, options, silent);
            const double ms = timer.nsecsElapsed() / 1e6;
            const int expected = bauds == 9600 ? 0 : static_cast<int>(Slaves.size());
            const double ideal =
                idealMs(settings, options.probeMarginMs, link.options().frameDelayMs, expected);
            QList<int> found;
            for (const ScannedPanel& p : result.panels)
                found << p.slave;
            const bool right = found == (expected == 0 ? QList<int>{} : Slaves);
            std::printf("case=scan-%d%s ms=%.1f ideal_ms=%.1f ratio=%.3f found=%lld%s\n", bauds,
                        bauds == 9600 ? "" : "-turnaround80", ms, ideal, ms / ideal,
                        static_cast<long long>(found.size()), right ? "" : " wrong");
            std::fflush(stdout);
            ok = ok && right;
        }
    }
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
    return ok;
}
