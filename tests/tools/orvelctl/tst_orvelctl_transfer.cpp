// orvelctl against orvel-sim on a pseudo-terminal: detect, read, write and
// validate on every firmware version, the search, the refusals and the
// failures, with what the panel received and what the files hold.
#include "config/ConfigClass.h"
#include "CtlRunner.h"
#include "link/CommFunctions.h"
#include "OrvelSim.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr std::uint8_t Slave = 7;

QString lines(int tag)
{
    QString text = GetText(tag);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString versionText(int code)
{
    return QStringLiteral("%1.%2").arg(code / 256).arg(code % 256);
}

// A configuration where every field has its own value, with horn type 4 and
// driving kind 5 on some channels, and 2 h 15 min of horn stop.
ConfigClass sourceConfig()
{
    ConfigClass c;
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInSecu(ch, std::uint8_t(ch));
        c.SetInTempo(ch, ch * 1000003 + 7);
        c.SetInSequence(ch, std::uint8_t(20 + ch));
        c.SetInDetect(ch, std::uint8_t(40 + ch));
        c.SetInRelance(ch, std::uint8_t(60 + ch));
        c.SetInBlocage(ch, std::uint8_t(80 + ch));
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(ch, k, std::uint8_t((ch + k) % 13));
        c.SetInSynth(ch, std::uint8_t(100 + ch));
        c.SetInTypeKL(ch, std::uint8_t(ch % 5));
        c.SetInDisturb(ch, std::uint8_t(120 + ch));
        c.SetInRepBlock(ch, std::uint8_t(140 + ch));
        c.SetOutSecu(ch, std::uint8_t(160 + ch));
        c.SetOutPilot(ch, std::uint8_t(ch % 6));
        c.SetOutMode(ch, std::uint8_t(ch % 3));
    }
    for (int i = 0; i < 33; ++i)
        c.SetGenParam(i, std::uint8_t(50 + i));
    c.SetGenParam(21, 3);
    c.SetGenParam(23, Slave);
    c.SetGenParam(30, 2);
    c.SetGenParam(31, 15);
    c.SetGenTempoRelance(123456789);
    c.SetBrightMin(-200);
    c.SetSupplyType(6);
    c.SetCommonType(8);
    c.SetModuleName(QStringLiteral("Line 4"));
    return c;
}

// What a panel older than 1.03 keeps of a configuration, written out here
// from the rules rather than with the code under test.
void correctForOldFirmware(ConfigClass& c)
{
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInDisturb(ch, 0);
        c.SetInRepBlock(ch, 0);
        if (c.InTypeKL(ch) == 4)
            c.SetInTypeKL(ch, 0);
        if (c.OutPilot(ch) == 5)
            c.SetOutPilot(ch, 2);
    }
    c.SetGenParam(21, 0);
    c.SetGenParam(27, 0);
}

// Copies channel ch's fields that a panel of version v holds, as they are.
void copyChannel(ConfigClass& to, const ConfigClass& from, int ch, int v)
{
    to.SetInSecu(ch, from.InSecu(ch));
    to.SetInTempo(ch, from.InTempo(ch));
    to.SetInSequence(ch, from.InSequence(ch));
    to.SetInDetect(ch, from.InDetect(ch));
    to.SetInRelance(ch, from.InRelance(ch));
    to.SetInBlocage(ch, from.InBlocage(ch));
    for (int k = 1; k <= 4; ++k)
        to.SetInRedir(ch, k, from.InRedir(ch, k));
    to.SetInSynth(ch, from.InSynth(ch));
    to.SetInTypeKL(ch, from.InTypeKL(ch));
    to.SetOutSecu(ch, from.OutSecu(ch));
    to.SetOutPilot(ch, from.OutPilot(ch));
    if (v >= 259) {
        to.SetInDisturb(ch, from.InDisturb(ch));
        to.SetInRepBlock(ch, from.InRepBlock(ch));
    }
    if (v >= 261)
        to.SetOutMode(ch, from.OutMode(ch));
}

// The record a read of a panel of version v gives: the data file's defaults,
// replaced by every field that version lets the console read from panel.
ConfigClass afterRead(const ConfigClass& panel, int v, std::uint8_t slave)
{
    ConfigClass c;
    GetAllDefaults(c);
    for (int ch = 1; ch <= 12; ++ch) {
        copyChannel(c, panel, ch, v);
        c.SetInTempo(ch, panel.InTempo(ch) & 0xFFFFFF); // a read keeps 24 bits of the delay
    }
    for (int i : {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                  32, 14, 15, 16, 17, 18, 19, 20, 22, 24, 25, 26, 28})
        c.SetGenParam(i, panel.GenParam(i));
    c.SetGenTempoRelance(panel.GenTempoRelance());
    c.SetGenParam(23, slave); // also ModuleNo
    if (v >= 259) {
        c.SetGenParam(21, panel.GenParam(21));
        c.SetGenParam(27, panel.GenParam(27));
    }
    if (v >= 261) {
        for (int i : {29, 30, 31})
            c.SetGenParam(i, panel.GenParam(i));
    }
    c.SetBrightMin(panel.BrightMin());
    c.SetSupplyType(panel.SupplyType());
    c.SetCommonType(panel.CommonType());
    if (v < 259)
        correctForOldFirmware(c);
    return c;
}

// What an empty panel of version v holds once a configuration is written.
ConfigClass panelAfterWrite(const ConfigClass& s, int v, bool factory)
{
    ConfigClass p;
    for (int ch = 1; ch <= 12; ++ch)
        copyChannel(p, s, ch, v);
    for (int i :
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 22, 24, 25, 26, 28})
        p.SetGenParam(i, s.GenParam(i));
    p.SetGenTempoRelance(s.GenTempoRelance());
    if (v >= 259) {
        p.SetGenParam(21, s.GenParam(21));
        p.SetGenParam(27, s.GenParam(27));
    }
    if (v >= 260)
        p.SetGenParam(32, s.GenParam(32));
    if (v >= 262) {
        for (int i : {29, 30, 31})
            p.SetGenParam(i, s.GenParam(i));
    }
    if (factory) {
        p.SetBrightMin(s.BrightMin());
        p.SetSupplyType(s.SupplyType());
    }
    return p;
}

// The write requests of a whole write on version v: address and word count.
QList<QPair<int, int>> writeSchedule(int v, bool factory, bool validate)
{
    QList<QPair<int, int>> w{{337, 12}, {353, 24}, {385, 12}, {401, 12}, {417, 12},
                             {433, 12}, {449, 24}, {481, 12}, {497, 12}};
    if (v >= 259)
        w << QPair<int, int>{513, 12} << QPair<int, int>{529, 12};
    w << QPair<int, int>{849, 12} << QPair<int, int>{865, 12};
    if (v >= 261)
        w << QPair<int, int>{881, 12};
    w << QPair<int, int>{1025, v >= 260 ? 14 : 13} << QPair<int, int>{1089, v >= 259 ? 10 : 9}
      << QPair<int, int>{1121, v >= 259 ? 6 : 5} << QPair<int, int>{1153, 1};
    if (v >= 262)
        w << QPair<int, int>{1099, 3};
    if (factory)
        w << QPair<int, int>{1171, 3};
    if (validate)
        w << QPair<int, int>{336, 1};
    return w;
}

QString panelSpec(int version, const QString& settings = QStringLiteral("9600,N,8,1"))
{
    return QStringLiteral("%1:%2:%3").arg(Slave).arg(version).arg(settings);
}

} // namespace

class TestOrvelctlTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void detect_data();
    void detect();
    void detectAmongSeveralPanels();
    void search();
    void read_data();
    void read();
    void readSearchingTheSlave();
    void write_data();
    void write();
    void writeWithoutFactoryOrValidation();
    void writeRefusedOnOlderFirmware();
    void writeRefusedWithoutSupplyVoltage_data();
    void writeRefusedWithoutSupplyVoltage();
    void validate();
    void validationFails();
    void halfDuplexLine();
    void transferFails_data();
    void transferFails();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    CtlRun ctl(QStringList args, const OrvelSim& sim) const
    {
        return m_ctl->run(args << QStringLiteral("--port") << sim.device());
    }

    QTemporaryDir m_dir;
    QString m_ini;
    QString m_source;
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
};

void TestOrvelctlTransfer::initTestCase()
{
    QVERIFY(QFile::exists(OrvelSim::Program()));
    QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
    SetCurrentLanguage(QString());
    m_ini = path(QStringLiteral("orvel.ini"));
    SetIniFileNameOverride(m_ini);
    SetIniParam("Communication", "FrameDelay", "0");
    m_ctl = std::make_unique<CtlRunner>(m_ini);
    m_source = path(QStringLiteral("source.orv"));
    QVERIFY(sourceConfig().Save(m_source));
}

void TestOrvelctlTransfer::init()
{
    QVERIFY(m_ui.messages.isEmpty());
}

void TestOrvelctlTransfer::detect_data()
{
    QTest::addColumn<int>("version");
    for (int v = 258; v <= 262; ++v)
        QTest::newRow(qPrintable(versionText(v))) << v;
}

void TestOrvelctlTransfer::detect()
{
    QFETCH(int, version);
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(version)}));
    const CtlRun r = ctl({"detect", "--slave", "7"}, sim);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(QString::fromUtf8(r.out),
             QStringLiteral("slave=7 version=%1 code=%2\n").arg(versionText(version)).arg(version));
    QCOMPARE(r.errText(), GetText(35021).section(QStringLiteral("\r\n"), 0, 0) +
                              QStringLiteral(" %1 7\n").arg(GetText(35031)));
    // Detection reads the slave number, then the version; it writes nothing.
    QCOMPARE(sim.requests(),
             (QList<QByteArray>{ReadRequestFrame(7, 1138, 1), ReadRequestFrame(7, 334, 2)}));
}

void TestOrvelctlTransfer::detectAmongSeveralPanels()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "3", "--panel", "12:1.03", "--panel", "40:1.05"}));
    const CtlRun r = ctl({"detect", "--slave", "12"}, sim);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("slave=12 version=1.3 code=259\n"));
}

// A panel at 4800 baud with two stop bits, found from the INI file's 9600
// baud and one stop bit by the search over slave 0.
void TestOrvelctlTransfer::search()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "9:1.06:4800,N,8,2"}));
    const CtlRun r = ctl({"detect", "--search", "--timeout", "150"}, sim);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("slave=9 version=1.6 code=262\n"));
    auto attempt = [](const QString& slave, int bauds, int stops) {
        return QStringLiteral("%1 %2  %3 %4  %5 %6")
            .arg(GetText(35031), slave, GetText(35032))
            .arg(bauds)
            .arg(GetText(35034))
            .arg(stops);
    };
    QStringList expected{GetText(35022).section(QStringLiteral("\r\n"), 0, 0) +
                         QStringLiteral(" (Ctrl+C)")};
    for (int bauds : {9600, 19200, 4800, 2400, 1200})
        expected << attempt(QStringLiteral("?"), bauds, 1);
    for (int bauds : {9600, 19200, 4800})
        expected << attempt(QStringLiteral("?"), bauds, 2);
    expected << attempt(QStringLiteral("9"), 4800, 2);
    expected << GetText(35021).section(QStringLiteral("\r\n"), 0, 0) + QLatin1Char(' ') +
                    GetText(35031) + QStringLiteral(" 9");
    QCOMPARE(r.errText(), expected.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    // The panel was asked its number at address 65, then identified.
    const QList<QByteArray> requests = sim.requests();
    QVERIFY(requests.contains(ReadRequestFrame(65, 130, 1)));
    QVERIFY(requests.contains(ReadRequestFrame(9, 132, 1)));
    QVERIFY(requests.contains(ReadRequestFrame(9, 133, 1)));
}

void TestOrvelctlTransfer::read_data()
{
    QTest::addColumn<int>("version");
    for (int v = 258; v <= 262; ++v)
        QTest::newRow(qPrintable(versionText(v))) << v;
}

// The file a read saves holds what the panel holds, as far as its firmware
// has it, the defaults elsewhere, and the correction of old firmware.
void TestOrvelctlTransfer::read()
{
    QFETCH(int, version);
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(version), "--config", m_source}));
    const QString out = path(QStringLiteral("read-%1.orv").arg(version));
    const CtlRun r = ctl({"read", "-o", out, "--slave", "7"}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(TestFiles::ReadBytes(out), afterRead(sourceConfig(), version, Slave).ToFileBytes());

    QString warning;
    if (version < 262) {
        warning = lines(10120);
        warning.replace(QStringLiteral("###1###"), versionText(version));
        warning.replace(QStringLiteral("###2###"), QStringLiteral("1.6"));
        QVERIFY(warning.contains(QStringLiteral("1.6")));
        warning = QStringLiteral("warning: ") + warning + QLatin1Char('\n');
    }
    QVERIFY2(r.errText().endsWith(QStringLiteral("7\n") + warning), r.err.constData());
    QVERIFY(sim.writes().isEmpty());
}

void TestOrvelctlTransfer::readSearchingTheSlave()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "23:1.06", "--config", m_source}));
    const QString out = path(QStringLiteral("searched.orv"));
    const CtlRun r = ctl({"read", "-o", out, "--search", "--timeout", "150"}, sim);
    QCOMPARE(r.exitCode, 0);
    ConfigClass back;
    QVERIFY(back.Load(out));
    QCOMPARE(back.GenParam(23), std::uint8_t(23));
    QCOMPARE(back.ModuleNo(), std::uint8_t(23));
    QCOMPARE(back.InSecu(5), std::uint8_t(5));
}

void TestOrvelctlTransfer::write_data()
{
    QTest::addColumn<int>("version");
    for (int v = 258; v <= 262; ++v)
        QTest::newRow(qPrintable(versionText(v))) << v;
}

// A write with the factory section and validation; the panel then holds the
// configuration as its firmware has it (adapted first for old firmware), and
// the file itself stays as it was.
void TestOrvelctlTransfer::write()
{
    QFETCH(int, version);
    const QByteArray before = TestFiles::ReadBytes(m_source);
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(version)}));
    QStringList args{"write", m_source, "--slave", "7", "--factory", "--validate"};
    if (version < 262)
        args << "--allow-older";
    const CtlRun r = ctl(args, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QString expectedEnd = lines(10106) + QLatin1Char('\n');
    if (version < 262)
        expectedEnd = QStringLiteral("warning: ") + lines(1610) + QLatin1Char('\n') + expectedEnd;
    QVERIFY2(r.errText().endsWith(QStringLiteral("7\n") + expectedEnd), r.err.constData());
    QCOMPARE(sim.writes(), writeSchedule(version, true, true));
    QCOMPARE(sim.wordsWrittenAt(336), QList<QList<int>>{{0}});
    QCOMPARE(TestFiles::ReadBytes(m_source), before);

    ConfigClass written = sourceConfig();
    if (version < 259)
        correctForOldFirmware(written);
    sim.clearLog();
    const QString back = path(QStringLiteral("back-%1.orv").arg(version));
    QCOMPARE(ctl({"read", "-o", back, "--slave", "7"}, sim).exitCode, 0);
    QCOMPARE(TestFiles::ReadBytes(back),
             afterRead(panelAfterWrite(written, version, true), version, Slave).ToFileBytes());
}

void TestOrvelctlTransfer::writeWithoutFactoryOrValidation()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(262)}));
    const CtlRun r = ctl({"write", m_source, "--slave", "7"}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.errText().endsWith(QStringLiteral("7\n") + lines(10109) + QLatin1Char('\n')));
    QCOMPARE(sim.writes(), writeSchedule(262, false, false));
}

void TestOrvelctlTransfer::writeRefusedOnOlderFirmware()
{
    const QByteArray before = TestFiles::ReadBytes(m_source);
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(261)}));
    const CtlRun r = ctl({"write", m_source, "--slave", "7", "--validate"}, sim);
    QCOMPARE(r.exitCode, 5);
    QVERIFY2(r.errText().endsWith(QStringLiteral("error: ") + lines(1610) +
                                  QStringLiteral("\n(--allow-older)\n")),
             r.err.constData());
    QVERIFY(sim.writes().isEmpty());
    QCOMPARE(TestFiles::ReadBytes(m_source), before);
}

void TestOrvelctlTransfer::writeRefusedWithoutSupplyVoltage_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("refused");
    QTest::newRow("1.02: no such parameter") << 258 << false;
    QTest::newRow("1.03") << 259 << true;
    QTest::newRow("1.06") << 262 << true;
}

void TestOrvelctlTransfer::writeRefusedWithoutSupplyVoltage()
{
    QFETCH(int, version);
    QFETCH(bool, refused);
    ConfigClass c = sourceConfig();
    c.SetGenParam(21, 0);
    const QString file = path(QStringLiteral("novref.orv"));
    QVERIFY(c.Save(file));
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(version)}));
    const CtlRun r = ctl({"write", file, "--slave", "7", "--allow-older"}, sim);
    if (refused) {
        QCOMPARE(r.exitCode, 5);
        QVERIFY2(r.errText().endsWith(QStringLiteral("error: ") + lines(10121) + QLatin1Char('\n')),
                 r.err.constData());
        QVERIFY(sim.writes().isEmpty());
    } else {
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(sim.writes(), writeSchedule(version, false, false));
    }
}

void TestOrvelctlTransfer::validate()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(260)}));
    const CtlRun r = ctl({"validate", "--slave", "7"}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.errText().endsWith(QStringLiteral("7\n") + lines(10106) + QLatin1Char('\n')));
    QCOMPARE(sim.writes(), (QList<QPair<int, int>>{{336, 1}}));
    QCOMPARE(sim.wordsWrittenAt(336), QList<QList<int>>{{0}});
}

// The panel stops answering once detection is over (the simulator is
// frozen during the frame delay that follows it).
void TestOrvelctlTransfer::validationFails()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(262)}));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVEL_INI"), m_ini);
    process.setProcessEnvironment(env);
    process.start(CtlRunner::DefaultProgram(), {"validate", "--slave", "7", "--port", sim.device(),
                                                "--frame-delay", "700", "--timeout", "200"});
    QVERIFY(process.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (sim.requests().size() < 2 && clock.elapsed() < 5000)
        QThread::msleep(10);
    QCOMPARE(sim.requests().size(), 2);
    sim.freeze(true);
    QVERIFY(process.waitForFinished(10000));
    sim.freeze(false);
    QCOMPARE(process.exitCode(), 4);
    QVERIFY(process.readAllStandardError().endsWith((QStringLiteral("error: ") + lines(10100) +
                                                     QLatin1Char('\n') + lines(10109) +
                                                     QLatin1Char('\n'))
                                                        .toUtf8()));
}

// RTS switching on a line that cannot drive RTS (a pseudo-terminal) is
// accepted: the exchanges go on as in full duplex.
void TestOrvelctlTransfer::halfDuplexLine()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(262), "--config", m_source}));
    const QString out = path(QStringLiteral("half.orv"));
    const CtlRun r =
        ctl({"read", "-o", out, "--slave", "7", "--half-duplex", "--rts-delay", "1"}, sim);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(TestFiles::ReadBytes(out), afterRead(sourceConfig(), 262, Slave).ToFileBytes());
}

// At 600 baud with the wire time of a real line, the short exchanges of the
// detection arrive within the reply deadline and the first block does not:
// the transfer fails after detection.
void TestOrvelctlTransfer::transferFails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("read") << QStringList{"read", "-o", path("failed.orv")} << lines(10100);
    QTest::newRow("write") << QStringList{"write", m_source}
                           << lines(10100) + QLatin1Char('\n') + lines(10105);
}

void TestOrvelctlTransfer::transferFails()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", panelSpec(262, "600,N,8,1"), "--wire-time"}));
    const CtlRun r = ctl(args << "--slave"
                              << "7"
                              << "--baud"
                              << "600"
                              << "--timeout"
                              << "420",
                         sim);
    QCOMPARE(r.exitCode, 4);
    QVERIFY2(r.errText().endsWith(QStringLiteral("7\nerror: ") + message + QLatin1Char('\n')),
             r.err.constData());
    QVERIFY(!QFile::exists(path("failed.orv")));
}

QTEST_GUILESS_MAIN(TestOrvelctlTransfer)
#include "tst_orvelctl_transfer.moc"
