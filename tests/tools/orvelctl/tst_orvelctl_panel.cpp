// orvelctl against orvel-sim on a pseudo-terminal: detect, write and read
// back on every firmware version, the search and the scan, the event buffer
// and its exports, and every refusal and failure with what the panel heard;
// orvel-sim itself: what it loads, its faults, its refusals.
#include "CtlRunner.h"
#include "eventlog/EventExport.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "OrvelSim.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "util/Cp1252.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace CtlTexts;

namespace {

constexpr int Slave = 7;

QString versionText(int code)
{
    return QStringLiteral("%1.%2").arg(code / 256).arg(code % 256);
}

// What orvelctl says of a message: its kind ("error: ", "warning: " or
// nothing for information), then the texts.
QString said(const QString& kind, int tag, int second = 0)
{
    return kind + (second ? Lines(tag, second) : Lines(tag)) + '\n';
}

// What a read gives back of an empty panel of version v once the source is
// written to it with the factory section: the source as far as the firmware
// holds it (corrected for one older than 1.03), the defaults for what the
// console does not read from it, 0 for what it reads but never wrote.
ConfigClass readBack(int v)
{
    ConfigClass c = SourceConfig();
    ConfigClass defaults;
    GetAllDefaults(defaults);
    for (int ch = 1; ch <= 12 && v < 259; ++ch) { // written out from the rules
        c.SetInDisturb(ch, 0);
        c.SetInRepBlock(ch, 0);
        if (c.InTypeKL(ch) == 4)
            c.SetInTypeKL(ch, 0);
        if (c.OutPilot(ch) == 5)
            c.SetOutPilot(ch, 2);
    }
    if (v < 259) {
        c.SetGenParam(21, 0);
        c.SetGenParam(27, 0);
    }
    if (v < 260)
        c.SetGenParam(32, 0);
    for (int i = 29; i <= 31; ++i)
        c.SetGenParam(i, v < 261 ? defaults.GenParam(i) : v < 262 ? 0 : c.GenParam(i));
    for (int ch = 1; ch <= 12 && v < 261; ++ch)
        c.SetOutMode(ch, defaults.OutMode(ch));
    return c;
}

// Simulator options, orvelctl's, exit status, end of stderr, writes heard, stdout.
using Command = std::tuple<QStringList, QStringList, int, QString, QString, QString>;
// The simulator's options, orvelctl's, the signal, how often it is sent, the
// requests heard before it, the exit status (-1: ended by the signal), the
// error message and the write requests heard.
using Interrupt = std::tuple<QStringList, QStringList, int, int, int, int, QString, QString>;

} // namespace

class TestOrvelctlPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SetUp(path("orvel.ini")));
        m_ctl = std::make_unique<CtlRunner>(path("orvel.ini"));
        QVERIFY(SourceConfig().Save(m_source));
        ConfigClass unset = SourceConfig();
        unset.SetGenParam(21, 0);
        QVERIFY(unset.Save(m_unset21));
        TestFiles::WriteBytes(m_events, "1 1 2 197842\nACK 0 0 250000\n5 2 0 300000\n");
    }

    // After every row, so that the next tables are built in the default language.
    void cleanup()
    {
        DelIniParam("General", "Language");
        SetCurrentLanguage(QString());
    }

    void cleanupTestCase() { QVERIFY(m_ui.messages.isEmpty()); }

    void versions_data()
    {
        QTest::addColumn<int>("version");
        for (int v = 258; v <= 262; ++v)
            QTest::newRow(qPrintable(versionText(v))) << v;
    }

    // Detect; write the source with factory section and validation to an
    // empty panel (the file unchanged); read it back.
    void versions()
    {
        QFETCH(int, version);
        const bool older = version < 262;
        OrvelSim sim;
        QVERIFY(sim.start({"--panel", QStringLiteral("%1:%2").arg(Slave).arg(version)}));
        CtlRun r = ctl(sim, {"detect"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("slave=7 version=%1 code=%2\n")
                            .arg(versionText(version))
                            .arg(version)
                            .toUtf8());
        QCOMPARE(r.errText(), FoundLine(Slave));

        const QByteArray before = TestFiles::ReadBytes(m_source);
        QStringList args{"write", m_source, "--factory", "--validate"};
        if (older)
            args << "--allow-older";
        r = ctl(sim, args);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.errText(), FoundLine(Slave) + (older ? said("warning: ", 1610) : QString()) +
                                  said("", 10106));
        QVERIFY2(sim.writes().endsWith(" 1171/3 336=0"), qPrintable(sim.writes()));
        QCOMPARE(TestFiles::ReadBytes(m_source), before);

        const QString written = sim.writes();
        const QString back = path(QStringLiteral("back-%1.orv").arg(version));
        r = ctl(sim, {"read", "-o", back});
        QCOMPARE(r.exitCode, 0);
        QString warning = said("warning: ", 10120);
        warning.replace("###1###", versionText(version)).replace("###2###", "1.6");
        QCOMPARE(r.errText(), FoundLine(Slave) + (older ? warning : QString()));
        QCOMPARE(TestFiles::ReadBytes(back), readBack(version).ToFileBytes());
        QCOMPARE(sim.writes(), written); // a read writes nothing
    }

    // One command on slave 1 (reply deadline 1 s unless the row says); "... "
    // compares a part of stderr, the end of the writes. A file error asks
    // nothing of the panel; no failure leaves an output file.
    void commands_data()
    {
        QTest::addColumn<Command>("c");
        auto row = [](const char* name, const QStringList& sim, const QStringList& args, int exit,
                      const QString& err, const QString& writes = {}, const QString& out = {}) {
            QTest::newRow(name) << Command{sim, args, exit, err, writes, out};
        };
        const QString found = FoundLine(1);
        const QString clearFound = FoundLine(1, 102011);
        const QString error = QStringLiteral("error: ");
        const QStringList slow{"-p", "1:1.06:300,N,8,1", "--wire-time"};
        const QStringList atSlow{"--baud", "300", "--timeout", "850"};
        const QString missing = path("no/such/folder/x");
        const QString notThere = error + missing + ": No such file or directory\n";
        const QString src = m_source;

        row("read, no answer", m_silent, {"read", "-o", m_never, "--slave", "3"}, 3,
            said(error, 10100));
        // Write says the configuration was not written, also after a search.
        row("write, no answer", m_silent, {"write", src, "--slave", "3"}, 3,
            said(error, 10100, 10105));
        row("write, search finds nothing", m_silent, {"write", src, "--search", "--timeout", "20"},
            3, said(error, 10100, 10105));
        row("validate", {}, {"validate"}, 0, found + said("", 10106), "336=0");
        row("older firmware", {"-p", "1:1.05"}, {"write", src, "--validate"}, 5,
            error + Lines(1610) + "\n(--allow-older)\n");
        row("parameter 21 unset", {"-p", "1:1.03"}, {"write", m_unset21, "--allow-older"}, 5,
            said(error, 10121));
        row("parameter 21 unset, 1.02 has none", {"-p", "1:1.02"},
            {"write", m_unset21, "--allow-older"}, 0, said("warning: ", 1610) + said("", 10109),
            "... 1121/5 1153=78");
        // At 300 baud with the wire time of a real line, the short exchanges
        // of the detection arrive within the reply deadline, a block does not.
        row("write, slow line", slow, QStringList{"write", src} + atSlow, 4,
            found + said(error, 10100, 10105), "337/12");
        row("buffer read, slow line",
            slow + QStringList{"--events", eventFile(QByteArray("1 2 0 197842\n").repeated(20))},
            QStringList{"buffer", "read", "-o", m_never} + atSlow, 4, found + said(error, 102001));
        row("version unreadable", {"--fault", "no-reply@334"}, {"write", src}, 4,
            said(error, 10100, 10105));
        row("acknowledgement with a broken checksum", {"--fault", "bad-crc@336"},
            {"write", src, "--validate"}, 4, said(error, 10100, 10109), "... 1099/3 336=0");
        row("write failing part-way", {"--fault", "no-reply@849"}, {"write", src}, 4,
            said(error, 10100, 10122), "... 529/12 849/12");
        row("read, no output folder", {}, {"read", "-o", missing}, 2, notThere);
        row("buffer read, no output folder", {}, {"buffer", "read", "-o", missing}, 2, notThere);
        row("empty buffer", {}, {"buffer", "read", "-o", m_never}, 0,
            found + said("warning: ", 102003));
        row("clear", {"--events", eventFile(QByteArray("1 2 0 197842\n").repeated(5))},
            {"buffer", "clear"}, 0, clearFound + said("", 102005), "288=5 289=0");

        // The search from the line's settings (the order is tst_detection's),
        // every attempt said.
        QStringList tried{GetText(35022).section("\r\n", 0, 0) + " (Ctrl+C)"};
        for (int stops : {2, 1})
            for (int bauds : {38400, 19200, 9600, 4800, 2400, 1200})
                tried << AttemptLine("7", bauds, stops);
        row("search for slave 7", m_silent,
            {"read", "-o", m_never, "--search", "--timeout", "400", "--slave", "7", "--baud",
             "38400", "--stops", "2"},
            3, tried.join('\n') + '\n' + said(error, 10100));

        // The scan: the panels found, one line each, at their speed.
        row("scan", {"-p", "3:1.04", "-p", "17:1.05", "-p", "20:1.06"},
            {"scan", "--from", "2", "--to", "20"}, 0, "", "",
            "slave=3 version=1.04 baud=9600 stops=1\nslave=17 version=1.05 baud=9600 stops=1\n"
            "slave=20 version=1.06 baud=9600 stops=1\n");
        // The CRC bytes swapped.
        row("scan, bad CRC traced", {"-p", "16", "-p", "17", "--fault", "17=bad-crc"},
            {"scan", "--from", "16", "--to", "17", "--trace"}, 0,
            "... Received  11 03 02 00 11 8B B9  slave 17, reply with 1 word(s), CRC bad\n", "",
            "slave=16 version=1.06 baud=9600 stops=1\n");
        row("scan finds nothing", {"-p", "2:1.06:19200,N,8,1"},
            {"scan", "--from", "1", "--to", "3"}, 3, said(error, 10102));
    }

    void commands()
    {
        QFETCH(Command, c);
        const auto& [sim, args, exitCode, err, writes, out] = c;
        OrvelSim panel;
        QVERIFY(panel.start(sim));
        const CtlRun r = ctl(panel, QStringList{"--timeout", "1000"} + args, 0);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(QString::fromUtf8(r.out), out);
        if (err.startsWith("... "))
            QVERIFY2(r.errText().contains(err.mid(4)), r.err.constData());
        else
            QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.errText().endsWith(err),
                     r.err.constData());
        if (writes.startsWith("... "))
            QVERIFY2(panel.writes().endsWith(writes.mid(3)), qPrintable(panel.writes()));
        else
            QCOMPARE(panel.writes(), writes);
        QVERIFY(exitCode != 2 || panel.requests().isEmpty());
        QVERIFY(!QFile::exists(m_never));
    }

    // The list in the INI file's language and the format asked (cells: see
    // tst_eventlog): UTF-8 on stdout, Windows-1252 in a file; 63 events
    // where the count says 62.
    void exports_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("format"); // "": the default, text
        QTest::addColumn<bool>("toFile");
        QTest::newRow("text") << QString() << QString() << false;
        QTest::newRow("csv-fr, file") << "Fran\u00e7ais"
                                      << "csv-fr" << true;
    }
    void exports()
    {
        QFETCH(QString, language);
        QFETCH(QString, format);
        QFETCH(bool, toFile);
        SetIniParam("General", "Language", language);
        SetCurrentLanguage(language);
        OrvelSim sim;
        const QByteArray events =
            QByteArray("0x1203 0x04D2\n").repeated(61) + "0xD5A0 0\n0xF000 1\n";
        QVERIFY(sim.start({"--panel", "4", "--events", eventFile(events)}));
        QStringList args{"buffer", "read"};
        if (!format.isEmpty())
            args << "--format" << format;
        if (toFile)
            args << "-o" << path("events.out");
        const CtlRun r = ctl(sim, args, 4);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.isEmpty(), toFile);
        const QByteArray bytes = toFile ? TestFiles::ReadBytes(path("events.out")) : r.out;
        QList<EventRow> rows;
        for (int n = 1; n <= 61; ++n)
            rows << DecodeEvent(n, 0x1203, 0x04D2);
        rows << DecodeEvent(62, std::int16_t(0xD5A0), 0)
             << DecodeEvent(63, std::int16_t(0xF000), 1);
        const QString text = toFile ? FromCp1252(bytes) : QString::fromUtf8(bytes);
        const QString status = text.section("\r\n", 1, 1);
        const QString expected = BufferExport(
            *ExportFormatFromKey(format.isEmpty() ? "TEXT" : format.toUpper().replace('-', '_')),
            GetText(102102) + " 4\r\n" + status + "\r\n", BufferHeadings(), rows);
        QCOMPARE(bytes, toFile ? ToCp1252(expected) : expected.toUtf8());
    }

    void interrupted_data()
    {
        QTest::addColumn<Interrupt>("c");
        // Each exchange takes 400 ms: the signals land in the middle of the second write.
        const QStringList slow{"--events", m_events, "--clear-never-falls", "--turnaround", "400"};
        const QStringList write{"write", m_source, "--slave", "1"};
        QTest::newRow("write, Ctrl+C")
            << Interrupt{slow, write, SIGINT, 1, 4, 4, Lines(10123, 10122), "337/12 353/24"};
        const QStringList clear{"buffer", "clear", "--slave", "1"};
        QTest::newRow("buffer clear, SIGTERM")
            << Interrupt{slow, clear, SIGTERM, 1, 6, 4, Lines(10123, 102004), "288=3 288=3 289=0"};
        QTest::newRow("write, Ctrl+C twice")
            << Interrupt{slow, write, SIGINT, 2, 4, -1, QString(), "337/12 353/24"};
        // The search is cancelled quietly, long before its last attempt.
        const QStringList search{"buffer", "read", "--search", "--timeout", "300"};
        QTest::newRow("search, Ctrl+C") << Interrupt{m_silent, search, SIGINT, 1, 2, 5, {}, {}};
    }

    // The first signal lets the exchange in progress end and stops before the
    // next block (but the end of a clear that discarded events), with what the
    // panel holds; a second one ends the program at once.
    void interrupted()
    {
        QFETCH(Interrupt, c);
        const auto& [sim, args, signal, sent, heard, exitCode, message, writes] = c;
        OrvelSim panel;
        QVERIFY(panel.start(sim));
        QProcess process;
        m_ctl->start(process, args + QStringList{"--port", panel.device()});
        QVERIFY(process.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (panel.requests().size() < heard && clock.elapsed() < 20000)
            QTest::qWait(20);
        QTest::qWait(100);
        for (int i = 0; i < sent; ++i) {
            // A process that has ended has no id: kill(0) would signal the
            // test's own process group.
            const qint64 pid = process.processId();
            QVERIFY2(pid > 0, "orvelctl ended before it was interrupted");
            ::kill(pid_t(pid), signal);
            QTest::qWait(100); // two signals at once would count as one
        }
        QVERIFY(process.state() == QProcess::NotRunning || process.waitForFinished(20000));
        QCOMPARE(panel.writes(), writes);
        QCOMPARE(process.exitStatus(), exitCode < 0 ? QProcess::CrashExit : QProcess::NormalExit);
        if (exitCode < 0)
            return;
        QCOMPARE(process.exitCode(), exitCode);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(message.isEmpty() ? !err.contains("error:")
                                   : err.endsWith("error: " + message + '\n'),
                 qPrintable(err));
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    // Exit status 2 and the reason, for options split at spaces.
    void badOptions_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("message");
        auto row = [](const QString& args, const QString& message) {
            QTest::newRow(qPrintable(args)) << args << message;
        };
        row("--panel 65", "bad panel 65");
        row("-p 3:1.07", "bad version in 3:1.07 (1.02 to 1.06)");
        row("-p 3 -p 3", "slave 3 given twice");
        row("--fault loud", "bad --fault loud");
        row("--config /nonexistent/x.orv", "cannot load the configuration /nonexistent/x.orv");
        row("extra", "unexpected argument extra");
        // Event lists: "channel parameter display ticks", "ACK ...", or raw words.
        const QString events = path("bad-events.txt");
        TestFiles::WriteBytes(events, "ACK 0 0 1\n0xD5A0 0x0001\n1 0 0 1048576\n");
        row("--events " + events, events + ": line 3: 1 0 0 1048576");
        row("--events 3=" + events, "no panel for 3=" + events);
    }

    void badOptions()
    {
        QFETCH(QString, args);
        QFETCH(QString, message);
        QProcess sim;
        sim.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"), args.split(' '));
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 2);
        QCOMPARE(sim.readAllStandardError(), "orvel-sim: " + message.toUtf8() + '\n');
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    // The device and the link to it; the panel's configuration and events
    // loaded; a fault limited to one register or to the first requests; the
    // link gone after SIGTERM.
    void servesTheTerminal()
    {
        ConfigClass config;
        config.SetInSecu(4, 44);
        config.SetCommonType(2);
        QVERIFY(config.Save(path("demo.orv")));
        TestFiles::WriteBytes(path("sim-events.txt"), "ACK 0 0 12000\n");
        OrvelSim sim;
        QVERIFY(sim.start({"-p", "5:1.05", "--config", "5=" + path("demo.orv"), "--events",
                           "5=" + path("sim-events.txt"), "--fault", "5=no-reply@334#2"}));
        QVERIFY(sim.device().startsWith(QStringLiteral("/dev/")));
        QCOMPARE(QFileInfo(sim.link()).symLinkTarget(), sim.device());
        SerialComCtrl port;
        port.SetCommPort(sim.link());
        port.SetPortOpen(true);
        PanelLink link(port, {.frameDelayMs = 0, .replyTimeoutMs = 300});
        QList<std::int16_t> w(4, 0);
        QVERIFY(LitMots(link, 5, 1172, w));
        QCOMPARE(w[3], std::int16_t(2));
        QVERIFY(LitMots(link, 5, 593, w));
        QCOMPARE(w[3], std::int16_t(44));
        QList<std::int16_t> event(2, 0);
        QVERIFY(LitMots(link, 5, 146, event));
        QCOMPARE(event, (QList<std::int16_t>{-4096, 12000}));
        for (bool answered : {false, false, true}) {
            QList<std::int16_t> version(2, 0);
            QCOMPARE(LitMots(link, 5, 334, version), answered);
        }
        port.SetPortOpen(false);
        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo::exists(sim.link()));
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Runs orvelctl on the simulator's line, for the slave given (0: none).
    CtlRun ctl(const OrvelSim& sim, QStringList args, int slave = Slave) const
    {
        args << "--port" << sim.device();
        if (slave)
            args << "--slave" << QString::number(slave);
        return m_ctl->run(args);
    }
    // A list of events for orvel-sim --events.
    QString eventFile(const QByteArray& text)
    {
        const QString name = path(QStringLiteral("events-%1.txt").arg(++m_files));
        TestFiles::WriteBytes(name, text);
        return name;
    }

    QTemporaryDir m_dir;
    QString m_source = path("source.orv");
    QString m_unset21 = path("unset21.orv");
    QString m_events = path("events.txt");
    QString m_never = path("never.out");
    // A panel that listens at a speed no search tries.
    const QStringList m_silent{"-p", "64:1.06:600,N,8,1"};
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
    int m_files = 0;
};

QTEST_GUILESS_MAIN(TestOrvelctlPanel)
#include "tst_orvelctl_panel.moc"
