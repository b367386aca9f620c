// The register map: the exchanges of each firmware version in order with
// their pauses, the packing of every field, overflow errors and failures.
#include "link/RegisterMap.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QTest>

#include <functional>

namespace {
LinkOptions fast()
{
    LinkOptions o;
    o.frameDelayMs = 0;
    o.replyTimeoutMs = 100;
    return o;
}

// "R593/12", "W337/12" for each request and "P" for each pause, in order.
class Schedule
{
public:
    Schedule(SimulatedLine& line, PanelLink& link)
    {
        QObject::connect(&link, &PanelLink::FramePaused, &link,
                         [this] { steps << QStringLiteral("P"); });
        QObject::connect(&line, &SimulatedLine::RequestSent, &line, [this](const QByteArray& r) {
            const int address =
                static_cast<std::uint8_t>(r[2]) << 8 | static_cast<std::uint8_t>(r[3]);
            const int count =
                static_cast<std::uint8_t>(r[4]) << 8 | static_cast<std::uint8_t>(r[5]);
            steps << QStringLiteral("%1%2/%3").arg(r[1] == 3 ? 'R' : 'W').arg(address).arg(count);
        });
    }
    QStringList steps;
};

// What a whole transfer announces: its number of blocks, the sections in
// order, and the blocks done.
struct Announced
{
    explicit Announced(PanelLink& link)
    {
        QObject::connect(&link, &PanelLink::TransferBegun, &context, [this](int n) { total = n; });
        QObject::connect(&link, &PanelLink::SectionBegun, &context,
                         [this](ConfigSection s) { sections << int(s); });
        QObject::connect(&link, &PanelLink::BlockDone, &context, [this] { ++done; });
    }
    QObject context; // the connections end with the object
    int total = -1;
    int done = 0;
    QList<int> sections;
};

QStringList split(const QString& text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString readAllSchedule(int v)
{
    QString s =
        QStringLiteral("R593/12 P R609/24 P R641/12 P R657/12 P R673/12 P R689/12 P R705/24 "
                       "P R737/12 P R753/12 ");
    if (v >= 259)
        s += QStringLiteral("R769/12 R785/12 ");
    s += QStringLiteral("P R929/12 P R945/12 ");
    if (v >= 261)
        s += QStringLiteral("R961/12 ");
    s += QStringLiteral("P R1057/14 P R1105/%1 P R1137/%2 P R1154/1 ")
             .arg(v >= 259 ? 10 : 9)
             .arg(v >= 259 ? 6 : 5);
    if (v >= 261)
        s += QStringLiteral("R1115/3 ");
    s += QStringLiteral("P R1172/4");
    return s;
}

QString writeAllSchedule(int v, bool factory)
{
    QString s =
        QStringLiteral("W337/12 P W353/24 P W385/12 P W401/12 P W417/12 P W433/12 P W449/24 "
                       "P W481/12 P W497/12 ");
    if (v >= 259)
        s += QStringLiteral("W513/12 W529/12 ");
    s += QStringLiteral("P W849/12 P W865/12 ");
    if (v >= 261)
        s += QStringLiteral("P W881/12 ");
    s += QStringLiteral("P W1025/%1 P W1089/%2 P W1121/%3 P W1153/1 ")
             .arg(v >= 260 ? 14 : 13)
             .arg(v >= 259 ? 10 : 9)
             .arg(v >= 259 ? 6 : 5);
    if (v >= 262)
        s += QStringLiteral("W1099/3 ");
    if (factory)
        s += QStringLiteral("P W1171/3");
    return s;
}

QList<std::int16_t> wordsOf(const QByteArray& request)
{
    QList<std::int16_t> words;
    for (int i = 7; i + 1 < request.size() - 2; i += 2)
        words << static_cast<std::int16_t>(static_cast<std::uint8_t>(request[i]) << 8 |
                                           static_cast<std::uint8_t>(request[i + 1]));
    return words;
}

// Names the first difference between two records (for a readable failure).
QString firstDifference(const ConfigClass& a, const ConfigClass& b)
{
    const QByteArray x = a.ToFileBytes();
    const QByteArray y = b.ToFileBytes();
    for (qsizetype i = 0; i < qMin(x.size(), y.size()); ++i) {
        if (x[i] != y[i])
            return QStringLiteral("file byte %1: %2 vs %3")
                .arg(i)
                .arg(int(uchar(x[i])))
                .arg(int(uchar(y[i])));
    }
    return x.size() == y.size() ? QString() : QStringLiteral("sizes differ");
}

QByteArray requestAt(const SimulatedLine& line, int address)
{
    for (const QByteArray& r : line.requests()) {
        if ((static_cast<std::uint8_t>(r[2]) << 8 | static_cast<std::uint8_t>(r[3])) == address)
            return r;
    }
    return {};
}

ConfigClass sample()
{
    ConfigClass c;
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInSecu(ch, static_cast<std::uint8_t>(ch));
        c.SetInTempo(ch, ch * 100003);
        c.SetInSequence(ch, static_cast<std::uint8_t>(ch + 20));
        c.SetInDetect(ch, static_cast<std::uint8_t>(ch % 3));
        c.SetInRelance(ch, static_cast<std::uint8_t>(ch % 2));
        c.SetInBlocage(ch, static_cast<std::uint8_t>(200 + ch));
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(ch, k, static_cast<std::uint8_t>((ch + k * 3) % 13));
        c.SetInSynth(ch, static_cast<std::uint8_t>(ch * 7));
        c.SetInTypeKL(ch, static_cast<std::uint8_t>(ch * 11));
        c.SetInDisturb(ch, static_cast<std::uint8_t>(ch * 13));
        c.SetInRepBlock(ch, static_cast<std::uint8_t>(255 - ch));
        c.SetOutSecu(ch, static_cast<std::uint8_t>(ch + 1));
        c.SetOutPilot(ch, static_cast<std::uint8_t>(ch + 2));
        c.SetOutMode(ch, static_cast<std::uint8_t>(ch % 4));
    }
    for (int k = 0; k < 33; ++k)
        c.SetGenParam(k, static_cast<std::uint8_t>(k * 5 + 1));
    c.SetGenParam(23, 9);
    c.SetGenParam(30, 3);
    c.SetGenParam(31, 59);
    c.SetGenTempoRelance(123456789);
    c.SetBrightMin(-300);
    c.SetSupplyType(2);
    return c;
}
} // namespace

class TestRegisterMap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void schedules_data()
    {
        QTest::addColumn<int>("version");
        for (int v = 258; v <= 262; ++v)
            QTest::newRow(qPrintable(QStringLiteral("1.0%1").arg(v - 256))) << v;
    }

    void schedules()
    {
        QFETCH(int, version);
        SimulatedLine line;
        line.addPanel(1, version);
        PanelLink link(line, fast());
        Schedule schedule(line, link);
        ConfigClass c;
        // Each whole transfer announces as many blocks as it sends requests,
        // one block done after each of them, and its sections in order.
        const auto transfer = [&](const std::function<bool()>& run, const QString& expected,
                                  const QList<int>& sections) {
            schedule.steps.clear();
            line.clearLog();
            Announced announced(link);
            QVERIFY(run());
            QCOMPARE(schedule.steps, split(expected));
            QCOMPARE(announced.total, int(line.requests().size()));
            QCOMPARE(announced.done, announced.total);
            QCOMPARE(announced.sections, sections);
        };
        transfer([&] { return ReadAll(link, c, 1, version); }, readAllSchedule(version),
                 {1, 2, 3, 4});
        transfer([&] { return WriteAll(link, c, 1, true, version); },
                 writeAllSchedule(version, true), {1, 2, 3, 4});
        // Without the factory section there is no trailing pause either.
        transfer([&] { return WriteAll(link, c, 1, false, version); },
                 writeAllSchedule(version, false), {1, 2, 3});
    }

    void twentyExchangesAt106()
    {
        SimulatedLine line;
        line.addPanel(1, 262);
        PanelLink link(line, fast());
        ConfigClass c;
        QVERIFY(ReadAll(link, c, 1, 262));
        QCOMPARE(line.requests().size(), 20);
        line.clearLog();
        QVERIFY(WriteAll(link, c, 1, true, 262));
        QCOMPARE(line.requests().size(), 20);
    }

    void pausesLastFrameDelay()
    {
        SimulatedLine line;
        line.addPanel(1, 262);
        LinkOptions o = fast();
        o.frameDelayMs = 100;
        PanelLink link(line, o);
        ConfigClass c;
        QElapsedTimer t;
        t.start();
        QVERIFY(ReadGeneral(link, c, 1, 262)); // 3 pauses inside the section
        QVERIFY(t.elapsed() >= 300);
        const QList<SimulatedLine::Exchange> x = line.exchanges();
        QCOMPARE(x.size(), 5);
        QVERIFY(x[1].atMs - x[0].atMs >= 100);
        QVERIFY(x[4].atMs - x[3].atMs < 100); // G-R5 follows G-R4 at once
    }

    void roundTripThroughPanel_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("1.06") << 262;
    }

    void roundTripThroughPanel()
    {
        QFETCH(int, version);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(9, version);
        panel.setReadRegister(1175, 4); // CommonType, fixed by the hardware
        PanelLink link(line, fast());
        const ConfigClass written = sample();
        QVERIFY(WriteAll(link, written, 9, true, version));
        ConfigClass expected = written;
        expected.SetCommonType(4);
        expected.SetGenParam(13, 0); // no register carries GenParam(13)
        // The panel's own view of what arrived (its independent layout).
        ConfigClass onPanel = panel.config();
        onPanel.SetModuleNo(expected.ModuleNo());
        QVERIFY2(onPanel == expected, qPrintable(firstDifference(onPanel, expected)));

        ConfigClass read;
        QVERIFY(ReadAll(link, read, 9, version));
        QVERIFY2(read == expected, qPrintable(firstDifference(read, expected)));
    }

    void olderFirmwareLeavesFieldsUntouched()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 258);
        panel.loadConfig(sample());
        PanelLink link(line, fast());
        ConfigClass c;
        c.SetInDisturb(3, 77);
        c.SetInRepBlock(3, 78);
        c.SetGenParam(21, 79);
        c.SetGenParam(27, 80);
        c.SetGenParam(29, 81);
        c.SetGenParam(30, 82);
        c.SetGenParam(31, 83);
        c.SetOutMode(1, 84);
        QVERIFY(ReadInputs(link, c, 1, 258));
        QCOMPARE(line.requests().size(), 9);
        QVERIFY(ReadOutputs(link, c, 1, 258));
        QVERIFY(ReadGeneral(link, c, 1, 258));
        QCOMPARE(c.InSecu(5), sample().InSecu(5));
        QCOMPARE(c.GenParam(20), sample().GenParam(20));
        QCOMPARE(c.InDisturb(3), std::uint8_t(77));
        QCOMPARE(c.InRepBlock(3), std::uint8_t(78));
        QCOMPARE(c.GenParam(21), std::uint8_t(79));
        QCOMPARE(c.GenParam(27), std::uint8_t(80));
        QCOMPARE(c.GenParam(29), std::uint8_t(81));
        QCOMPARE(c.GenParam(30), std::uint8_t(82));
        QCOMPARE(c.GenParam(31), std::uint8_t(83));
        QCOMPARE(c.OutMode(1), std::uint8_t(84));
    }

    void version104WritesGenParam32()
    {
        SimulatedLine line;
        line.addPanel(1, 260);
        PanelLink link(line, fast());
        ConfigClass c;
        c.SetGenParam(12, 12);
        c.SetGenParam(32, 32);
        QVERIFY(WriteGeneral(link, c, 1, 260));
        const QList<std::int16_t> words = wordsOf(requestAt(line, 1025));
        QCOMPARE(words.size(), 14);
        QCOMPARE(words[12], std::int16_t(12));
        QCOMPARE(words[13], std::int16_t(32));
        QVERIFY(requestAt(line, 1099).isEmpty());
    }

    void inTempoPacking_data()
    {
        QTest::addColumn<int>("tempo");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("readBack");
        QTest::newRow("16 777 215") << 16777215 << 255 << -1 << 16777215;
        QTest::newRow("16 777 216") << 16777216 << 256 << 0 << 0;
        QTest::newRow("65 536") << 65536 << 1 << 0 << 65536;
        QTest::newRow("40 000") << 40000 << 0 << -25536 << 40000;
    }

    void inTempoPacking()
    {
        QFETCH(int, tempo);
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(int, readBack);
        SimulatedLine line;
        line.addPanel(1, 262);
        PanelLink link(line, fast());
        ConfigClass c;
        c.SetInTempo(7, tempo);
        QVERIFY(WriteInputs(link, c, 1, 262));
        const QList<std::int16_t> words = wordsOf(requestAt(line, 353));
        QCOMPARE(words.size(), 24);
        QCOMPARE(words[12], std::int16_t(high));
        QCOMPARE(words[13], std::int16_t(low));
        ConfigClass r;
        QVERIFY(ReadInputs(link, r, 1, 262));
        QCOMPARE(r.InTempo(7), readBack);
    }

    void inRedirPacking()
    {
        SimulatedLine line;
        line.addPanel(1, 262);
        PanelLink link(line, fast());
        ConfigClass c;
        c.SetInRedir(12, 1, 200);
        c.SetInRedir(12, 2, 100);
        c.SetInRedir(12, 3, 1);
        c.SetInRedir(12, 4, 2);
        QVERIFY(WriteInputs(link, c, 1, 262));
        const QList<std::int16_t> words = wordsOf(requestAt(line, 449));
        QCOMPARE(words[22], std::int16_t(-14236));
        QCOMPARE(words[23], std::int16_t(258));
        ConfigClass r;
        QVERIFY(ReadInputs(link, r, 1, 262));
        for (int k = 1; k <= 4; ++k)
            QCOMPARE(r.InRedir(12, k), c.InRedir(12, k));
    }

    void generalDurationPacking()
    {
        SimulatedLine line;
        line.addPanel(1, 262);
        PanelLink link(line, fast());
        ConfigClass c;
        c.SetGenParam(29, 7);
        c.SetGenParam(30, 2);
        c.SetGenParam(31, 0);
        c.SetGenTempoRelance(-2);
        QVERIFY(WriteGeneral(link, c, 1, 262));
        QCOMPARE(wordsOf(requestAt(line, 1099)), (QList<std::int16_t>{7, 21, -1792}));
        QCOMPARE(wordsOf(requestAt(line, 1089)).mid(0, 2), (QList<std::int16_t>{-1, -2}));
        ConfigClass r;
        r.SetGenParam(31, 44);
        QVERIFY(ReadGeneral(link, r, 1, 262));
        QCOMPARE(r.GenParam(29), std::uint8_t(7));
        QCOMPARE(r.GenParam(30), std::uint8_t(2));
        QCOMPARE(r.GenParam(31), std::uint8_t(0));
        QCOMPARE(r.GenTempoRelance(), -2);
    }

    void minutesRoundHalvesToEven_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("minutes");
        QTest::newRow("6 000") << 6000 << 0 << 0;
        QTest::newRow("18 000") << 18000 << 0 << 2;
        QTest::newRow("30 000") << 30000 << 0 << 2;
        QTest::newRow("42 000") << 42000 << 0 << 4;
        QTest::newRow("17 999") << 17999 << 0 << 1;
        QTest::newRow("6 001") << 6001 << 0 << 1;
        QTest::newRow("1 440 000") << 1440000 << 2 << 0;
        QTest::newRow("255 h 59 min") << 184308000 << 255 << 59;
    }

    void minutesRoundHalvesToEven()
    {
        QFETCH(int, ticks);
        QFETCH(int, hours);
        QFETCH(int, minutes);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 261);
        panel.setReadRegister(1116, static_cast<std::int16_t>(ticks >> 16));
        panel.setReadRegister(1117, static_cast<std::int16_t>(ticks & 0xFFFF));
        PanelLink link(line, fast());
        ConfigClass r;
        QVERIFY(ReadGeneral(link, r, 1, 261));
        QCOMPARE(int(r.GenParam(30)), hours);
        QCOMPARE(int(r.GenParam(31)), minutes);
    }

    void factoryPacking()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 262);
        panel.setReadRegister(1175, 3);
        PanelLink link(line, fast());
        ConfigClass c;
        c.SetBrightMin(-5);
        c.SetSupplyType(1);
        c.SetCommonType(2);
        QVERIFY(WriteFactory(link, c, 1, 262));
        QCOMPARE(wordsOf(requestAt(line, 1171)), (QList<std::int16_t>{-5, 0, 1}));
        ConfigClass r;
        QVERIFY(ReadFactory(link, r, 1, 262));
        QCOMPARE(r.BrightMin(), std::int16_t(-5));
        QCOMPARE(r.SupplyType(), std::uint8_t(1));
        QCOMPARE(r.CommonType(), std::uint8_t(3));
    }

    void overflowErrors_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("SupplyType 256") << 1174 << 256 << "ReadFactory";
        QTest::newRow("CommonType -1") << 1175 << -1 << "ReadFactory";
        QTest::newRow("GenParam 29 300") << 1115 << 300 << "ReadGeneral";
        QTest::newRow("GenParam 29 -2") << 1115 << -2 << "ReadGeneral";
        QTest::newRow("256 hours") << 1116 << 0x0AFC << "ReadGeneral";
        QTest::newRow("negative ticks") << 1116 << -1 << "ReadGeneral";
    }

    void overflowErrors()
    {
        QFETCH(int, address);
        QFETCH(int, value);
        QFETCH(QString, procedure);
        RecordingUi ui;
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 262);
        panel.setReadRegister(address, static_cast<std::int16_t>(value));
        if (address == 1116)
            panel.setReadRegister(1117, -32768); // 256 h = 184 320 000 ticks
        PanelLink link(line, fast());
        ConfigClass r;
        r.SetSupplyType(9);
        r.SetGenParam(30, 9);
        const bool ok = procedure == QLatin1String("ReadFactory") ? ReadFactory(link, r, 1, 262)
                                                                  : ReadGeneral(link, r, 1, 262);
        QVERIFY(!ok);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(
            ui.messages[0].text,
            QStringLiteral("Error Nr 6 : Overflow\r\n\r\nModule : ConfigClass\r\nFunction : ") +
                procedure);
        QCOMPARE(r.SupplyType(), std::uint8_t(9));
        QCOMPARE(r.GenParam(30), std::uint8_t(9));
        // ReadAll stops there too.
        ui.clear();
        QVERIFY(!ReadAll(link, r, 1, 262));
        QCOMPARE(ui.messages.size(), 1);
    }

    void failureStopsAtTheFailingBlock_data()
    {
        QTest::addColumn<int>("failAt"); // 1-based request number
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("section"); // the last one announced
        QTest::newRow("read, first") << 1 << false << 1;
        QTest::newRow("read, InRedir") << 7 << false << 1;
        QTest::newRow("read, outputs") << 13 << false << 2;
        QTest::newRow("read, factory") << 20 << false << 4;
        QTest::newRow("write, outputs first") << 12 << true << 2;
        QTest::newRow("write, G-W5") << 19 << true << 3;
        QTest::newRow("write, factory") << 20 << true << 4;
    }

    void failureStopsAtTheFailingBlock()
    {
        QFETCH(int, failAt);
        QFETCH(bool, write);
        QFETCH(int, section);
        RecordingUi ui;
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 262);
        panel.loadConfig(sample());
        int sent = 0;
        connect(&line, &SimulatedLine::RequestSent, &line, [&] {
            if (++sent == failAt)
                panel.setFault(SimulatedPanel::Fault::NoReply);
        });
        PanelLink link(line, fast());
        Announced announced(link);
        ConfigClass c;
        QVERIFY(write ? !WriteAll(link, c, 1, true, 262) : !ReadAll(link, c, 1, 262));
        QCOMPARE(line.requests().size(), failAt);
        QCOMPARE(announced.done, failAt - 1);
        QCOMPARE(announced.sections.last(), section);
        QVERIFY(ui.messages.isEmpty());
        if (!write && failAt == 7) {
            // Blocks read before the failure keep their new values.
            QCOMPARE(c.InBlocage(4), sample().InBlocage(4));
            QCOMPARE(c.InRedir(4, 1), std::uint8_t(0));
        }
    }

    // A write that fails or is stopped says whether any block reached the
    // panel; a stop lets the exchange in progress finish and ends before
    // the next block.
    void writeOutcome_data()
    {
        QTest::addColumn<int>("failAt");    // 1-based request number; 0: none
        QTest::addColumn<int>("stopAfter"); // stop asked once this many were sent; 0: never
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("tag");
        using O = WriteOutcome;
        QTest::newRow("all written") << 0 << 0 << int(O::Written) << 20 << 10105;
        QTest::newRow("first block fails") << 1 << 0 << int(O::NotWritten) << 1 << 10105;
        QTest::newRow("outputs fail") << 13 << 0 << int(O::PartlyWritten) << 13 << 10122;
        QTest::newRow("stop during the first") << 0 << 1 << int(O::PartlyWritten) << 1 << 10122;
        QTest::newRow("stop before the outputs") << 0 << 12 << int(O::PartlyWritten) << 12 << 10122;
        QTest::newRow("stop during the last") << 0 << 20 << int(O::Written) << 20 << 10105;
    }

    void writeOutcome()
    {
        QFETCH(int, failAt);
        QFETCH(int, stopAfter);
        QFETCH(int, outcome);
        QFETCH(int, requests);
        QFETCH(int, tag);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 262);
        int sent = 0;
        connect(&line, &SimulatedLine::RequestSent, &line, [&] {
            if (++sent == failAt)
                panel.setFault(SimulatedPanel::Fault::NoReply);
        });
        PanelLink link(line, fast());
        link.SetStopRequest([&] { return stopAfter > 0 && sent >= stopAfter; });
        const WriteOutcome result = WriteConfiguration(link, sample(), 1, true, 262);
        QCOMPARE(int(result), outcome);
        QCOMPARE(line.requests().size(), requests);
        QCOMPARE(WriteFailureTag(result), tag);
    }
};

QTEST_GUILESS_MAIN(TestRegisterMap)
#include "tst_registermap.moc"
