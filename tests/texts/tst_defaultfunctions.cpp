#include "ErrorReport.h"
#include "RecordingUi.h"
#include "TestDataFiles.h"
#include "texts/DataFunctions.h"

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
    for (int key = 1057; key <= 1070; ++key)
        rows << Default(key, 100 + key - 1057);
    for (int key = 1099; key <= 1101; ++key)
        rows << Default(key, 100 + key - 1070);
    for (int key = 1107; key <= 1114; ++key)
        rows << Default(key, 100 + key - 1093);
    for (int key = 1137; key <= 1142; ++key)
        rows << Default(key, 100 + key - 1115);
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
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        if (section == 0) {
            c.SetInSecu(ch, 1);
            c.SetInTempo(ch, 100000);
            c.SetInSequence(ch, 3);
            c.SetInDetect(ch, 4);
            c.SetInRelance(ch, 5);
            c.SetInBlocage(ch, 6);
            c.SetInSynth(ch, 7);
            c.SetInTypeKL(ch, 8);
            c.SetInDisturb(ch, 9);
            c.SetInRepBlock(ch, 10);
            c.SetInRedir(ch, 1, std::uint8_t(ch)); // each input drives its own output
            for (int k = 2; k <= ConfigClass::Redirections; ++k)
                c.SetInRedir(ch, k, 0);
        } else if (section == 1) {
            c.SetOutSecu(ch, 11);
            c.SetOutPilot(ch, 12);
            c.SetOutMode(ch, 13);
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

class TestDefaultFunctions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // Opens a data file holding these defaults, and then altered by SQL.
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

    static QList<DefaultSourceRow> With(int key, std::optional<qint64> value)
    {
        QList<DefaultSourceRow> rows = AllDefaults();
        rows.removeIf([key](const DefaultSourceRow& row) { return row.key == key; });
        return rows << Default(key, value);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void cleanup() { CloseDataFile(); }

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
        row("byte", 593, "", 1);
        row("32 bits", 609, "", 100000);
        row("negative", 1172, "", -200);
        row("key -1", -1, "", 16);
        row("no row", 600, "", 0);
        row("empty value", 593, "NULL", 0);
        row("empty text", 673, "''", 0);
        row("text", 657, "'abc'", 0, 13);
        row("past 32 bits", 609, "5000000000", 0, 6);
        row("2.5", 609, "2.5", 2);
        row("3.5", 609, "3.5", 4);
        row("2.5001", 609, "2.5001", 3);
        row("-2.5", 609, "-2.5", -2);
        row("top of 32 bits", 609, "2147483647.4", 2147483647);
        row("past 32 bits, real", 609, "2147483647.5", 0, 6);
        row("bottom, half to even", 609, "-2147483648.5", -2147483647 - 1);
        row("below 32 bits", 609, "-2147483648.6", 0, 6);
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
        using Fill = void (*)(ConfigClass&);
        const Fill fill[] = {GetInputDefaults, GetOutputDefaults, GetGenDefaults,
                             GetFactoryDefaults, GetAllDefaults};
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass c = Prefilled();
        fill[section](c);
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
        QTest::addColumn<QString>("procedure");
        QTest::newRow("300 for key 593") << 593 << qint64(300) << "GetInputDefaults";
        QTest::newRow("-1 for key 593") << 593 << qint64(-1) << "GetInputDefaults";
        QTest::newRow("256 for key 769") << 769 << qint64(256) << "GetInputDefaults";
        QTest::newRow("300 for key 945") << 945 << qint64(300) << "GetOutputDefaults";
        QTest::newRow("300 for key 1062") << 1062 << qint64(300) << "GetGenDefaults";
        QTest::newRow("300 for key -1") << -1 << qint64(300) << "GetGenDefaults";
        QTest::newRow("40000 for BrightMin") << 1172 << qint64(40000) << "GetFactoryDefaults";
        QTest::newRow("300 for key 1175") << 1175 << qint64(300) << "GetFactoryDefaults";
    }

    void byteOverflowStopsTheSection()
    {
        QFETCH(int, key);
        QFETCH(qint64, value);
        QFETCH(QString, procedure);
        RecordingUi ui;
        openWith(With(key, value));
        ConfigClass c = Prefilled();
        GetAllDefaults(c);
        // One report for the section, the other sections still filled.
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 ErrorReport(6, "Overflow", qPrintable("DataFunctions." + procedure)));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        if (procedure != QLatin1String("GetInputDefaults"))
            QCOMPARE(c.InSecu(12), 1);
        if (procedure != QLatin1String("GetOutputDefaults"))
            QCOMPARE(c.OutMode(12), 13);
        if (procedure != QLatin1String("GetGenDefaults"))
            QCOMPARE(c.GenParam(32), 16);
        if (procedure != QLatin1String("GetFactoryDefaults"))
            QCOMPARE(c.CommonType(), 15);
        // The fields before the overflow are filled, the later ones not.
        if (key == 593)
            QCOMPARE(c.InTempo(1), Prefilled().InTempo(1));
        if (key == 1062)
            QCOMPARE(QList<int>({c.GenParam(4), c.GenParam(5), c.GenParam(6)}),
                     QList<int>({104, 77, 77}));
    }

    void noDataFileIsReportedOncePerSection()
    {
        RecordingUi ui;
        CloseDataFile();
        QCOMPARE(GetDefaultValue(593), 0);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(),
                 ErrorReport(91, "Object variable not set", "DataFunctions.GetDefaultValue"));
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(c, Prefilled());
    }
};

QTEST_GUILESS_MAIN(TestDefaultFunctions)
#include "tst_defaultfunctions.moc"
