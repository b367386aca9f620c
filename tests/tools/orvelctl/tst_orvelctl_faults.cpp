// orvelctl against a misbehaving panel, a full disk and interruptions: every
// failure ends as a failure, with what the panel now holds, and nothing is
// lost. Run as an unprivileged user, so that file permissions apply.
#include "config/ConfigClass.h"
#include "CtlRunner.h"
#include "FileSizeLimit.h"
#include "OrvelSim.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "Unprivileged.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QString lines(int tag)
{
    QString text = GetText(tag);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString twoTexts(int first, int second)
{
    return lines(first) + QLatin1Char('\n') + lines(second);
}

} // namespace

class TestOrvelctlFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void panelFaults_data();
    void panelFaults();
    void replyHeldUntilTheNextRun();
    void interrupted_data();
    void interrupted();
    void outputCheckedBeforeTheTransfer_data();
    void outputCheckedBeforeTheTransfer();
    void fullDisk();
    void exportReplacesItsFile();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList line(const OrvelSim& sim, QStringList args) const
    {
        return args << QStringLiteral("--port") << sim.device() << QStringLiteral("--slave")
                    << QStringLiteral("1") << QStringLiteral("--timeout") << QStringLiteral("300");
    }

    QTemporaryDir m_dir;
    QString m_ini;
    QString m_source;
    QString m_events;
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
};

void TestOrvelctlFaults::initTestCase()
{
    QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
    SetCurrentLanguage(QString());
    m_ini = path(QStringLiteral("orvel.ini"));
    SetIniFileNameOverride(m_ini);
    SetIniParam("Communication", "FrameDelay", "0");
    m_ctl = std::make_unique<CtlRunner>(m_ini);
    ConfigClass config;
    GetAllDefaults(config);
    config.SetGenParam(21, 2);
    m_source = path(QStringLiteral("source.orv"));
    QVERIFY(config.Save(m_source));
    m_events = path(QStringLiteral("events.txt"));
    TestFiles::WriteBytes(m_events, "1 1 2 197842\nACK 0 0 250000\n5 2 0 300000\n");
    QVERIFY(m_ui.messages.isEmpty());
}

void TestOrvelctlFaults::panelFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("written"); // the write requests the panel heard
    const QString out = path(QStringLiteral("never.orv"));
    QTest::newRow("version unreadable: detect")
        << "no-reply@334" << QStringList{"detect"} << lines(10100) << QList<int>{};
    QTest::newRow("version unreadable: write") << "no-reply@334" << QStringList{"write", m_source}
                                               << twoTexts(10100, 10105) << QList<int>{};
    QTest::newRow("acknowledgement with a broken checksum")
        << "bad-crc@336" << QStringList{"write", m_source, "--validate"} << twoTexts(10100, 10109)
        << QList<int>{337, 353, 385, 401, 417,  433,  449,  481,  497,  513,
                      529, 849, 865, 881, 1025, 1089, 1121, 1153, 1099, 336};
    QTest::newRow("write failing part-way")
        << "no-reply@849" << QStringList{"write", m_source} << twoTexts(10100, 10122)
        << QList<int>{337, 353, 385, 401, 417, 433, 449, 481, 497, 513, 529, 849};
}

// A failed exchange is a failed transfer (exit 4), said as such, with what
// the panel now holds.
void TestOrvelctlFaults::panelFaults()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(QList<int>, written);
    OrvelSim sim;
    QVERIFY(sim.start({"--fault", fault}));
    const CtlRun r = m_ctl->run(line(sim, args));
    QCOMPARE(r.exitCode, 4);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.errText().endsWith(QStringLiteral("error: ") + message + QLatin1Char('\n')),
             r.err.constData());
    QList<int> heard;
    for (const auto& [address, count] : sim.writes())
        heard << address;
    QCOMPARE(heard, written);
    QVERIFY(!QFile::exists(path(QStringLiteral("never.orv"))));
}

// A reply that comes only once the next request is heard, here the request
// of the next run: the second run never takes it for its own answer and
// reports success with a wrong version.
void TestOrvelctlFaults::replyHeldUntilTheNextRun()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--fault", "held-reply"}));
    const CtlRun first = m_ctl->run(line(sim, {"detect"}));
    QCOMPARE(first.exitCode, 3);
    const CtlRun second = m_ctl->run(line(sim, {"detect"}));
    QCOMPARE(second.exitCode, 4);
    QVERIFY(second.out.isEmpty());
    QVERIFY(second.errText().endsWith(QStringLiteral("error: ") + lines(10100) + '\n'));
}

void TestOrvelctlFaults::interrupted_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("sent");
    QTest::addColumn<QString>("message"); // empty: ended by the signal
    QTest::addColumn<QList<int>>("written");
    QTest::newRow("write, Ctrl+C") << QStringList{"write", m_source} << SIGINT << 1
                                   << twoTexts(10123, 10122) << QList<int>{337, 353};
    QTest::newRow("buffer clear, SIGTERM") << QStringList{"buffer", "clear"} << SIGTERM << 1
                                           << twoTexts(10123, 102004) << QList<int>{288, 288, 289};
    QTest::newRow("write, Ctrl+C twice")
        << QStringList{"write", m_source} << SIGINT << 2 << QString() << QList<int>{337, 353};
}

// The first signal lets the exchange in progress end and stops before the
// next block (but the end of a clear that discarded events), with what the
// panel holds; a second one ends the program at once.
void TestOrvelctlFaults::interrupted()
{
    QFETCH(QStringList, args);
    QFETCH(int, signal);
    QFETCH(int, sent);
    QFETCH(QString, message);
    QFETCH(QList<int>, written);
    // Each exchange takes 400 ms: the signals land in the middle of the second write.
    OrvelSim sim;
    QVERIFY(sim.start({"--events", m_events, "--clear-never-falls", "--turnaround", "400"}));
    QProcess ctl;
    ctl.setProcessEnvironment(m_ctl->environment());
    ctl.start(CtlRunner::DefaultProgram(),
              line(sim, args) << QStringLiteral("--timeout") << QStringLiteral("2000"));
    QVERIFY(ctl.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (sim.writes().size() < 2 && clock.elapsed() < 20000)
        QTest::qWait(20);
    QTest::qWait(100);
    for (int i = 0; i < sent; ++i) {
        ::kill(pid_t(ctl.processId()), signal);
        QTest::qWait(100); // two signals at once would count as one
    }
    QVERIFY(ctl.state() == QProcess::NotRunning || ctl.waitForFinished(20000));
    QCOMPARE(ctl.exitStatus(), message.isEmpty() ? QProcess::CrashExit : QProcess::NormalExit);
    QList<int> heard;
    for (const auto& [address, count] : sim.writes())
        heard << address;
    if (!message.isEmpty()) {
        QCOMPARE(ctl.exitCode(), 4);
        const QString err = QString::fromUtf8(ctl.readAllStandardError());
        QVERIFY2(err.endsWith(QStringLiteral("error: ") + message + QLatin1Char('\n')),
                 qPrintable(err));
        QCOMPARE(heard, written);
    }
}

void TestOrvelctlFaults::outputCheckedBeforeTheTransfer_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString missing = path(QStringLiteral("no/such/folder/x"));
    QTest::newRow("read, missing folder")
        << QStringList{"read", "-o", missing} << missing + ": No such file or directory";
    QTest::newRow("buffer read, missing folder")
        << QStringList{"buffer", "read", "-o", missing} << missing + ": No such file or directory";
}

// Nothing is asked of the panel for a result that could not be saved.
void TestOrvelctlFaults::outputCheckedBeforeTheTransfer()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    OrvelSim sim;
    QVERIFY(sim.start({}));
    const CtlRun r = m_ctl->run(line(sim, args));
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.errText(), QStringLiteral("error: ") + message + QLatin1Char('\n'));
    QVERIFY(sim.requests().isEmpty());
}

// On a full disk an export fails and the previous file stays byte for byte,
// with no temporary file beside it.
void TestOrvelctlFaults::fullDisk()
{
    const QString out = path(QStringLiteral("previous.out"));
    const QByteArray previous(40, 'p');
    TestFiles::WriteBytes(out, previous);
    OrvelSim sim;
    QVERIFY(sim.start({"--events", m_events}));
    QProcess ctl;
    ctl.setProcessEnvironment(m_ctl->environment());
    {
        FileSizeLimit disk(128); // room for the port's lock file, not for the output
        ctl.start(CtlRunner::DefaultProgram(), line(sim, {"buffer", "read", "-o", out}));
        QVERIFY(ctl.waitForStarted());
    }
    QVERIFY(ctl.waitForFinished(30000));
    QCOMPARE(ctl.exitCode(), 2);
    const QString err = QString::fromUtf8(ctl.readAllStandardError());
    QVERIFY2(err.endsWith(QStringLiteral("error: %1: File too large\n").arg(out)), qPrintable(err));
    QCOMPARE(TestFiles::ReadBytes(out), previous);
    QCOMPARE(
        QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".orvel")),
        QStringList());
}

// Run by an unprivileged user: an export given as a link to a read-only file
// replaces that file, which stays read-only, and the link stays.
void TestOrvelctlFaults::exportReplacesItsFile()
{
    const QString file = path(QStringLiteral("export.txt"));
    const QString link = path(QStringLiteral("export-link.txt"));
    QFile::remove(file);
    QFile::remove(link);
    TestFiles::WriteBytes(file, "old list");
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(file, link));
    OrvelSim sim;
    QVERIFY(sim.start({"--events", m_events}));
    const CtlRun r = m_ctl->run(line(sim, {"buffer", "read", "-o", link}));
    QCOMPARE(r.exitCode, 0);
    QVERIFY(TestFiles::ReadBytes(file).contains("0197842"));
    QCOMPARE(QFile::permissions(file), QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup);
    QVERIFY(QFileInfo(link).isSymLink());
}

ORVEL_UNPRIVILEGED_TEST_MAIN(TestOrvelctlFaults)
#include "tst_orvelctl_faults.moc"
