// The data file's texts, tool tips, menu captions and default values:
// lookups, language columns, files refused and database errors, the sections
// of a configuration filled with defaults.
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

namespace {

// A value for every key, each one different so that a key read for the wrong
// field shows.
QList<DefaultSourceRow> AllDefaults()
{
    QList<DefaultSourceRow> rows;
    const QList<std::pair<int, int>> byKey = {
        {593, 1},  {609, 100000}, {641, 3},     {657, 4},   {673, 5},   {689, 6},
        {737, 7},  {753, 8},      {769, 9},     {785, 10},  {929, 11},  {945, 12},
        {961, 13}, {1105, 70000}, {1172, -200}, {1174, 14}, {1175, 15}, {-1, 16},
    };
    for (const auto& [key, value] : byKey)
        rows << Default(key, value);
    // General parameters: GenParam(i) = 100 + i, also at key 1070, which would
    // be GenParam(13) if the key loop did not skip it.
    for (const auto& [first, last, zero] : {std::tuple{1057, 1070, 1057},
                                            {1099, 1101, 1070},
                                            {1107, 1114, 1093},
                                            {1137, 1142, 1115}}) {
        for (int key = first; key <= last; ++key)
            rows << Default(key, 100 + key - zero);
    }
    rows << Default(1154, 128);
    return rows;
}

// Every field 77 (texts aside), a value no default has, from a hand-made file.
ConfigClass Prefilled()
{
    ConfigClass c;
    c.FromFileBytes(QByteArray(241, 77) + QByteArray("\x03\0\0\0O12", 7) +
                    QByteArray("\x0B\0\0\0Boiler room", 15) + QByteArray(42, 77));
    return c;
}

// What each section of AllDefaults() gives.
void ExpectSection(int section, ConfigClass& c)
{
    using Set = void (ConfigClass::*)(int, std::uint8_t);
    const std::tuple<int, Set, int> bytes[] = {
        {0, &ConfigClass::SetInSecu, 1},      {0, &ConfigClass::SetInSequence, 3},
        {0, &ConfigClass::SetInDetect, 4},    {0, &ConfigClass::SetInRelance, 5},
        {0, &ConfigClass::SetInBlocage, 6},   {0, &ConfigClass::SetInSynth, 7},
        {0, &ConfigClass::SetInTypeKL, 8},    {0, &ConfigClass::SetInDisturb, 9},
        {0, &ConfigClass::SetInRepBlock, 10}, {1, &ConfigClass::SetOutSecu, 11},
        {1, &ConfigClass::SetOutPilot, 12},   {1, &ConfigClass::SetOutMode, 13}};
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        for (const auto& [s, set, value] : bytes) {
            if (s == section)
                (c.*set)(ch, std::uint8_t(value));
        }
        if (section == 0) {
            c.SetInTempo(ch, 100000);
            // Each input drives its own output.
            for (int k = 1; k <= ConfigClass::Redirections; ++k)
                c.SetInRedir(ch, k, std::uint8_t(k == 1 ? ch : 0));
        }
    }
    if (section == 2) {
        // GenParam(i) = 100 + i; 13 holds the re-trigger delay instead.
        for (int i = 0; i < ConfigClass::GenParamCount; ++i) {
            if (i != 13)
                c.SetGenParam(i, std::uint8_t(100 + i));
        }
        c.SetGenParam(28, 128);
        c.SetGenParam(32, 16);
        c.SetGenTempoRelance(70000);
    } else if (section == 3) {
        c.SetBrightMin(-200);
        c.SetSupplyType(14);
        c.SetCommonType(15);
    }
}

} // namespace

class TestDataFunctions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_standard;
    int m_files = 0;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Opens the standard texts with these defaults, altered by SQL.
    void openWith(const QList<DefaultSourceRow>& defaults, const QString& sql = {})
    {
        DataSources s = Standard();
        s.defaults = defaults;
        const QString file = m_dir.filePath(QStringLiteral("defaults%1.dat").arg(++m_files));
        Write(s, file);
        if (!sql.isEmpty())
            Sql(file, sql);
        QVERIFY(OpenDataFile(file));
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
        row("exponent", "1e1", "Hello", "Hello", "Tip|kept");
        row("fraction", "10.5", "#10.5#", "", "");
        row("no row", "10120", "#10120#", "#10120#", "");
        row("line marks", "11", "Line one\r\nLine two", "Line one\nLine two", "");
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
        QCOMPARE(GetToolTip(tag), tip);
        QVERIFY(!GetText(tag).isNull() && !GetToolTip(tag).isNull());
        bool whole = false;
        const int number = tag.toInt(&whole);
        if (whole) {
            QCOMPARE(GetText(number), text);
            QTEST(GetCaption(number), "caption");
            QCOMPARE(GetToolTip(number), tip);
        }
        QVERIFY(ui.messages.isEmpty());
    }

    // Menu captions by exact name; a tool bar button's tip is the caption
    // without access key marks and trailing dots.
    void menus_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption"); // "null": no row
        QTest::addColumn<QString>("tip");
        for (const auto& [key, caption, tip] : {std::tuple{"mnuFileOpen", "&Open...", "Open"},
                                                {"mnuSaveQuit", "Save && &Quit", "Save & Quit"},
                                                {"mnufileopen", "null", "null"}, // other case
                                                {"mnuEmpty", "", ""}})
            QTest::newRow(key) << key << caption << tip;
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

    // A column without a text for tag 0 is not offered; a new column with one
    // is, without any change to the code. Opening another file forgets the
    // tables of the first.
    void languagesFromTheTable()
    {
        QCOMPARE(Languages(), StandardLanguages());
        openWith({}, QStringLiteral("UPDATE T_Labels SET \"Español\"=NULL WHERE Tag=0; "
                                    "ALTER TABLE T_Labels ADD COLUMN \"Deutsch\" TEXT; "
                                    "UPDATE T_Labels SET Deutsch='Deutsch' WHERE Tag=0; "
                                    "UPDATE T_Labels SET Deutsch='Hallo' WHERE Tag=10"));
        QCOMPARE(Languages(), (QStringList{QStringLiteral("English"), QStringLiteral("Français"),
                                           QStringLiteral("Deutsch")}));
        SetCurrentLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(GetText(10), QStringLiteral("Hallo"));
        QCOMPARE(GetText(11), QString());
        QCOMPARE(CurrentLanguage(), QStringLiteral("Deutsch"));
    }

    // Missing files, other passwords and files of other kinds are refused at
    // start-up (the start-up test); here the damaged ones and those that are
    // no readable file.
    void openRefusals_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"damaged", "truncated", "folder", "unreadable"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void openRefusals()
    {
        QFETCH(QString, kind);
        RecordingUi ui;
        const QString file = path(QStringLiteral("refused-") + kind + QStringLiteral(".dat"));
        Write(Standard(), file);
        QByteArray bytes = TestFiles::ReadBytes(file);
        if (kind == QLatin1String("damaged"))
            bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x5A);
        if (kind == QLatin1String("truncated"))
            bytes.truncate(bytes.size() / 2 + 10);
        TestFiles::WriteBytes(file, bytes);
        if (kind == QLatin1String("unreadable"))
            QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
        if (kind == QLatin1String("folder"))
            QVERIFY(QFile::remove(file) && QDir().mkpath(file));
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
        openWith({}, QStringLiteral("DROP TABLE T_Labels; CREATE TABLE T_Labels (Tag INTEGER "
                                    "PRIMARY KEY, Note TEXT, Source TEXT); INSERT INTO T_Labels "
                                    "VALUES (10, 'n', 's'); DROP TABLE T_Menus; CREATE TABLE "
                                    "T_Menus (Name TEXT, Note TEXT, English TEXT)"));
        QCOMPARE(GetText(10), QString());
        // A missing row is still no error, nor a table without languages.
        QCOMPARE(GetText(11), QStringLiteral("#11#"));
        QCOMPARE(Languages(), QStringList());
        // A menu table without its key column.
        QVERIFY(GetMenuText(QStringLiteral("mnuFileOpen")).isNull());
        QCOMPARE(GetToolTip(10), QStringLiteral("Tip|kept"));
        // Without a data file, a numeric tag is an error; another tag is not
        // looked up and answers "" in silence.
        CloseDataFile();
        QCOMPARE(GetText(QStringLiteral("abc")) + GetToolTip(QStringLiteral("1x")), QString());
        QCOMPARE(GetText(10), QString());
        QCOMPARE(GetToolTip(10), QString());
        QCOMPARE(GetDefaultValue(593), 0);
        // A section is reported once and left as it was.
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QCOMPARE(c, Prefilled());
        QStringList texts;
        for (const MessageRequest& m : ui.messages) {
            texts << m.text;
            QCOMPARE(m.icon, MsgIcon::Critical);
        }
        const char* notFound = "Item not found in this collection";
        QCOMPARE(
            texts,
            QStringList(
                {ErrorReport(3265, notFound, "DataFunctions.GetText"),
                 ErrorReport(3265, notFound, "DataFunctions.GetMenuText"),
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetText"),
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetToolTip"),
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetDefaultValue"),
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetInputDefaults")}));
    }

    // One value, as stored; a real is taken as the nearest whole number,
    // halves to even; what then does not fit 32 bits is an overflow.
    void values_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("stored"); // SQL; "": as the sources give it
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("error");
        auto row = [](const char* name, int key, const char* stored, int expected, int error = 0) {
            QTest::newRow(name) << key << QString::fromLatin1(stored) << expected << error;
        };
        row("no row", 600, "", 0);
        row("empty value", 593, "NULL", 0);
        row("text", 657, "'abc'", 0, 13);
        row("past 32 bits", 609, "5000000000", 0, 6);
        row("2.5", 609, "2.5", 2);
        row("3.5", 609, "3.5", 4);
        row("past 32 bits, real", 609, "2147483647.5", 0, 6);
        row("bottom, half to even", 609, "-2147483648.5", -2147483647 - 1);
        row("byte 254.5", 593, "254.5", 254);
    }

    void values()
    {
        QFETCH(int, key);
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QFETCH(int, error);
        RecordingUi ui;
        openWith(AllDefaults(), stored.isEmpty() ? QString()
                                                 : QStringLiteral("UPDATE T_Defaults SET Valeur=%1 "
                                                                  "WHERE Key=%2")
                                                       .arg(stored)
                                                       .arg(key));
        QCOMPARE(GetDefaultValue(std::int16_t(key)), expected);
        QCOMPARE(ui.lastText(),
                 error == 6    ? ErrorReport(6, "Overflow", "DataFunctions.GetDefaultValue")
                 : error == 13 ? ErrorReport(13, "Type mismatch", "DataFunctions.GetDefaultValue")
                               : QString());
        // Filling a section takes the same value; an error leaves the field.
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        if (key == 609)
            QCOMPARE(c.InTempo(12), error ? Prefilled().InTempo(12) : expected);
        if (key == 593)
            QCOMPARE(c.InSecu(12), error ? Prefilled().InSecu(12) : expected);
    }

    void sections_data()
    {
        QTest::addColumn<int>("section"); // 0..3, 4: all of them
        int section = 0;
        for (const char* name : {"inputs", "outputs", "general", "factory", "all"})
            QTest::newRow(name) << section++;
    }

    void sections()
    {
        QFETCH(int, section);
        using Fill = bool (*)(ConfigClass&);
        const Fill fill[] = {GetInputDefaults, GetOutputDefaults, GetGenDefaults,
                             GetFactoryDefaults, GetAllDefaults};
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass c = Prefilled();
        QVERIFY(fill[section](c));
        ConfigClass expected = Prefilled();
        for (int s = 0; s <= 3; ++s) {
            if (s == section || section == 4)
                ExpectSection(s, expected);
        }
        QCOMPARE(c.ToFileBytes(), expected.ToFileBytes());
        QVERIFY(c == expected); // GenParam(13) has no byte in the file
        QVERIFY(ui.messages.isEmpty());
    }

    void byteOverflowStopsTheSection_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("section");
        QTest::newRow("-1 for key 593") << 593 << qint64(-1) << 0;
        QTest::newRow("256 for key 769") << 769 << qint64(256) << 0;
        QTest::newRow("300 for key 945") << 945 << qint64(300) << 1;
        QTest::newRow("300 for key 1062") << 1062 << qint64(300) << 2;
        QTest::newRow("300 for key -1") << -1 << qint64(300) << 2;
        QTest::newRow("40000 for BrightMin") << 1172 << qint64(40000) << 3;
    }

    void byteOverflowStopsTheSection()
    {
        QFETCH(int, key);
        QFETCH(qint64, value);
        QFETCH(int, section);
        const char* procedure[] = {"GetInputDefaults", "GetOutputDefaults", "GetGenDefaults",
                                   "GetFactoryDefaults"};
        RecordingUi ui;
        openWith(
            AllDefaults(),
            QStringLiteral("UPDATE T_Defaults SET Valeur=%1 WHERE Key=%2").arg(value).arg(key));
        ConfigClass c = Prefilled();
        QVERIFY(!GetAllDefaults(c));
        // One report for the section, the other sections still filled.
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, ErrorReport(6, "Overflow",
                                                  qPrintable(QLatin1String("DataFunctions.") +
                                                             QLatin1String(procedure[section]))));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        const QList<int> filled{c.InSecu(12), c.OutMode(12), c.GenParam(32), c.CommonType()};
        QList<int> expected{1, 13, 16, 15};
        expected[section] = filled[section];
        QCOMPARE(filled, expected);
        // The fields before the overflow are filled, the later ones not.
        if (key == 593)
            QCOMPARE(c.InTempo(1), Prefilled().InTempo(1));
        if (key == 1062)
            QCOMPARE(QList<int>({c.GenParam(4), c.GenParam(5), c.GenParam(6)}),
                     QList<int>({104, 77, 77}));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestDataFunctions)
#include "tst_datafunctions.moc"
