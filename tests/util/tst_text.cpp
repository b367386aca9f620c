#include "RecordingUi.h"
#include "util/Cp1252.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"
#include "util/TextFunctions.h"

#include <QTest>

// Windows-1252, paths, text helpers and the file dialog's filter and result forms.
class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cp1252RoundTrip()
    {
        const QString text = QStringLiteral("Façade € – “ok” Œuvre ÿ");
        const QByteArray bytes = ToCp1252(text);
        QCOMPARE(bytes, QByteArray("Fa\xE7"
                                   "ade \x80 \x96 \x93ok\x94 \x8Cuvre \xFF"));
        QCOMPARE(FromCp1252(bytes), text);
    }

    void cp1252Unrepresentable()
    {
        // One '?' per character, also for characters outside the basic plane.
        QCOMPARE(ToCp1252(QStringLiteral("a\u4E2Db")), QByteArray("a?b"));
        QCOMPARE(ToCp1252(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
        QCOMPARE(ToCp1252(QStringLiteral("\u0080")), QByteArray("?")); // C1 control not in the page
    }

    void cp1252EveryByteDecodes()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = FromCp1252(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(ToCp1252(text), all);
    }

    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows") << "C:\\Data\\unit.cfg"
                                 << "C:\\Data"
                                 << "unit.cfg";
        QTest::newRow("posix") << "/home/a/unit.cfg"
                               << "/home/a"
                               << "unit.cfg";
        QTest::newRow("mixed") << "C:/Data\\sub/x.cfg"
                               << "C:/Data\\sub"
                               << "x.cfg";
        QTest::newRow("bare") << "x.cfg"
                              << ""
                              << "x.cfg";
        QTest::newRow("root") << "/x.cfg"
                              << "/"
                              << "x.cfg";
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

    void textReplace()
    {
        QCOMPARE(TextReplace(QStringLiteral("File \"*\" is gone *"), QStringLiteral("*"),
                             QStringLiteral("C:\\a")),
                 QStringLiteral("File \"C:\\a\" is gone C:\\a"));
        QCOMPARE(TextReplace(QStringLiteral("abc"), QString(), QStringLiteral("x")),
                 QStringLiteral("abc"));
    }

    void captionEscapesAmpersand()
    {
        QCOMPARE(CaptionTransform(QStringLiteral("C:\\R&D,1\\a.cfg"), QStringLiteral(",")),
                 QStringLiteral("C:\\R&&D,1\\a.cfg"));
    }

    void filterToQt_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two") << "Configurations|*.orv|All files|*.*"
                             << "Configurations (*.orv);;All files (*.*)";
        QTest::newRow("own parentheses") << "Text (*.txt)|*.txt"
                                         << "Text (*.txt)";
        QTest::newRow("several patterns") << "Exports|*.txt;*.csv"
                                          << "Exports (*.txt *.csv)";
        QTest::newRow("odd trailing part") << "Text|*.txt|dangling"
                                           << "Text (*.txt)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void filterToQt()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(FilterToQt(filter), expected);
    }

    void fileDialogResults()
    {
        RecordingUi ui;
        FileDialogRequest request;
        request.filter = QStringLiteral("Configurations|*.orv");
        request.multiSelect = true;
        QCOMPARE(ShowFileDialog(request), QString()); // cancelled
        ui.answerNextFileDialog({QStringLiteral("/data/a.orv")});
        QCOMPARE(ShowFileDialog(request), QStringLiteral("/data/a.orv"));
        ui.answerNextFileDialog({QStringLiteral("/data/a.orv"), QStringLiteral("/data/b c.orv")});
        const QString several = ShowFileDialog(request);
        QCOMPARE(several, QStringLiteral("/data") + QChar(0) + QStringLiteral("a.orv") + QChar(0) +
                              QStringLiteral("b c.orv"));
        QCOMPARE(SplitFileDialogResult(several),
                 (QStringList{QStringLiteral("/data/a.orv"), QStringLiteral("/data/b c.orv")}));
        QCOMPARE(ui.fileRequests.size(), 3);
        QCOMPARE(ui.fileRequests[0].filter, request.filter);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
