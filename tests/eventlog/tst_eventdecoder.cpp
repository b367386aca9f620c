#include "DataFileFixture.h"
#include "eventlog/EventDecoder.h"
#include "RecordingUi.h"

#include <QSet>
#include <QTest>

class TestEventDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void decoderTextsAreDistinct();
    void count2Time_data();
    void count2Time();
    void typeVoie_data();
    void typeVoie();
    void typeParam_data();
    void typeParam();
    void typeAff_data();
    void typeAff();
    void ticks_data();
    void ticks();
    void decodeEvent_data();
    void decodeEvent();
    void rowNumberKeepsAllDigits();

private:
    RecordingUi m_ui;
};

void TestEventDecoder::initTestCase()
{
    QVERIFY(OpenBuiltDataFile());
}

// The decoder tests compare with the data file's texts by tag; they can only
// tell one tag from its neighbour when every text of the lists differs.
void TestEventDecoder::decoderTextsAreDistinct()
{
    QSet<QString> params;
    for (int tag = 102215; tag <= 102230; ++tag) {
        const QString text = GetText(tag);
        QVERIFY2(!text.startsWith(QLatin1Char('#')), qPrintable(text));
        params.insert(text);
    }
    QCOMPARE(params.size(), 16);
    QSet<QString> displays;
    for (int tag = 102201; tag <= 102214; ++tag) {
        const QString text = GetText(tag);
        QVERIFY2(!text.startsWith(QLatin1Char('#')), qPrintable(text));
        displays.insert(text);
    }
    QCOMPARE(displays.size(), 14);
}

void TestEventDecoder::count2Time_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "0:00:00.000";
    QTest::newRow("one tick") << 1 << "0:00:00.005";
    QTest::newRow("1234") << 1234 << "0:00:06.170";
    QTest::newRow("59.995 s is not rounded up") << 11999 << "0:00:59.995";
    QTest::newRow("one minute") << 12000 << "0:01:00.000";
    QTest::newRow("worked example") << 197842 << "0:16:29.210";
    QTest::newRow("just under an hour") << 719999 << "0:59:59.995";
    QTest::newRow("one hour") << 720000 << "1:00:00.000";
    QTest::newRow("largest record") << 1048575 << "1:27:22.875";
    QTest::newRow("hours without leading zeros") << 7200000 << "10:00:00.000";
    QTest::newRow("largest 32-bit count") << 2147483647 << "2982:36:58.235";
    QTest::newRow("negative") << -1 << "-0:00:00.005";
}

void TestEventDecoder::count2Time()
{
    QFETCH(int, ticks);
    QFETCH(QString, text);
    QCOMPARE(Count2Time(ticks), text);
}

void TestEventDecoder::typeVoie_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "??? 0 ???";
    QTest::newRow("1") << 1 << "V01";
    QTest::newRow("9") << 9 << "V09";
    QTest::newRow("10") << 10 << "V10";
    QTest::newRow("12") << 12 << "V12";
    QTest::newRow("13") << 13 << "??? 13 ???";
    QTest::newRow("14") << 14 << "??? 14 ???";
    QTest::newRow("15") << 15 << "ACK";
}

void TestEventDecoder::typeVoie()
{
    QFETCH(int, v);
    QFETCH(QString, text);
    QCOMPARE(TypeVoie(std::int16_t(v)), text);
}

void TestEventDecoder::typeParam_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("p");
    QTest::addColumn<QString>("text");
    QTest::newRow("input 1, code 2") << 1 << 2 << GetText(102217);
    QTest::newRow("input 12, code 15") << 12 << 15 << GetText(102230);
    QTest::newRow("ack, code 0") << 15 << 0 << GetText(102215);
    QTest::newRow("ack, code 9") << 15 << 9 << GetText(102224);
    QTest::newRow("unknown 0") << 0 << 3 << "??? 3 ???\"";
    QTest::newRow("unknown 13") << 13 << 5 << "??? 5 ???\"";
    QTest::newRow("unknown 14") << 14 << 0 << "??? 0 ???\"";
}

void TestEventDecoder::typeParam()
{
    QFETCH(int, v);
    QFETCH(int, p);
    QFETCH(QString, text);
    QCOMPARE(TypeParam(std::int16_t(v), std::int16_t(p)), text);
}

void TestEventDecoder::typeAff_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("a");
    QTest::addColumn<QString>("text");
    QTest::newRow("input 1, code 0") << 1 << 0 << GetText(102201);
    QTest::newRow("input 7, code 5") << 7 << 5 << GetText(102206);
    QTest::newRow("ack, code 0") << 15 << 0 << GetText(102207);
    QTest::newRow("ack, code 7") << 15 << 7 << GetText(102214);
    QTest::newRow("unknown 13") << 13 << 10 << "??? 10 ???";
    QTest::newRow("unknown 0") << 0 << 0 << "??? 0 ???";
}

void TestEventDecoder::typeAff()
{
    QFETCH(int, v);
    QFETCH(int, a);
    QFETCH(QString, text);
    QCOMPARE(TypeAff(std::int16_t(v), std::int16_t(a)), text);
}

void TestEventDecoder::ticks_data()
{
    QTest::addColumn<int>("w0");
    QTest::addColumn<int>("w1");
    QTest::addColumn<int>("ticks");
    QTest::newRow("worked example") << 0x1203 << 0x04D2 << 197842;
    QTest::newRow("W1 taken unsigned") << 0x1200 << 0xFFFF << 65535;
    QTest::newRow("20 bits") << 0x120F << 0xFFFF << 1048575;
    QTest::newRow("codes do not leak in") << 0xFFF0 << 0x0001 << 1;
}

void TestEventDecoder::ticks()
{
    QFETCH(int, w0);
    QFETCH(int, w1);
    QFETCH(int, ticks);
    QCOMPARE(EventTicks(std::int16_t(w0), std::int16_t(w1)), ticks);
}

void TestEventDecoder::decodeEvent_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("w0");
    QTest::addColumn<int>("w1");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("worked example")
        << 1 << 0x1203 << 0x04D2
        << QStringList{"01", "0197842", "0:16:29.210", "V01", GetText(102217), GetText(102201)};
    QTest::newRow("acknowledgment")
        << 2 << 0xF000 << 0x0000
        << QStringList{"02", "0000000", "0:00:00.000", "ACK", GetText(102215), GetText(102207)};
    QTest::newRow("unknown channel")
        << 64 << 0xD5A0 << 0x0000
        << QStringList{"64", "0000000", "0:00:00.000", "??? 13 ???", "??? 5 ???\"", "??? 10 ???"};
    QTest::newRow("largest time") << 9 << 0xC34F << 0xFFFF
                                  << QStringList{"09",  "1048575",       "1:27:22.875",
                                                 "V12", GetText(102218), GetText(102205)};
}

void TestEventDecoder::decodeEvent()
{
    QFETCH(int, position);
    QFETCH(int, w0);
    QFETCH(int, w1);
    QFETCH(QStringList, cells);
    const EventRow row = DecodeEvent(position, std::int16_t(w0), std::int16_t(w1));
    QCOMPARE(QStringList(row.begin(), row.end()), cells);
    QVERIFY(m_ui.messages.isEmpty());
}

void TestEventDecoder::rowNumberKeepsAllDigits()
{
    QCOMPARE(DecodeEvent(100, 0x1000, 0)[0], QStringLiteral("100"));
}

QTEST_GUILESS_MAIN(TestEventDecoder)
#include "tst_eventdecoder.moc"
