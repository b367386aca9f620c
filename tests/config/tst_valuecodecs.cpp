#include "config/ValueCodecs.h"
#include "RecordingUi.h"

#include <QTest>

class TestValueCodecs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void words()
    {
        QCOMPARE(Unsigned(-1), 65535);
        QCOMPARE(Unsigned(5), 5);
        QCOMPARE(Unsigned(-32768), 32768);
        QCOMPARE(Unsigned(32767), 32767);
        QCOMPARE(int(Signed(40000)), -25536);
        QCOMPARE(int(Signed(65535)), -1);
        QCOMPARE(int(Signed(5)), 5);
        QCOMPARE(int(Signed(32768)), -32768);
        QCOMPARE(int(Signed(-1)), -1);
        QCOMPARE(int(Signed(65536 + 7)), 7);
        QCOMPARE(int(Signed(-40000)), 25536);
        QCOMPARE(int(Signed(INT32_MIN)), 0);
    }

    void timeCode()
    {
        TimeParts p;
        p.Hours = 1;
        p.Minutes = 2;
        p.Seconds = 3;
        p.Milliseconds = 4;
        QCOMPARE(TimeCode(p), 3723004);
        p.Hours = 255;
        p.Minutes = 59;
        p.Seconds = 59;
        p.Milliseconds = 999;
        QCOMPARE(TimeCode(p), 921599999);
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
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral(
                     "Error Nr 6 : Overflow\r\n\r\nModule : Global\r\nFunction : TimeDecode"));
    }

    void filterUint()
    {
        QCOMPARE(FilterUint('a'), 0);
        QCOMPARE(FilterUint('7'), int('7'));
        QCOMPARE(FilterUint('0'), 48);
        QCOMPARE(FilterUint('9'), 57);
        QCOMPARE(FilterUint(8), 8);
        QCOMPARE(FilterUint(13), 0);
        QCOMPARE(FilterUint('/'), 0);
        QCOMPARE(FilterUint(':'), 0);
    }

    void guid()
    {
        const QString a = GetGuid();
        const QString b = GetGuid();
        QVERIFY(a != b);
        QVERIFY(a.size() >= 24); // the one caller takes 24 characters
        QVERIFY(a.size() <= 32);
        for (QChar c : a)
            QVERIFY(c.isDigit() || (c >= QLatin1Char('A') && c <= QLatin1Char('F')));
    }
};

QTEST_GUILESS_MAIN(TestValueCodecs)
#include "tst_valuecodecs.moc"
