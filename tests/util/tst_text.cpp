#include "util/ByteWord.h"
#include "util/Cp1252.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"
#include "util/RuntimeError.h"

#include <QTest>

using Split = std::tuple<double, int, int>; // value, high part, low part

// Bytes and words, Windows-1252, paths and the file dialog's filter.
class TestText : public QObject
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

    // Windows-1252 both ways; one '?' for each character outside the page,
    // also outside the basic plane. Every byte decodes and encodes back.
    void cp1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("back");
        QTest::newRow("page") << QStringLiteral("Façade € – “ok” Œuvre ÿ")
                              << QByteArray("Fa\xE7"
                                            "ade \x80 \x96 \x93ok\x94 \x8Cuvre \xFF")
                              << true;
        QTest::newRow("CJK") << QStringLiteral("a\u4E2Db") << QByteArray("a?b") << false;
        QTest::newRow("astral") << QString::fromUcs4(U"x\U0001F600y") << QByteArray("x?y") << false;
        QTest::newRow("C1 control") << QStringLiteral("\u0080") << QByteArray("?") << false;
    }
    void cp1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, back);
        QCOMPARE(ToCp1252(text), bytes);
        if (back)
            QCOMPARE(FromCp1252(bytes), text);
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(FromCp1252(all).size(), 256);
        QCOMPARE(ToCp1252(FromCp1252(all)), all);
    }

    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* path, const char* folder, const char* name) {
            QTest::newRow(path) << QString(path) << QString(folder) << QString(name);
        };
        row("C:\\Data\\unit.cfg", "C:\\Data", "unit.cfg");
        row("/home/a/unit.cfg", "/home/a", "unit.cfg");
        row("C:/Data\\sub/x.cfg", "C:/Data\\sub", "x.cfg");
        row("x.cfg", "", "x.cfg");
        row("/x.cfg", "/", "x.cfg");
    }
    void paths()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QCOMPARE(FolderOf(path), folder);
        QCOMPARE(FileNameOf(path), name);
        QCOMPARE(JoinPath(folder, name), path);
    }

    void filterToQt_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* filter, const char* expected) {
            QTest::newRow(filter) << QString(filter) << QString(expected);
        };
        row("Configurations|*.orv|All files|*.*", "Configurations (*.orv);;All files (*.*)");
        row("Text (*.txt)|*.txt", "Text (*.txt)"); // its own parentheses
        row("Exports|*.txt;*.csv", "Exports (*.txt *.csv)");
        row("Text|*.txt|dangling", "Text (*.txt)");
        row("", "");
    }
    void filterToQt()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(FilterToQt(filter), expected);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
