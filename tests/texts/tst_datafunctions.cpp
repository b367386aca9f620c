// Texts, tool tips and menu captions from the data file: lookups, language
// columns, files refused and database errors.
#include "ErrorReport.h"
#include "RecordingUi.h"
#include "TestDataFiles.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "Unprivileged.h"
#include "util/ErrorHandling.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace TestData;

class TestDataFunctions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_standard;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A copy of the standard file, altered by SQL.
    QString alteredCopy(const QString& name, const QString& sql)
    {
        const QString target = path(name);
        QFile::remove(target);
        QFile::copy(m_standard, target);
        Sql(target, sql);
        return target;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_standard = path(QStringLiteral("standard.dat"));
        Write(Standard(), m_standard);
    }

    void init()
    {
        SetCurrentLanguage(QString());
        QVERIFY(OpenDataFile(m_standard));
    }

    void cleanup() { CloseDataFile(); }

    // Text, caption and tool tip of a tag; a tag that is no whole number
    // answers "" without touching the table.
    void lookups_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        auto row = [](const char* name, const char* tag, const char* text, const char* caption,
                      const char* tip) {
            QTest::newRow(name) << QString::fromUtf8(tag) << QString::fromUtf8(text)
                                << QString::fromUtf8(caption) << QString::fromUtf8(tip);
        };
        row("plain", "10", "Hello", "Hello", "Tip|kept");
        row("spaces", " 10 ", "Hello", "Hello", "Tip|kept");
        row("decimal point", "10.0", "Hello", "Hello", "Tip|kept");
        row("exponent", "1e1", "Hello", "Hello", "Tip|kept");
        row("leading zero", "010", "Hello", "Hello", "Tip|kept");
        row("fraction", "10.5", "#10.5#", "", "");
        row("negative", "-10", "#-10#", "#-10#", "");
        row("no row", "10120", "#10120#", "#10120#", "");
        row("line marks", "11", "Line one\r\nLine two", "Line one\nLine two", "");
        row("line marks only", "13", "a\r\n\r\nb\r\n", "a\n\nb\n", "");
        row("empty cells", "12", "", "", "");
        for (const char* tag : {"abc", "", "   ", "12a", "nan"})
            row(qPrintable(QStringLiteral("not a number: \"%1\"").arg(QLatin1String(tag))), tag, "",
                "", "");
    }

    void lookups()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        RecordingUi ui;
        QCOMPARE(GetText(tag), text);
        QVERIFY(!GetText(tag).isNull());
        QCOMPARE(GetToolTip(tag), tip);
        QVERIFY(!GetToolTip(tag).isNull());
        bool whole = false;
        const int number = tag.toInt(&whole);
        if (whole) {
            QCOMPARE(GetText(number), text);
            QTEST(GetCaption(number), "caption");
            QCOMPARE(GetToolTip(number), tip);
        }
        QVERIFY(ui.messages.isEmpty());
        // Without a data file a tag that is no number still answers "" in
        // silence: the table is not read.
        CloseDataFile();
        if (!whole && text.isEmpty()) {
            QCOMPARE(GetText(tag), QString());
            QCOMPARE(GetToolTip(tag), QString());
            QVERIFY(ui.messages.isEmpty());
        }
    }

    // Menu captions by exact name; a tool bar button's tip is the caption
    // without access key marks and trailing dots.
    void menus_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption"); // "null": no row
        QTest::addColumn<QString>("tip");
        QTest::newRow("caption") << "mnuFileOpen"
                                 << "&Open..."
                                 << "Open";
        QTest::newRow("ampersands") << "mnuSaveQuit"
                                    << "Save && &Quit"
                                    << "Save & Quit";
        QTest::newRow("other case") << "mnufileopen"
                                    << "null"
                                    << "null";
        QTest::newRow("no row") << "mnuNoSuchItem"
                                << "null"
                                << "null";
        QTest::newRow("empty caption") << "mnuEmpty"
                                       << ""
                                       << "";
    }

    void menus()
    {
        QFETCH(QString, key);
        RecordingUi ui;
        const auto shown = [](const QString& s) { return s.isNull() ? QStringLiteral("null") : s; };
        const QString caption = GetMenuText(key);
        QTEST(shown(caption), "caption");
        QTEST(caption.isNull() ? shown(GetMenuToolTip(key)) : GetMenuToolTip(key), "tip");
        QVERIFY(ui.messages.isEmpty());
    }

    void languageColumns_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("texts"); // text, tool tip and menu caption
        QTest::addColumn<QString>("languageAfter");
        const char* english = "Line one\r\nLine two|Tip|kept|&Open...";
        const char* french = "Ligne un\r\nLigne deux|Bulle|gardée|&Ouvrir...";
        auto row = [](const char* language, const char* texts, const char* after) {
            QTest::newRow(language) << QString::fromUtf8(language) << QString::fromUtf8(texts)
                                    << QString::fromUtf8(after);
        };
        row("", english, "");
        row("English", english, "English");
        row("Français", french, "Français");
        row("Español", "Línea uno\r\nLínea dos|Ayuda|guardada|&Abrir...", "Español");
        row("français", french, "français");
        // An unknown language becomes, for the rest of the run, the default
        // column; columns that hold no language are no language either.
        for (const char* unknown : {"Klingon", "Note", "Tag", "Source"})
            row(unknown, english, "English");
    }

    void languageColumns()
    {
        QFETCH(QString, language);
        RecordingUi ui;
        QStringList texts;
        SetCurrentLanguage(language);
        texts << GetText(11);
        SetCurrentLanguage(language);
        texts << GetToolTip(10);
        SetCurrentLanguage(language);
        texts << GetMenuText(QStringLiteral("mnuFileOpen"));
        QTEST(texts.join(QLatin1Char('|')), "texts");
        QTEST(CurrentLanguage(), "languageAfter");
        QVERIFY(ui.messages.isEmpty());
    }

    // The default column is the first, whatever its name.
    void fallbackTakesTheDefaultColumnsName()
    {
        DataSources s = Standard();
        s.labels.languages = s.toolTips.languages = s.menus.languages = QStringList{
            QStringLiteral("Français"), QStringLiteral("English"), QStringLiteral("Español")};
        const QString file = path(QStringLiteral("frenchfirst.dat"));
        Write(s, file);
        QVERIFY(OpenDataFile(file));
        SetCurrentLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(GetText(10), QStringLiteral("Hello"));
        QCOMPARE(CurrentLanguage(), QStringLiteral("Français"));
        QCOMPARE(Languages(), s.labels.languages);
    }

    // A column without a text for tag 0 is not offered; a new column with one
    // is, without any change to the code. Opening another file forgets the
    // tables of the first.
    void languagesFromTheTable()
    {
        QCOMPARE(Languages(), StandardLanguages());
        const QString file =
            alteredCopy(QStringLiteral("languages.dat"),
                        QStringLiteral("UPDATE T_Labels SET \"Español\"=NULL WHERE Tag=0; "
                                       "ALTER TABLE T_Labels ADD COLUMN \"Deutsch\" TEXT; "
                                       "UPDATE T_Labels SET Deutsch='Deutsch' WHERE Tag=0; "
                                       "UPDATE T_Labels SET Deutsch='Hallo' WHERE Tag=10"));
        QVERIFY(OpenDataFile(file));
        QCOMPARE(Languages(), (QStringList{QStringLiteral("English"), QStringLiteral("Français"),
                                           QStringLiteral("Deutsch")}));
        SetCurrentLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(GetText(10), QStringLiteral("Hallo"));
        QCOMPARE(GetText(11), QString());
        QCOMPARE(CurrentLanguage(), QStringLiteral("Deutsch"));
    }

    void openRefusals_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"missing", "password", "damaged", "header", "truncated", "text",
                                 "empty", "folder", "unreadable"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void openRefusals()
    {
        QFETCH(QString, kind);
        RecordingUi ui;
        const QString file = path(QStringLiteral("refused-") + kind + QStringLiteral(".dat"));
        if (kind == QLatin1String("password"))
            Write(Standard(), file, QByteArrayLiteral("A47C"));
        else if (kind == QLatin1String("text"))
            TestFiles::WriteBytes(file, "Tag\tNote\tEnglish\n10\tx\tHello\n");
        else if (kind == QLatin1String("empty"))
            TestFiles::WriteBytes(file, {});
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(file));
        else if (kind != QLatin1String("missing"))
            Write(Standard(), file);
        QByteArray bytes = TestFiles::ReadBytes(file);
        if (kind == QLatin1String("unreadable"))
            QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
        else if (kind == QLatin1String("damaged"))
            bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x5A);
        else if (kind == QLatin1String("header"))
            bytes[20] = char(bytes[20] ^ 0x01);
        else if (kind == QLatin1String("truncated"))
            bytes.truncate(bytes.size() / 2 + 10);
        if (kind == QLatin1String("damaged") || kind == QLatin1String("header") ||
            kind == QLatin1String("truncated"))
            TestFiles::WriteBytes(file, bytes);
        CloseDataFile();
        QVERIFY(!OpenDataFile(file));
        QVERIFY(!DataFileIsOpen());
        // A refused file does not close the one already open.
        QVERIFY(OpenDataFile(m_standard));
        QVERIFY(!OpenDataFile(file));
        QCOMPARE(GetText(10), QStringLiteral("Hello"));
        QVERIFY(ui.messages.isEmpty());
    }

    // An installed program: its data file and its folder read-only for the
    // user (the suite runs this program unprivileged).
    void readOnlyInstallationOpens()
    {
        const QString folder = path(QStringLiteral("installed"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + QStringLiteral("/orvel.dat");
        QVERIFY(QFile::copy(m_standard, file));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        RecordingUi ui;
        CloseDataFile();
        const bool opened = OpenDataFile(file);
        const QString text = GetText(10);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(opened);
        QCOMPARE(text, QStringLiteral("Hello"));
        QVERIFY(ui.messages.isEmpty());
        // Neither the engine's header nor a table name nor a text shows.
        const QByteArray bytes = TestFiles::ReadBytes(m_standard);
        for (const char* plain : {"SQLite format 3", "Bonjour", "T_Labels"})
            QVERIFY2(!bytes.contains(plain), plain);
    }

    void errorsAreReported()
    {
        RecordingUi ui;
        QVERIFY(OpenDataFile(alteredCopy(
            QStringLiteral("nolanguage.dat"),
            QStringLiteral("DROP TABLE T_Labels; CREATE TABLE T_Labels (Tag INTEGER PRIMARY KEY, "
                           "Note TEXT, Source TEXT); INSERT INTO T_Labels VALUES (10, 'n', 's'); "
                           "DROP TABLE T_Menus; CREATE TABLE T_Menus (Name TEXT, Note TEXT, "
                           "English TEXT)"))));
        QCOMPARE(GetText(10), QString());
        // A missing row is still no error, nor a table without languages.
        QCOMPARE(GetText(11), QStringLiteral("#11#"));
        QCOMPARE(Languages(), QStringList());
        // A menu table without its key column.
        QVERIFY(GetMenuText(QStringLiteral("mnuFileOpen")).isNull());
        QCOMPARE(GetToolTip(10), QStringLiteral("Tip|kept"));
        // Without a data file, a numeric tag is an error.
        CloseDataFile();
        QCOMPARE(GetText(10), QString());
        QCOMPARE(GetToolTip(10), QString());
        QStringList texts;
        for (const MessageRequest& m : ui.messages) {
            texts << m.text;
            QCOMPARE(m.icon, MsgIcon::Critical);
        }
        const char* notFound = "Item not found in this collection";
        QCOMPARE(
            texts,
            QStringList({ErrorReport(3265, notFound, "DataFunctions.GetText"),
                         ErrorReport(3265, notFound, "DataFunctions.GetMenuText"),
                         ErrorReport(91, "Object variable not set", "DataFunctions.GetText"),
                         ErrorReport(91, "Object variable not set", "DataFunctions.GetToolTip")}));
    }

    void invalidPortMessageUsesTheDataFile()
    {
        RecordingUi ui;
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        SetCurrentLanguage(QStringLiteral("Français"));
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        CloseDataFile();
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        QStringList texts;
        for (const MessageRequest& m : ui.messages)
            texts << m.text;
        QCOMPARE(texts,
                 QStringList({"Invalid port number.", "Numéro de port invalide.", "#10101#"}));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestDataFunctions)
#include "tst_datafunctions.moc"
