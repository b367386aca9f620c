#include "util/ByteWord.h"
#include "util/RuntimeError.h"

#include <QTest>

class TestByteWord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytes_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("hi");
        QTest::addColumn<int>("lo");
        QTest::newRow("0x1234") << 0x1234 << 0x12 << 0x34;
        QTest::newRow("-1 widened") << -1 << 255 << 255;
        QTest::newRow("-256") << -256 << 255 << 0;
        QTest::newRow("only bits 8..15") << 0x12345678 << 0x56 << 0x78;
        QTest::newRow("-32768") << -32768 << 0x80 << 0;
    }
    void bytes()
    {
        QFETCH(int, value);
        QFETCH(int, hi);
        QFETCH(int, lo);
        QCOMPARE(int(HiByte(value)), hi);
        QCOMPARE(int(LoByte(value)), lo);
        QCOMPARE(int(MakeWord(std::uint8_t(lo), std::uint8_t(hi))), int(std::int16_t(value)));
    }

    // Words of a whole number 0..2^32-1; anything else overflows.
    void words_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("hi"); // -2: overflow
        QTest::addColumn<int>("lo");
        QTest::newRow("16777215") << 16777215.0 << 255 << -1;
        QTest::newRow("16777216") << 16777216.0 << 256 << 0;
        QTest::newRow("max") << 4294967295.0 << -1 << -1;
        QTest::newRow("0x8000") << 32768.0 << 0 << -32768;
        QTest::newRow("negative") << -1.0 << -2 << 0;
        QTest::newRow("2^32") << 4294967296.0 << -2 << 0;
        QTest::newRow("fraction") << 1.5 << -2 << 0;
    }
    void words()
    {
        QFETCH(double, value);
        QFETCH(int, hi);
        QFETCH(int, lo);
        try {
            QCOMPARE(int(HiWord(value)), hi);
            QCOMPARE(int(LoWord(value)), lo);
        } catch (const RuntimeError& e) {
            QCOMPARE(hi, -2);
            QCOMPARE(e.number(), ErrNo::Overflow);
        }
    }

    void hexText()
    {
        const QStringList texts{HexText(0), HexText(255), HexText(0x0ABC), HexText(-1)};
        QCOMPARE(texts, (QStringList{"0", "FF", "ABC", "FFFFFFFF"}));
    }
};

QTEST_GUILESS_MAIN(TestByteWord)
#include "tst_byteword.moc"
