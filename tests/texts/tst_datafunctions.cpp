#include "RecordingUi.h"
#include "TestDataFiles.h"
#include "texts/DataFunctions.h"
#include "Unprivileged.h"
#include "util/ErrorHandling.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

    // A copy of the standard file that a test may alter.
    QString copyOfStandard(const QString& name)
    {
        const QString target = path(name);
        QFile::remove(target);
        if (!QFile::copy(m_standard, target))
            return {};
        return target;
    }

    static QString errorText(const char* procedure, int number, const char* description)
    {
        return QStringLiteral("Error Nr %1 : %2\r\n\r\nModule : DataFunctions\r\nFunction : %3")
            .arg(number)
            .arg(QLatin1String(description), QLatin1String(procedure));
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

    void dataFileBesideProgram()
    {
        QCOMPARE(DataFileName(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/orvel.dat"));
    }

    void nonNumericTagIsEmptyWithoutTouchingTheTable_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("blank") << "   ";
        QTest::newRow("number and letters") << "12a";
        QTest::newRow("not a number") << "nan";
    }

    void nonNumericTagIsEmptyWithoutTouchingTheTable()
    {
        QFETCH(QString, tag);
        RecordingUi ui;
        QCOMPARE(GetText(tag), QString());
        QCOMPARE(GetToolTip(tag), QString());
        QVERIFY(ui.messages.isEmpty());
        // With no data file at all, a numeric tag is an error but a
        // non-numeric one still answers "" in silence: the table is not read.
        CloseDataFile();
        QCOMPARE(GetText(tag), QString());
        QCOMPARE(GetToolTip(tag), QString());
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(GetText(QStringLiteral("10")), QString());
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, errorText("GetText", 91, "Object variable not set"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(GetToolTip(10), QString());
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[1].text, errorText("GetToolTip", 91, "Object variable not set"));
    }

    void numericForms_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "10"
                               << "Hello";
        QTest::newRow("spaces") << " 10 "
                                << "Hello";
        QTest::newRow("decimal point") << "10.0"
                                       << "Hello";
        QTest::newRow("exponent") << "1e1"
                                  << "Hello";
        QTest::newRow("leading zero") << "010"
                                      << "Hello";
        QTest::newRow("fraction") << "10.5"
                                  << "#10.5#";
        QTest::newRow("negative") << "-10"
                                  << "#-10#";
    }

    void numericForms()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        RecordingUi ui;
        QCOMPARE(GetText(tag), text);
        QVERIFY(ui.messages.isEmpty());
    }

    void missingRow()
    {
        RecordingUi ui;
        QCOMPARE(GetText(QStringLiteral("10120")), QStringLiteral("#10120#"));
        QCOMPARE(GetText(10120), QStringLiteral("#10120#"));
        const QString tip = GetToolTip(QStringLiteral("10120"));
        QCOMPARE(tip, QString());
        QVERIFY(!tip.isNull());
        QCOMPARE(GetToolTip(11), QString());
        QVERIFY(ui.messages.isEmpty());
    }

    void barBecomesLineBreakInTextsOnly()
    {
        QCOMPARE(GetText(11), QStringLiteral("Line one\r\nLine two"));
        QCOMPARE(GetText(QStringLiteral("11")).split(QStringLiteral("\r\n")).size(), 2);
        QCOMPARE(GetText(13), QStringLiteral("a\r\n\r\nb\r\n"));
        // Captions of widgets break lines with a single line feed.
        QCOMPARE(GetCaption(13), QStringLiteral("a\n\nb\n"));
        QCOMPARE(GetCaption(999999), QStringLiteral("#999999#"));
        QCOMPARE(GetToolTip(10), QStringLiteral("Tip|kept"));
        QCOMPARE(GetToolTip(QStringLiteral("10")), QStringLiteral("Tip|kept"));
    }

    void emptyCellIsEmptyText()
    {
        // The writer stores an empty text as NULL; a cell holding '' is the
        // same to the lookups.
        RecordingUi ui;
        QCOMPARE(GetText(12), QString());
        QVERIFY(!GetText(12).isNull());
        QCOMPARE(GetToolTip(12), QString());
        const QString file = copyOfStandard(QStringLiteral("emptystring.dat"));
        Sql(file, QStringLiteral("UPDATE T_Labels SET English='' WHERE Tag=10; "
                                 "UPDATE T_ToolTips SET English='' WHERE Tag=10"));
        QVERIFY(OpenDataFile(file));
        QCOMPARE(GetText(10), QString());
        QCOMPARE(GetToolTip(10), QString());
        QVERIFY(ui.messages.isEmpty());
    }

    void languageColumns_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::newRow("default") << ""
                                 << "Line one\r\nLine two"
                                 << "Tip|kept";
        QTest::newRow("English") << "English"
                                 << "Line one\r\nLine two"
                                 << "Tip|kept";
        QTest::newRow("French") << "Français"
                                << "Ligne un\r\nLigne deux"
                                << "Bulle|gardée";
        QTest::newRow("Spanish") << "Español"
                                 << "Línea uno\r\nLínea dos"
                                 << "Ayuda|guardada";
        QTest::newRow("other case") << "français"
                                    << "Ligne un\r\nLigne deux"
                                    << "Bulle|gardée";
    }

    void languageColumns()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        SetCurrentLanguage(language);
        QCOMPARE(GetText(11), text);
        QCOMPARE(GetToolTip(10), tip);
        QCOMPARE(CurrentLanguage(), language);
    }

    void unknownLanguageFallsBackForTheRun_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("unknown") << "Klingon";
        // Columns that exist but hold no language are no language either.
        QTest::newRow("note column") << "Note";
        QTest::newRow("tag column") << "Tag";
        QTest::newRow("source column") << "Source";
    }

    void unknownLanguageFallsBackForTheRun()
    {
        QFETCH(QString, language);
        RecordingUi ui;
        SetCurrentLanguage(language);
        QCOMPARE(GetText(10), QStringLiteral("Hello"));
        QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
        QCOMPARE(GetText(11), QStringLiteral("Line one\r\nLine two"));
        SetCurrentLanguage(language);
        QCOMPARE(GetToolTip(10), QStringLiteral("Tip|kept"));
        QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
        SetCurrentLanguage(language);
        QCOMPARE(GetMenuText(QStringLiteral("mnuFileOpen")), QStringLiteral("&Open..."));
        QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
        QVERIFY(ui.messages.isEmpty());
    }

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
        SetCurrentLanguage(QString());
        QCOMPARE(Languages(), (QStringList{QStringLiteral("Français"), QStringLiteral("English"),
                                           QStringLiteral("Español")}));
    }

    void menuCaptions()
    {
        RecordingUi ui;
        QCOMPARE(GetMenuText(QStringLiteral("mnuFileOpen")), QStringLiteral("&Open..."));
        SetCurrentLanguage(QStringLiteral("Español"));
        QCOMPARE(GetMenuText(QStringLiteral("mnuFileOpen")), QStringLiteral("&Abrir..."));
        QVERIFY(GetMenuText(QStringLiteral("mnuNoSuchItem")).isNull());
        // Names are matched exactly, as the controls carry them.
        QVERIFY(GetMenuText(QStringLiteral("mnufileopen")).isNull());
        const QString empty = GetMenuText(QStringLiteral("mnuEmpty"));
        QCOMPARE(empty, QString());
        QVERIFY(!empty.isNull());
        // "|" is no line mark in menu captions.
        QVERIFY(ui.messages.isEmpty());
    }

    void languagesFromTheTable()
    {
        QCOMPARE(Languages(), (QStringList{QStringLiteral("English"), QStringLiteral("Français"),
                                           QStringLiteral("Español")}));
        const QString file = copyOfStandard(QStringLiteral("languages.dat"));
        // A column without a text for tag 0 is not offered yet; a new column with
        // one is, without any change to the code.
        Sql(file, QStringLiteral("UPDATE T_Labels SET \"Español\"=NULL WHERE Tag=0; "
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
        QTest::newRow("missing") << "missing";
        QTest::newRow("other password") << "password";
        QTest::newRow("damaged page") << "damaged";
        QTest::newRow("damaged header") << "header";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("plain text") << "text";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("folder") << "folder";
        QTest::newRow("not readable") << "unreadable";
    }

    void openRefusals()
    {
        QFETCH(QString, kind);
        RecordingUi ui;
        const QString file = path(QStringLiteral("refused-") + kind + QStringLiteral(".dat"));
        if (kind == QLatin1String("password")) {
            Write(Standard(), file, QByteArrayLiteral("A47C"));
        } else if (kind == QLatin1String("text") || kind == QLatin1String("empty")) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("text"))
                f.write("Tag\tNote\tEnglish\n10\tx\tHello\n");
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(file));
        } else if (kind == QLatin1String("unreadable")) {
            Write(Standard(), file);
            QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
        } else if (kind != QLatin1String("missing")) {
            Write(Standard(), file);
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            QVERIFY(bytes.size() >= 4096);
            if (kind == QLatin1String("damaged"))
                bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x5A);
            else if (kind == QLatin1String("header"))
                bytes[20] = char(bytes[20] ^ 0x01);
            else
                bytes.truncate(bytes.size() / 2 + 10);
            QVERIFY(f.resize(0));
            QVERIFY(f.seek(0));
            QCOMPARE(f.write(bytes), bytes.size());
        }
        CloseDataFile();
        QVERIFY(!OpenDataFile(file));
        QVERIFY(!DataFileIsOpen());
        // A refused file does not close the one already open.
        QVERIFY(OpenDataFile(m_standard));
        QVERIFY(!OpenDataFile(file));
        QVERIFY(DataFileIsOpen());
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
    }

    void rightPasswordOpens()
    {
        QVERIFY(DataFileIsOpen());
        CloseDataFile();
        QVERIFY(!DataFileIsOpen());
        QVERIFY(OpenDataFile(m_standard));
        QVERIFY(DataFileIsOpen());
        // The file is encrypted: neither the engine's header nor a text shows.
        QFile f(m_standard);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.contains("SQLite format 3"));
        QVERIFY(!bytes.contains("Bonjour"));
        QVERIFY(!bytes.contains("T_Labels"));
    }

    void reopeningForgetsTheOldTables()
    {
        QCOMPARE(GetText(10), QStringLiteral("Hello"));
        DataSources s = Standard();
        s.labels.rows[2].texts[0] = QStringLiteral("Good morning");
        const QString file = path(QStringLiteral("other.dat"));
        Write(s, file);
        QVERIFY(OpenDataFile(file));
        QCOMPARE(GetText(10), QStringLiteral("Good morning"));
    }

    void databaseErrorsAreReported()
    {
        RecordingUi ui;
        const QString file = copyOfStandard(QStringLiteral("nolanguage.dat"));
        Sql(file,
            QStringLiteral(
                "DROP TABLE T_Labels; CREATE TABLE T_Labels (Tag INTEGER PRIMARY KEY, Note TEXT, "
                "Source TEXT); "
                "INSERT INTO T_Labels VALUES (10, 'n', 's'); "
                "DROP TABLE T_Menus; CREATE TABLE T_Menus (Name TEXT, Note TEXT, English TEXT)"));
        QVERIFY(OpenDataFile(file));
        QCOMPARE(GetText(10), QString());
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 errorText("GetText", 3265, "Item not found in this collection"));
        // A missing row is still no error.
        QCOMPARE(GetText(11), QStringLiteral("#11#"));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(Languages(), QStringList());
        QCOMPARE(ui.messages.size(), 1);
        // A menu table without its key column.
        QVERIFY(GetMenuText(QStringLiteral("mnuFileOpen")).isNull());
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[1].text,
                 errorText("GetMenuText", 3265, "Item not found in this collection"));
        QCOMPARE(GetToolTip(10), QStringLiteral("Tip|kept"));
        QCOMPARE(ui.messages.size(), 2);
    }

    void invalidPortMessageUsesTheDataFile()
    {
        RecordingUi ui;
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        QCOMPARE(ui.lastText(), QStringLiteral("Invalid port number."));
        SetCurrentLanguage(QStringLiteral("Français"));
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        QCOMPARE(ui.lastText(), QStringLiteral("Numéro de port invalide."));
        CloseDataFile();
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        QCOMPARE(ui.lastText(), QStringLiteral("#10101#"));
    }

    void lookupsAreServedFromMemory()
    {
        // Windows look up one text per control at every language change: after
        // the first lookup each one is a hash lookup.
        QCOMPARE(GetText(10), QStringLiteral("Hello"));
        QElapsedTimer timer;
        timer.start();
        qsizetype total = 0;
        for (int i = 0; i < 200000; ++i)
            total += GetText(10 + (i & 3)).size();
        QVERIFY(total > 0);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestDataFunctions)
#include "tst_datafunctions.moc"
