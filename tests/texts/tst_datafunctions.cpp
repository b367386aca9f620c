#include "ErrorReport.h"
#include "RecordingUi.h"
#include "TestDataFiles.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "Unprivileged.h"
#include "util/ErrorHandling.h"

#include <QCoreApplication>
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

    // A copy of the standard file that a test may alter.
    QString copyOfStandard(const QString& name)
    {
        const QString target = path(name);
        QFile::remove(target);
        if (!QFile::copy(m_standard, target))
            return {};
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
        QCOMPARE(ui.messages[0].text,
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetText"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(GetToolTip(10), QString());
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[1].text,
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetToolTip"));
    }

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
    }
    void lookups()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QString, caption);
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
            QCOMPARE(GetCaption(number), caption);
            QCOMPARE(GetToolTip(number), tip);
        }
        QVERIFY(ui.messages.isEmpty());
    }

    void languageColumns_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("languageAfter");
        const QStringList english{"Line one\r\nLine two", "Tip|kept", "&Open..."};
        const QStringList french{"Ligne un\r\nLigne deux", "Bulle|gardée", "&Ouvrir..."};
        const QStringList spanish{"Línea uno\r\nLínea dos", "Ayuda|guardada", "&Abrir..."};
        auto row = [](const char* language, const QStringList& texts, const char* after) {
            QTest::newRow(language) << QString::fromUtf8(language) << texts[0] << texts[1]
                                    << texts[2] << QString::fromUtf8(after);
        };
        row("", english, "");
        row("English", english, "English");
        row("Français", french, "Français");
        row("Español", spanish, "Español");
        row("français", french, "français");
        // An unknown language becomes, for the rest of the run, the default
        // column; columns that hold no language are no language either.
        for (const char* unknown : {"Klingon", "Note", "Tag", "Source"})
            row(unknown, english, "English");
    }
    void languageColumns()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        QFETCH(QString, menu);
        QFETCH(QString, languageAfter);
        RecordingUi ui;
        SetCurrentLanguage(language);
        QCOMPARE(GetText(11), text);
        SetCurrentLanguage(language);
        QCOMPARE(GetToolTip(10), tip);
        SetCurrentLanguage(language);
        QCOMPARE(GetMenuText(QStringLiteral("mnuFileOpen")), menu);
        QCOMPARE(CurrentLanguage(), languageAfter);
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

    void fileIsEncrypted()
    {
        // Neither the engine's header nor a table name nor a text shows.
        const QByteArray bytes = TestFiles::ReadBytes(m_standard);
        for (const char* plain : {"SQLite format 3", "Bonjour", "T_Labels"})
            QVERIFY2(!bytes.contains(plain), plain);
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
                 ErrorReport(3265, "Item not found in this collection", "DataFunctions.GetText"));
        // A missing row is still no error.
        QCOMPARE(GetText(11), QStringLiteral("#11#"));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(Languages(), QStringList());
        QCOMPARE(ui.messages.size(), 1);
        // A menu table without its key column.
        QVERIFY(GetMenuText(QStringLiteral("mnuFileOpen")).isNull());
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[1].text, ErrorReport(3265, "Item not found in this collection",
                                                  "DataFunctions.GetMenuText"));
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
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestDataFunctions)
#include "tst_datafunctions.moc"
