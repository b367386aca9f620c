#include "config/ValueCodecs.h"
#include "ErrorReport.h"
#include "RecordingUi.h"

#include <QTest>

class TestValueCodecs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void words_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::newRow("-1") << -1 << 65535;
        QTest::newRow("5") << 5 << 5;
        QTest::newRow("-32768") << -32768 << 32768;
        QTest::newRow("32767") << 32767 << 32767;
        QTest::newRow("-25536") << -25536 << 40000;
    }
    void words()
    {
        QFETCH(int, word);
        QFETCH(int, value);
        QCOMPARE(Unsigned(std::int16_t(word)), value);
        QCOMPARE(int(Signed(value)), word);
        // Signed wraps any 32-bit value, of either sign, into a word.
        QCOMPARE(int(Signed(value + 3 * 65536)), word);
        QCOMPARE(int(Signed(value - 65536)), word);
        QCOMPARE(int(Signed(INT32_MIN)), 0);
    }

    void timeDecode_data()
    {
        QTest::addColumn<double>("ms");
        QTest::addColumn<bool>("noSeconds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("millis");
        QTest::newRow("0") << 0.0 << false << "00h00m00s000ms" << 0 << 0;
        QTest::newRow("day") << 86399999.0 << false << "23h59m59s999ms" << 23 << 999;
        QTest::newRow("100h") << 360000000.0 << false << "100h00m00s000ms" << 100 << 0;
        QTest::newRow("example") << 3723004.0 << false << "01h02m03s004ms" << 1 << 4;
        QTest::newRow("no seconds") << 3723004.0 << true << "01h02m" << 1 << 4;
        QTest::newRow("last hour") << 921599999.0 << false << "255h59m59s999ms" << 255 << 999;
        QTest::newRow("half to even down") << 2.5 << false << "00h00m00s002ms" << 0 << 2;
        QTest::newRow("half to even up") << 3.5 << false << "00h00m00s004ms" << 0 << 4;
    }
    void timeDecode()
    {
        QFETCH(double, ms);
        QFETCH(bool, noSeconds);
        QFETCH(QString, text);
        QFETCH(int, hours);
        QFETCH(int, millis);
        RecordingUi ui;
        TimeParts p;
        QCOMPARE(TimeDecode(ms, p, noSeconds), text);
        QCOMPARE(int(p.Hours), hours);
        QCOMPARE(int(p.Milliseconds), millis);
        QCOMPARE(double(TimeCode(p)), std::nearbyint(ms));
        QVERIFY(ui.messages.isEmpty());
    }

    void timeDecodeOverflow_data()
    {
        QTest::addColumn<double>("ms");
        QTest::newRow("256 h") << 921600000.0;
        QTest::newRow("huge") << 1e12;
        QTest::newRow("negative") << -5.0;
    }
    void timeDecodeOverflow()
    {
        QFETCH(double, ms);
        RecordingUi ui;
        TimeParts p;
        p.Hours = 9;
        QCOMPARE(TimeDecode(ms, p), QString());
        QCOMPARE(int(p.Hours), 9);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, ErrorReport(6, "Overflow", "Global.TimeDecode"));
    }

    void filterUint()
    {
        // Digits and backspace pass, everything else becomes 0.
        for (int key : {int('0'), int('7'), int('9'), 8})
            QCOMPARE(FilterUint(key), key);
        for (int key : {int('a'), int('/'), int(':'), 13})
            QCOMPARE(FilterUint(key), 0);
    }

    void guid()
    {
        const QString a = GetGuid();
        QVERIFY(a != GetGuid());
        QVERIFY(a.size() >= 24 && a.size() <= 32); // the one caller takes 24 characters
        for (QChar c : a)
            QVERIFY(c.isDigit() || (c >= QLatin1Char('A') && c <= QLatin1Char('F')));
    }
};

QTEST_GUILESS_MAIN(TestValueCodecs)
#include "tst_valuecodecs.moc"
