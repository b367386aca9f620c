// orvelctl on a line where no panel answers (a bare pseudo-terminal): the
// messages and exit codes of detection, the search order on standard error,
// and Ctrl+C cancelling the search.
#include "CtlRunner.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "util/RuntimeError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {

// A pseudo-terminal whose far end nobody answers.
class SilentLine
{
public:
    SilentLine()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
    }
    ~SilentLine()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    SilentLine(const SilentLine&) = delete;
    SilentLine& operator=(const SilentLine&) = delete;
    QString path() const { return m_path; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

QString lines(int tag)
{
    QString text = GetText(tag);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString attemptLine(const QString& slave, int bauds, int stops)
{
    return QStringLiteral("%1 %2  %3 %4  %5 %6")
        .arg(GetText(35031), slave, GetText(35032))
        .arg(bauds)
        .arg(GetText(35034))
        .arg(stops);
}

} // namespace

class TestOrvelctlNoAnswer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void givenSlaveDoesNotAnswer_data();
    void givenSlaveDoesNotAnswer();
    void searchFindsNothing();
    void searchOrderFromIniSettings();
    void interruptCancelsTheSearch();
    void commandsNeedingAPanel_data();
    void commandsNeedingAPanel();

private:
    QTemporaryDir m_dir;
    QString m_ini;
    SilentLine m_line;
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
};

void TestOrvelctlNoAnswer::initTestCase()
{
    QVERIFY(!m_line.path().isEmpty());
    QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
    SetCurrentLanguage(QString());
    m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
    SetIniFileNameOverride(m_ini);
    SetIniParam("Communication", "Port", m_line.path());
    SetIniParam("Communication", "FrameDelay", "0");
    m_ctl = std::make_unique<CtlRunner>(m_ini);
}

void TestOrvelctlNoAnswer::givenSlaveDoesNotAnswer_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("detect") << QStringList{"detect"} << lines(10100);
    QTest::newRow("read") << QStringList{"read", "-o", "x.orv"} << lines(10100);
    QTest::newRow("validate") << QStringList{"validate"} << lines(10100);
    QTest::newRow("buffer read") << QStringList{"buffer", "read"} << lines(10100);
    QTest::newRow("buffer clear") << QStringList{"buffer", "clear"} << lines(10100);
}

void TestOrvelctlNoAnswer::givenSlaveDoesNotAnswer()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QElapsedTimer clock;
    clock.start();
    const CtlRun r = m_ctl->run(args << "--slave"
                                     << "3"
                                     << "--timeout"
                                     << "100");
    QCOMPARE(r.exitCode, 3);
    QCOMPARE(r.errText(), QStringLiteral("error: ") + message + QLatin1Char('\n'));
    QVERIFY(r.out.isEmpty());
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(!QFile::exists(QStringLiteral("x.orv")));
}

// Slave 0 with the search: ten attempts at 9600 baud first, then the
// message of a search that found nothing.
void TestOrvelctlNoAnswer::searchFindsNothing()
{
    const CtlRun r = m_ctl->run({"detect", "--search", "--timeout", "50"});
    QCOMPARE(r.exitCode, 3);
    QStringList expected{GetText(35022).section(QStringLiteral("\r\n"), 0, 0) +
                         QStringLiteral(" (Ctrl+C)")};
    for (int stops : {1, 2})
        for (int bauds : {9600, 19200, 4800, 2400, 1200})
            expected.append(attemptLine(QStringLiteral("?"), bauds, stops));
    expected.append(QStringLiteral("error: ") + lines(10102));
    QCOMPARE(r.errText(), expected.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

// The search starts from the INI file's line settings: 38400 baud and two
// stop bits give twelve attempts, two stop bits first.
void TestOrvelctlNoAnswer::searchOrderFromIniSettings()
{
    SetIniParam("Communication", "Bauds", "38400");
    SetIniParam("Communication", "Stops", "2");
    const CtlRun r = m_ctl->run({"detect", "--search", "--slave", "7", "--timeout", "50"});
    SetIniParam("Communication", "Bauds", "9600");
    SetIniParam("Communication", "Stops", "1");
    QCOMPARE(r.exitCode, 3);
    QStringList attempts;
    for (int stops : {2, 1})
        for (int bauds : {38400, 19200, 9600, 4800, 2400, 1200})
            attempts.append(attemptLine(QStringLiteral("7"), bauds, stops));
    const QStringList err = r.errText().split(QLatin1Char('\n'));
    QCOMPARE(err.mid(1, 12), attempts);
    // A search for a given slave that finds nothing says that the slave did not answer.
    QCOMPARE(err.mid(13).join(QLatin1Char('\n')),
             QStringLiteral("error: ") + lines(10100) + QLatin1Char('\n'));
}

void TestOrvelctlNoAnswer::interruptCancelsTheSearch()
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVEL_INI"), m_ini);
    process.setProcessEnvironment(env);
    process.start(CtlRunner::DefaultProgram(), {"buffer", "read", "--search", "--timeout", "300"});
    QVERIFY(process.waitForStarted());
    // Wait for the second attempt, then press Ctrl+C.
    QByteArray err;
    QElapsedTimer clock;
    clock.start();
    while (err.count('\n') < 3 && clock.elapsed() < 10000) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
    }
    QVERIFY2(err.count('\n') >= 3, err.constData());
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(10000));
    err += process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 5);
    // Cancelled quietly: no message after the attempts, far fewer than ten.
    QVERIFY2(!err.contains("error:"), err.constData());
    QVERIFY(err.count('\n') < 8);
    QVERIFY(process.readAllStandardOutput().isEmpty());
}

void TestOrvelctlNoAnswer::commandsNeedingAPanel_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString file = m_dir.filePath(QStringLiteral("some.orv"));
    TestFiles::WriteBytes(file, QByteArray(291, '\0')); // empty texts, every field 0
    // Write says the configuration was not written, also after a search.
    QTest::newRow("write") << QStringList{"write", file, "--slave", "2"} << 3
                           << lines(10100) + QLatin1Char('\n') + lines(10105);
    QTest::newRow("write, search") << QStringList{"write", file, "--search"} << 3
                                   << lines(10100) + QLatin1Char('\n') + lines(10105);
    QTest::newRow("read, search") << QStringList{"read", "-o", "y.orv", "--search"} << 3
                                  << lines(10102);
    // A missing file is found out before the line is used.
    QTest::newRow("write, no file")
        << QStringList{"write", m_dir.filePath("none.orv")} << 2
        << m_dir.filePath("none.orv") + QStringLiteral(": ") + ErrorDescription(53);
}

void TestOrvelctlNoAnswer::commandsNeedingAPanel()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const CtlRun r = m_ctl->run(args << "--timeout"
                                     << "20");
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.errText().endsWith(QStringLiteral("error: ") + message + QLatin1Char('\n')),
             r.err.constData());
    QVERIFY(r.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestOrvelctlNoAnswer)
#include "tst_orvelctl_noanswer.moc"
