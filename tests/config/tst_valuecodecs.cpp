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

    // The text and parts of a duration; 256 h or more, or below 0, is
    // reported and leaves the parts as they were.
    void timeDecode_data()
    {
        QTest::addColumn<double>("ms");
        QTest::addColumn<bool>("noSeconds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("millis");
        const auto row = [](const char* name, double ms, const char* text, int hours, int millis,
                            bool noSeconds = false) {
            QTest::newRow(name) << ms << noSeconds << QString(text) << hours << millis;
        };
        row("0", 0, "00h00m00s000ms", 0, 0);
        row("day", 86399999, "23h59m59s999ms", 23, 999);
        row("100h", 360000000, "100h00m00s000ms", 100, 0);
        row("example", 3723004, "01h02m03s004ms", 1, 4);
        row("no seconds", 3723004, "01h02m", 1, 4, true);
        row("last hour", 921599999, "255h59m59s999ms", 255, 999);
        row("half to even down", 2.5, "00h00m00s002ms", 0, 2);
        row("half to even up", 3.5, "00h00m00s004ms", 0, 4);
        row("256 h", 921600000, "", 9, 0);
        row("huge", 1e12, "", 9, 0);
        row("negative", -5, "", 9, 0);
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
        p.Hours = 9;
        QCOMPARE(TimeDecode(ms, p, noSeconds), text);
        QCOMPARE(int(p.Hours), hours);
        QCOMPARE(int(p.Milliseconds), millis);
        if (text.isEmpty()) {
            QCOMPARE(ui.messages.size(), 1);
            QCOMPARE(ui.lastText(), ErrorReport(6, "Overflow", "Global.TimeDecode"));
        } else {
            QCOMPARE(double(TimeCode(p)), std::nearbyint(ms));
            QVERIFY(ui.messages.isEmpty());
        }
    }

    // Digits and backspace pass the key filter, any other key becomes 0.
    void filterUint()
    {
        QString passed;
        for (int key : {int('0'), int('7'), int('9'), 8, int('a'), int('/'), int(':'), 13})
            passed += FilterUint(key) == key ? 'y' : FilterUint(key) == 0 ? 'n' : '?';
        QCOMPARE(passed, "yyyynnnn");
    }
};

QTEST_GUILESS_MAIN(TestValueCodecs)
#include "tst_valuecodecs.moc"
