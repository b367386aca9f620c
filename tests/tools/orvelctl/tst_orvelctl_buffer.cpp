// orvelctl buffer read and buffer clear against orvel-sim: the rows and the
// exports of 0, 5, 62, 63, 64 and 300 events, the clear and the panel whose
// count never falls.
#include "CtlRunner.h"
#include "eventlog/EventDecoder.h"
#include "link/CommFunctions.h"
#include "OrvelSim.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr std::uint8_t Slave = 4;

struct Record
{
    int w0;
    int w1;
};

QString lines(int tag)
{
    QString text = GetText(tag);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Event k: input (k % 12) + 1, parameter k % 16, display k % 6, ticks 977 k.
Record record(int k)
{
    const int ticks = 977 * k;
    return {((k % 12 + 1) << 12) | ((k % 16) << 8) | ((k % 6) << 4) | (ticks >> 16),
            ticks & 0xFFFF};
}

QList<Record> records(int count)
{
    QList<Record> list;
    for (int k = 1; k <= count; ++k)
        list.append(record(k));
    return list;
}

QString tabRow(int position, const Record& r)
{
    const EventRow row = DecodeEvent(position, std::int16_t(r.w0), std::int16_t(r.w1));
    return QStringList(row.begin(), row.end()).join(QLatin1Char('\t')) + QStringLiteral("\r\n");
}

QString headingLine()
{
    QStringList headings;
    for (int tag : {102115, 102110, 102111, 102112, 102113, 102114})
        headings.append(GetText(tag));
    return headings.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
}

} // namespace

class TestOrvelctlBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void emptyBuffer();
    void readAsText_data();
    void readAsText();
    void workedExample();
    void csvToFileInFrench();
    void csvEnglishOnStandardOutput();
    void readFails();
    void clear();
    void clearEmptyBuffer();
    void clearCountNeverFalls();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString eventFile(const QList<Record>& list);
    CtlRun ctl(QStringList args, const OrvelSim& sim) const
    {
        return m_ctl->run(args << QStringLiteral("--slave") << QString::number(Slave)
                               << QStringLiteral("--port") << sim.device());
    }
    // The found line that detection prints before the command's own output.
    static QString foundLine(int tag = 35021)
    {
        return GetText(tag).section(QStringLiteral("\r\n"), 0, 0) + QLatin1Char(' ') +
               GetText(35031) + QStringLiteral(" 4\n");
    }

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
    int m_files = 0;
};

void TestOrvelctlBuffer::initTestCase()
{
    QVERIFY(QFile::exists(OrvelSim::Program()));
    QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
    m_ini = path(QStringLiteral("orvel.ini"));
    SetIniFileNameOverride(m_ini);
    SetIniParam("Communication", "FrameDelay", "0");
    m_ctl = std::make_unique<CtlRunner>(m_ini);
}

void TestOrvelctlBuffer::init()
{
    DelIniParam("General", "Language");
    SetCurrentLanguage(QString());
}

QString TestOrvelctlBuffer::eventFile(const QList<Record>& list)
{
    const QString name = path(QStringLiteral("events-%1.txt").arg(++m_files));
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("# raw records W0 W1\n");
    for (const Record& r : list)
        f.write(QStringLiteral("0x%1 0x%2\n")
                    .arg(r.w0, 4, 16, QLatin1Char('0'))
                    .arg(r.w1, 4, 16, QLatin1Char('0'))
                    .toLatin1());
    return name;
}

void TestOrvelctlBuffer::emptyBuffer()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "4"}));
    const QString out = path(QStringLiteral("empty.txt"));
    const CtlRun r = ctl({"buffer", "read", "-o", out}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.errText(),
             foundLine() + QStringLiteral("warning: ") + lines(102003) + QLatin1Char('\n'));
    QVERIFY(!QFile::exists(out));
    QCOMPARE(sim.requests().last(), ReadRequestFrame(Slave, 144, 1));
}

void TestOrvelctlBuffer::readAsText_data()
{
    QTest::addColumn<QList<Record>>("log");
    QTest::addColumn<QList<Record>>("rows");
    QTest::addColumn<QList<QByteArray>>("bufferRequests");
    const QByteArray count = ReadRequestFrame(Slave, 144, 1);
    QTest::newRow("5") << records(5) << records(5)
                       << QList<QByteArray>{count, ReadRequestFrame(Slave, 146, 10)};
    const QList<QByteArray> full{count, ReadRequestFrame(Slave, 146, 124),
                                 ReadRequestFrame(Slave, 270, 4)};
    QTest::newRow("62") << records(62) << records(62) << full;
    QTest::newRow("63") << records(63) << records(63) << full;
    QTest::newRow("64") << records(64) << records(64) << full;
    // Event 63 has a zero word: the panel shows it, the list does not.
    QList<Record> withZero = records(64);
    withZero[62] = {0x3500, 0x0000};
    QList<Record> shown = withZero;
    shown.removeAt(62);
    QTest::newRow("62 with a zero record among the last two") << withZero << shown << full;
    // A panel keeps its 64 newest events.
    QTest::newRow("300") << records(300) << records(300).mid(236) << full;
}

void TestOrvelctlBuffer::readAsText()
{
    QFETCH(QList<Record>, log);
    QFETCH(QList<Record>, rows);
    QFETCH(QList<QByteArray>, bufferRequests);
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "4", "--events", eventFile(log)}));
    sim.clearLog();
    const CtlRun r = ctl({"buffer", "read"}, sim);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.errText(), foundLine());

    const QString out = QString::fromUtf8(r.out);
    const QStringList parts = out.split(QStringLiteral("\r\n"));
    QCOMPARE(parts[0], GetText(102102) + QStringLiteral(" 4"));
    QVERIFY(parts[1].startsWith(GetText(102009) + QLatin1Char(' ')));
    QVERIFY(parts[1].contains(QLatin1Char(' ') + GetText(102010) + QLatin1Char(' ')));
    QVERIFY(parts[1].endsWith(QLatin1Char(' ')));
    QString table = headingLine();
    for (int i = 0; i < rows.size(); ++i)
        table += tabRow(i + 1, rows[i]);
    QCOMPARE(out.mid(parts[0].size() + parts[1].size() + 4), table);
    QCOMPARE(sim.requests().mid(2), bufferRequests);
}

void TestOrvelctlBuffer::workedExample()
{
    OrvelSim sim;
    QVERIFY(
        sim.start({"--panel", "4", "--events", eventFile({{0x1203, 0x04D2}, {0xF000, 0x0001}})}));
    const CtlRun r = ctl({"buffer", "read", "--format", "text"}, sim);
    QCOMPARE(r.exitCode, 0);
    const QString out = QString::fromUtf8(r.out);
    QVERIFY2(out.endsWith(QStringLiteral("01\t0197842\t0:16:29.210\tV01\t") + GetText(102217) +
                          QLatin1Char('\t') + GetText(102201) +
                          QStringLiteral("\r\n02\t0000001\t0:00:00.005\tACK\t") + GetText(102215) +
                          QLatin1Char('\t') + GetText(102207) + QStringLiteral("\r\n")),
             r.out.constData());
}

// CSV with ";" into a file, in the INI file's language: Windows-1252 bytes,
// double quotes doubled inside cells.
void TestOrvelctlBuffer::csvToFileInFrench()
{
    const QString french = QStringLiteral("Fran\u00e7ais");
    QVERIFY(Languages().contains(french));
    SetIniParam("General", "Language", french);
    SetCurrentLanguage(french);
    OrvelSim sim;
    QVERIFY(
        sim.start({"--panel", "4", "--events", eventFile({{0x1203, 0x04D2}, {0xD5A0, 0x0000}})}));
    const QString out = path(QStringLiteral("events.csv"));
    const CtlRun r = ctl({"buffer", "read", "--format", "csv-fr", "-o", out}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QList<QByteArray> parts = bytes.split('\n');
    QCOMPARE(parts.size(), 6); // five lines, each ending in CR LF
    QVERIFY(bytes.endsWith("\r\n"));

    auto cp1252 = [](const QString& text) {
        QByteArray b;
        for (QChar c : text)
            b.append(c.unicode() < 256 ? char(c.unicode()) : '?'); // the texts here are Latin-1
        return b;
    };
    QCOMPARE(parts[0], cp1252(GetText(102102)) + " 4\r");
    QByteArray headings;
    for (int tag : {102115, 102110, 102111, 102112, 102113, 102114})
        headings += (headings.isEmpty() ? "" : ";") + ('"' + cp1252(GetText(tag)) + '"');
    QCOMPARE(parts[2], headings + '\r');
    QVERIFY(parts[2].contains("\"N\xb0\"")); // "N°" in Windows-1252, not UTF-8
    QCOMPARE(parts[3], "01;\"0197842\";\"0:16:29.210\";\"V01\";\"" + cp1252(GetText(102217)) +
                           "\";\"" + cp1252(GetText(102201)) + "\"\r");
    QCOMPARE(
        parts[4],
        QByteArray(
            "02;\"0000000\";\"0:00:00.000\";\"??? 13 ???\";\"??? 5 ???\"\"\";\"??? 10 ???\"\r"));
}

void TestOrvelctlBuffer::csvEnglishOnStandardOutput()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "4", "--events", eventFile({{0xD5A0, 0x0000}})}));
    const CtlRun r = ctl({"buffer", "read", "--format", "csv-en"}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.endsWith("\r\n\"" + GetText(102115).toUtf8() + "\",\"" +
                            GetText(102110).toUtf8() + "\",\"" + GetText(102111).toUtf8() +
                            "\",\"" + GetText(102112).toUtf8() + "\",\"" +
                            GetText(102113).toUtf8() + "\",\"" + GetText(102114).toUtf8() +
                            "\"\r\n01,\"0000000\",\"0:00:00.000\",\"??? 13 ???\",\"??? 5 "
                            "???\"\"\",\"??? 10 ???\"\r\n"),
             r.out.constData());
}

// At 600 baud with wire time, the count arrives within the deadline and the
// 20 records do not.
void TestOrvelctlBuffer::readFails()
{
    OrvelSim sim;
    QVERIFY(sim.start(
        {"--panel", "4:1.06:600,N,8,1", "--wire-time", "--events", eventFile(records(20))}));
    const QString out = path(QStringLiteral("failed.txt"));
    const CtlRun r = ctl({"buffer", "read", "--baud", "600", "--timeout", "420", "-o", out}, sim);
    QCOMPARE(r.exitCode, 4);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.errText(),
             foundLine() + QStringLiteral("error: ") + lines(102001) + QLatin1Char('\n'));
    QVERIFY(!QFile::exists(out));
}

void TestOrvelctlBuffer::clear()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "4", "--events", eventFile(records(5))}));
    sim.clearLog();
    CtlRun r = ctl({"buffer", "clear"}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.errText(), foundLine(102011) + lines(102005) + QLatin1Char('\n'));
    QCOMPARE(
        sim.requests().mid(2),
        (QList<QByteArray>{ReadRequestFrame(Slave, 144, 1), WriteRequestFrame(Slave, 288, {5}),
                           ReadRequestFrame(Slave, 144, 1), WriteRequestFrame(Slave, 289, {0})}));
    r = ctl({"buffer", "read"}, sim);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.errText().endsWith(lines(102003) + QLatin1Char('\n')));
}

void TestOrvelctlBuffer::clearEmptyBuffer()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "4"}));
    sim.clearLog();
    const CtlRun r = ctl({"buffer", "clear"}, sim);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(sim.writes(), (QList<QPair<int, int>>{{289, 1}}));
}

void TestOrvelctlBuffer::clearCountNeverFalls()
{
    OrvelSim sim;
    QVERIFY(sim.start({"--panel", "4", "--clear-never-falls", "--events", eventFile(records(3))}));
    const CtlRun r = ctl({"buffer", "clear"}, sim);
    QCOMPARE(r.exitCode, 4);
    QCOMPARE(r.errText(),
             foundLine(102011) + QStringLiteral("error: ") + lines(102004) + QLatin1Char('\n'));
    QCOMPARE(sim.wordsWrittenAt(288), QList<QList<int>>(64, QList<int>{3}));
    QVERIFY(sim.wordsWrittenAt(289).isEmpty());
}

QTEST_GUILESS_MAIN(TestOrvelctlBuffer)
#include "tst_orvelctl_buffer.moc"
