#include "util/Cp1252.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"

#include <QTest>

// Windows-1252, paths and the file dialog's filter.
class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
