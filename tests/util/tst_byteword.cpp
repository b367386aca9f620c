#include "util/ByteWord.h"
#include "util/RuntimeError.h"

#include <QTest>

using Split = std::tuple<double, int, int>; // value, high part, low part

class TestByteWord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // HiByte and LoByte widen a negative word with its sign; MakeWord joins
    // them back into the word.
    void bytes_data()
    {
        QTest::addColumn<Split>("split");
        QTest::newRow("0x1234") << Split{0x1234, 0x12, 0x34};
        QTest::newRow("-1") << Split{-1, 255, 255};
        QTest::newRow("-256") << Split{-256, 255, 0};
        QTest::newRow("only bits 8..15") << Split{0x12345678, 0x56, 0x78};
        QTest::newRow("-32768") << Split{-32768, 0x80, 0};
    }
    void bytes()
    {
        QFETCH(Split, split);
        const auto [value, hi, lo] = split;
        QCOMPARE(int(HiByte(std::int32_t(value))), hi);
        QCOMPARE(int(LoByte(std::int32_t(value))), lo);
        QCOMPARE(int(MakeWord(std::uint8_t(lo), std::uint8_t(hi))),
                 int(std::int16_t(std::int32_t(value))));
    }

    // Signed words of a whole number 0..2^32-1; anything else overflows
    // (high part -2 here).
    void words_data()
    {
        QTest::addColumn<Split>("split");
        QTest::newRow("16777215") << Split{16777215, 255, -1};
        QTest::newRow("16777216") << Split{16777216, 256, 0};
        QTest::newRow("max") << Split{4294967295.0, -1, -1};
        QTest::newRow("0x8000") << Split{32768, 0, -32768};
        QTest::newRow("negative") << Split{-1, -2, 0};
        QTest::newRow("2^32") << Split{4294967296.0, -2, 0};
        QTest::newRow("fraction") << Split{1.5, -2, 0};
    }
    void words()
    {
        QFETCH(Split, split);
        const auto [value, hi, lo] = split;
        try {
            QCOMPARE(int(HiWord(value)), hi);
            QCOMPARE(int(LoWord(value)), lo);
        } catch (const RuntimeError& e) {
            QCOMPARE(hi, -2);
            QCOMPARE(e.number(), ErrNo::Overflow);
        }
    }
};

QTEST_GUILESS_MAIN(TestByteWord)
#include "tst_byteword.moc"
