// orvel-sim: simulated Orvel panels on a pseudo-terminal.
#include "EventList.h"
#include "PtyServer.h"
#include "util/ConsoleUi.h"
#include "util/UiSeam.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

int fail(const QString& text)
{
    std::fprintf(stderr, "orvel-sim: %s\n", qPrintable(text));
    return 2;
}

// "1.05" or "261" -> 261; 0 when it does not read.
int versionCode(const QString& text)
{
    bool ok = false;
    if (text.contains(QLatin1Char('.'))) {
        const int major = text.section(QLatin1Char('.'), 0, 0).toInt(&ok);
        if (!ok)
            return 0;
        const int minor = text.section(QLatin1Char('.'), 1).toInt(&ok);
        return ok ? major * 256 + minor : 0;
    }
    const int code = text.toInt(&ok);
    return ok ? code : 0;
}

bool faultNamed(const QString& name, SimulatedPanel::Fault& fault)
{
    using F = SimulatedPanel::Fault;
    static const QList<std::pair<QString, F>> names = {
        {QStringLiteral("no-reply"), F::NoReply},
        {QStringLiteral("bad-crc"), F::BadCrc},
        {QStringLiteral("echo"), F::Echo},
        {QStringLiteral("exception"), F::Exception},
        {QStringLiteral("wrong-slave"), F::WrongSlave},
        {QStringLiteral("short-reply"), F::ShortReply},
        {QStringLiteral("late-reply"), F::LateReply},
        {QStringLiteral("held-reply"), F::HeldReply},
        {QStringLiteral("bad-echo"), F::BadEcho},
    };
    for (const auto& [n, f] : names) {
        if (n == name) {
            fault = f;
            return true;
        }
    }
    return false;
}

// "kind[@register][#n]": the fault, the register it is limited to and how
// many requests it touches (-1: all).
bool faultSpec(QString text, SimulatedPanel::Fault& fault, int& times,
               std::optional<int>& atRegister)
{
    bool ok = true;
    const qsizetype hash = text.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        times = text.mid(hash + 1).toInt(&ok);
        if (!ok || times < 1)
            return false;
        text.truncate(hash);
    }
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        const int reg = text.mid(at + 1).toInt(&ok);
        if (!ok || reg < 0 || reg > 65535)
            return false;
        atRegister = reg;
        text.truncate(at);
    }
    return faultNamed(text, fault);
}

// "[slave=]value": the panel it names (the first panel without a slave).
SimulatedPanel* target(PtyServer& server, const QString& option, QString& value)
{
    const qsizetype eq = option.indexOf(QLatin1Char('='));
    if (eq < 0) {
        value = option;
        return server.panels().value(0);
    }
    value = option.mid(eq + 1);
    bool ok = false;
    const int slave = option.left(eq).toInt(&ok);
    return ok ? server.panel(static_cast<std::uint8_t>(slave)) : nullptr;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvel-sim"));
    ConsoleUi consoleUi;
    InstallUi(&consoleUi);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated Orvel panels on a pseudo-terminal. Prints the terminal's device path on the\n"
        "first line of standard output, then answers Modbus RTU requests on it until\n"
        "interrupted. Open that path (or the --link path) as the console's serial port.\n"
        "A panel answers only while the line's baud rate, parity, data and stop bits, as\n"
        "set by the program on the other side, equal its own."));
    parser.addHelpOption();
    const QCommandLineOption panelOpt(
        {QStringLiteral("p"), QStringLiteral("panel")},
        QStringLiteral("Adds a panel: slave number 1..64, firmware version 1.02..1.06 (or its code "
                       "258..262; default 1.06) and line settings (default 9600,N,8,1). "
                       "Repeat for several panels. Without it: one panel 1:1.06:9600,N,8,1."),
        QStringLiteral("slave[:version[:settings]]"));
    const QCommandLineOption configOpt(
        {QStringLiteral("c"), QStringLiteral("config")},
        QStringLiteral(
            "Loads a configuration file into a panel (the first one, or the one named)."),
        QStringLiteral("[slave=]file"));
    const QCommandLineOption eventsOpt(
        {QStringLiteral("e"), QStringLiteral("events")},
        QStringLiteral(
            "Loads an event list into a panel's event buffer. One event a line, oldest "
            "first: \"channel parameter display ticks\" (channel 1..12, ACK or 0..15; "
            "codes 0..15; ticks of 5 ms, 0..1048575) or two raw words \"0x1203 0x04D2\"; "
            "'#' starts a comment."),
        QStringLiteral("[slave=]file"));
    const QCommandLineOption linkOpt(
        {QStringLiteral("l"), QStringLiteral("link")},
        QStringLiteral("Also makes path a symbolic link to the device."), QStringLiteral("path"));
    const QCommandLineOption wireOpt(
        {QStringLiteral("w"), QStringLiteral("wire-time")},
        QStringLiteral("Answers when a real line at the set baud rate would have "
                       "carried the request and the reply."));
    const QCommandLineOption turnOpt(
        QStringLiteral("turnaround"),
        QStringLiteral("Panel processing time before each reply (default 0)."),
        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption faultOpt(
        QStringLiteral("fault"),
        QStringLiteral("Makes a panel misbehave: no-reply, bad-crc, echo, exception, "
                       "wrong-slave, short-reply, late-reply, held-reply (each reply comes only "
                       "when the next request is heard, before that request's own reply) or "
                       "bad-echo (a write acknowledgement echoes another address, a read reply "
                       "a wrong byte count). @register limits it to the requests that start "
                       "at that register; #n to the first n such requests."),
        QStringLiteral("[slave=]kind[@register][#n]"));
    const QCommandLineOption lateOpt(QStringLiteral("late-ms"),
                                     QStringLiteral("Delay of a late reply (default 2500)."),
                                     QStringLiteral("ms"), QStringLiteral("2500"));
    const QCommandLineOption stuckOpt(
        QStringLiteral("clear-never-falls"),
        QStringLiteral("Event buffer fault: discard writes are acknowledged "
                       "but the count never falls."));
    const QCommandLineOption verboseOpt(
        {QStringLiteral("v"), QStringLiteral("verbose")},
        QStringLiteral("Prints every request and reply on standard error."));
    parser.addOptions({panelOpt, configOpt, eventsOpt, linkOpt, wireOpt, turnOpt, faultOpt, lateOpt,
                       stuckOpt, verboseOpt});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    PtyServer server;
    QStringList panels = parser.values(panelOpt);
    if (panels.isEmpty())
        panels << QStringLiteral("1");
    for (const QString& panelText : panels) {
        const QStringList f = panelText.split(QLatin1Char(':'));
        bool ok = false;
        const int slave = f[0].toInt(&ok);
        if (!ok || slave < 1 || slave > 64 || f.size() > 3)
            return fail(QStringLiteral("bad panel %1").arg(panelText));
        const int version = f.size() > 1 ? versionCode(f[1]) : 262;
        if (version < 258 || version > 262)
            return fail(QStringLiteral("bad version in %1 (1.02 to 1.06)").arg(panelText));
        const QString settings = f.size() > 2 ? f[2] : QStringLiteral("9600,N,8,1");
        if (settings.split(QLatin1Char(',')).size() != 4)
            return fail(QStringLiteral("bad line settings in %1").arg(panelText));
        if (server.panel(static_cast<std::uint8_t>(slave)))
            return fail(QStringLiteral("slave %1 given twice").arg(slave));
        server.addPanel(static_cast<std::uint8_t>(slave), version, settings.toUpper());
    }

    for (const QString& option : parser.values(configOpt)) {
        QString file;
        SimulatedPanel* panel = target(server, option, file);
        if (!panel)
            return fail(QStringLiteral("no panel for %1").arg(option));
        ConfigClass config;
        if (!config.Load(file))
            return fail(QStringLiteral("cannot load the configuration %1").arg(file));
        panel->loadConfig(config);
    }
    for (const QString& option : parser.values(eventsOpt)) {
        QString file;
        SimulatedPanel* panel = target(server, option, file);
        if (!panel)
            return fail(QStringLiteral("no panel for %1").arg(option));
        QList<SimulatedPanel::Event> events;
        QString error;
        if (!LoadEventList(file, events, &error))
            return fail(QStringLiteral("%1: %2").arg(file, error));
        panel->setEvents(events);
    }
    bool ok = false;
    const int turnaround = parser.value(turnOpt).toInt(&ok);
    if (!ok || turnaround < 0)
        return fail(QStringLiteral("bad --turnaround"));
    const int late = parser.value(lateOpt).toInt(&ok);
    if (!ok || late < 0)
        return fail(QStringLiteral("bad --late-ms"));
    for (SimulatedPanel* p : server.panels()) {
        p->setTurnaroundMs(turnaround);
        p->setLateReplyMs(late);
        p->setClearNeverFalls(parser.isSet(stuckOpt));
    }
    for (const QString& option : parser.values(faultOpt)) {
        QString kind;
        SimulatedPanel* panel = target(server, option, kind);
        SimulatedPanel::Fault fault{};
        int times = -1;
        std::optional<int> atRegister;
        if (!panel || !faultSpec(kind, fault, times, atRegister))
            return fail(QStringLiteral("bad --fault %1").arg(option));
        panel->setFault(fault, times, atRegister);
    }
    server.setWireTime(parser.isSet(wireOpt));
    server.setVerbose(parser.isSet(verboseOpt));

    QString error;
    if (!server.open(&error))
        return fail(QStringLiteral("cannot open a pseudo-terminal: %1").arg(error));
    if (parser.isSet(linkOpt) && !server.linkAt(parser.value(linkOpt), &error))
        return fail(error);

    // SIGINT and SIGTERM end the event loop, so the link is removed on the way out.
    if (::pipe(signalPipe) != 0)
        return fail(QStringLiteral("cannot create a pipe"));
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    std::printf("%s\n", qPrintable(server.devicePath()));
    std::fflush(stdout);
    if (parser.isSet(verboseOpt)) {
        for (SimulatedPanel* p : server.panels())
            std::fprintf(stderr, "panel %d, version %d.%02d, %s\n", p->slave(), p->version() >> 8,
                         p->version() & 0xFF, qPrintable(p->lineSettings()));
    }
    const int code = QCoreApplication::exec();
    InstallUi(nullptr);
    return code;
}
