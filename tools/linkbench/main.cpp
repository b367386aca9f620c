// orvel-linkbench: how close a full configuration transfer over a serial line
// comes to the time the line itself needs.
//
// It starts orvel-sim with wire-time emulation (one version 1.06 panel at
// 19200 baud as slave 1, one at 9600 baud as slave 2), opens its terminal
// with the console's serial port, and times ReadAll and WriteAll (factory
// section included) at each baud rate with FrameDelay 50 and 0. The ideal
// time of a case is the wire time of every request and reply at that rate
// plus the pauses the schedule requires; both come from running the same
// operation once on the in-process simulated line. Then it times one
// exchange that gets no answer (its wall time and the processor time spent
// waiting), ReadAll with the line monitor attached against without, and the
// bus scan (ScanBench.h).
#include "link/LineMonitor.h"
#include "link/RegisterMap.h"
#include "link/SerialComCtrl.h"
#include "ScanBench.h"
#include "SimulatedLine.h"
#include "util/ConsoleUi.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
enum class Operation
{
    ReadAll,
    WriteAll
};

bool runOperation(PanelLink& link, Operation op, std::uint8_t slave)
{
    ConfigClass config;
    if (op == Operation::ReadAll)
        return ReadAll(link, config, slave, 262);
    return WriteAll(link, config, slave, true, 262);
}

// Wire time and pauses of one operation, in milliseconds.
double idealMs(Operation op, const QString& settings, int frameDelayMs)
{
    SimulatedLine line;
    line.SetSettings(settings);
    line.addPanel(1, 262, settings);
    LinkOptions options;
    options.frameDelayMs = 0;
    PanelLink link(line, options);
    int pauses = 0;
    QObject::connect(&link, &PanelLink::FramePaused, [&pauses] { ++pauses; });
    runOperation(link, op, 1);
    qint64 wireUs = 0;
    for (const SimulatedLine::Exchange& e : line.exchanges())
        wireUs += SimulatedLine::wireTimeUs(static_cast<int>(e.request.size() + e.reply.size()),
                                            settings);
    return wireUs / 1000.0 + pauses * frameDelayMs;
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvel-linkbench"));
    ConsoleUi consoleUi;
    InstallUi(&consoleUi);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times ReadAll and WriteAll (version 1.06, factory section included) against orvel-sim "
        "with wire-time emulation at 19200 and 9600 baud, FrameDelay 50 and 0, and one exchange "
        "that gets no answer. Prints one line per case: case=<readall|writeall>-<baud>-fd<delay> "
        "measured_ms=<x> ideal_ms=<y> ratio=<x/y>, then case=timeout cpu_ms=<c> wall_ms=<w>, "
        "case=monitor without_ms=<a> with_ms=<b> overhead_pct=<p> (ReadAll at 19200 baud, "
        "FrameDelay 0, best of 3 each), and the scans case=scan-9600 and "
        "case=scan-19200-turnaround80 ms=<x> ideal_ms=<y> ratio=<x/y> found=<n>."));
    parser.addHelpOption();
    const QCommandLineOption simOpt(
        QStringLiteral("sim"), QStringLiteral("The orvel-sim program (default: beside this one)."),
        QStringLiteral("path"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/orvel-sim"));
    parser.addOption(simOpt);
    parser.process(app);

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(parser.value(simOpt), {QStringLiteral("--wire-time"), QStringLiteral("-p"),
                                     QStringLiteral("1:1.06:19200,N,8,1"), QStringLiteral("-p"),
                                     QStringLiteral("2:1.06:9600,N,8,1")});
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "orvel-linkbench: cannot start %s\n",
                     qPrintable(parser.value(simOpt)));
        return 1;
    }
    while (!sim.canReadLine() && sim.state() == QProcess::Running)
        sim.waitForReadyRead(100);
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    if (device.isEmpty()) {
        std::fprintf(stderr, "orvel-linkbench: orvel-sim gave no device\n");
        return 1;
    }

    int code = 0;
    {
        SerialComCtrl port;
        port.SetCommPort(device);
        port.SetPortOpen(true);
        PanelLink link(port);
        struct Case
        {
            Operation op;
            int bauds;
            std::uint8_t slave;
            int frameDelay;
        };
        const Case cases[] = {
            {Operation::ReadAll, 19200, 1, 50}, {Operation::WriteAll, 19200, 1, 50},
            {Operation::ReadAll, 19200, 1, 0},  {Operation::WriteAll, 19200, 1, 0},
            {Operation::ReadAll, 9600, 2, 50},  {Operation::WriteAll, 9600, 2, 50},
            {Operation::ReadAll, 9600, 2, 0},   {Operation::WriteAll, 9600, 2, 0},
        };
        for (const Case& c : cases) {
            const QString settings = QStringLiteral("%1,N,8,1").arg(c.bauds);
            port.SetSettings(settings);
            link.options().frameDelayMs = c.frameDelay;
            QElapsedTimer timer;
            timer.start();
            const bool ok = runOperation(link, c.op, c.slave);
            const double measured = timer.nsecsElapsed() / 1e6;
            const double ideal = idealMs(c.op, settings, c.frameDelay);
            std::printf("case=%s-%d-fd%d measured_ms=%.1f ideal_ms=%.1f ratio=%.3f%s\n",
                        c.op == Operation::ReadAll ? "readall" : "writeall", c.bauds, c.frameDelay,
                        measured, ideal, measured / ideal, ok ? "" : " failed");
            std::fflush(stdout);
            if (!ok)
                code = 1;
        }

        // One exchange nobody answers: the product's 2-second deadline.
        link.options().frameDelayMs = 0;
        QList<std::int16_t> words(1, 0);
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = cpuMs();
        const bool answered = LitMots(link, 64, 1138, words);
        const double cpu = cpuMs() - cpu0;
        std::printf("case=timeout cpu_ms=%.1f wall_ms=%lld%s\n", cpu,
                    static_cast<long long>(timer.elapsed()), answered ? " answered" : "");
        std::fflush(stdout);

        // The line monitor open (recording every frame) against closed.
        port.SetSettings(QStringLiteral("19200,N,8,1"));
        LineMonitor monitor;
        double best[2] = {1e9, 1e9};
        for (int round = 0; round < 6; ++round) {
            const bool monitored = round % 2 == 1;
            link.SetMonitor(monitored ? &monitor : nullptr);
            QElapsedTimer run;
            run.start();
            if (!runOperation(link, Operation::ReadAll, 1))
                code = 1;
            best[monitored] = std::min(best[monitored], run.nsecsElapsed() / 1e6);
        }
        link.SetMonitor(nullptr);
        std::printf("case=monitor without_ms=%.1f with_ms=%.1f overhead_pct=%.2f\n", best[0],
                    best[1], (best[1] / best[0] - 1) * 100);
        std::fflush(stdout);
    }

    if (!RunScanCases(parser.value(simOpt)))
        code = 1;

    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
    InstallUi(nullptr);
    return code;
}
