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

// What each section of AllDefaults() gives, without the key `without`.
void ExpectSection(int section, ConfigClass& c, int without)
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
            c.SetInDisturb(ch, without == 769 ? 0 : 9);
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
        c.SetGenParam(32, without == -1 ? 0 : 16);
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

    // Opens a data file holding these defaults.
    void openWith(const QList<DefaultSourceRow>& defaults)
    {
        DataSources s = Standard();
        s.defaults = defaults;
        const QString file = m_dir.filePath(QStringLiteral("defaults%1.dat").arg(++m_files));
        Write(s, file);
        QVERIFY(OpenDataFile(file));
    }

    // Opens a data file whose row key holds a value written as SQL (a real).
    void openStoring(int key, const QString& sqlValue)
    {
        const QString file = m_dir.filePath(QStringLiteral("stored%1.dat").arg(++m_files));
        DataSources s = Standard();
        s.defaults = AllDefaults();
        Write(s, file);
        Sql(file,
            QStringLiteral("UPDATE T_Defaults SET Valeur=%1 WHERE Key=%2").arg(sqlValue).arg(key));
        QVERIFY(OpenDataFile(file));
    }

    static QList<DefaultSourceRow> With(int key, std::optional<qint64> value)
    {
        QList<DefaultSourceRow> rows = AllDefaults();
        for (DefaultSourceRow& row : rows) {
            if (row.key == key) {
                row.value = value;
                return rows;
            }
        }
        rows << Default(key, value);
        return rows;
    }

    static QList<DefaultSourceRow> Without(int key)
    {
        QList<DefaultSourceRow> rows = AllDefaults();
        rows.removeIf([key](const DefaultSourceRow& row) { return row.key == key; });
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void cleanup() { CloseDataFile(); }

    void defaultValue_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("byte") << 593 << 1;
        QTest::newRow("32 bits") << 609 << 100000;
        QTest::newRow("negative value") << 1172 << -200;
        QTest::newRow("key -1") << -1 << 16;
        QTest::newRow("no row") << 600 << 0;
        QTest::newRow("empty value") << 1000 << 0;
    }

    void defaultValue()
    {
        QFETCH(int, key);
        QFETCH(int, expected);
        RecordingUi ui;
        openWith(With(1000, std::nullopt));
        QCOMPARE(GetDefaultValue(std::int16_t(key)), expected);
        QVERIFY(ui.messages.isEmpty());
    }

    void sections_data()
    {
        QTest::addColumn<int>("section"); // 0..3, 4: all of them
        QTest::addColumn<int>("without"); // a key without a row (0: none)
        QTest::newRow("inputs") << 0 << 0;
        QTest::newRow("inputs without 769") << 0 << 769;
        QTest::newRow("outputs") << 1 << 0;
        QTest::newRow("general") << 2 << 0;
        QTest::newRow("general without -1") << 2 << -1;
        QTest::newRow("factory") << 3 << 0;
        QTest::newRow("all") << 4 << 0;
    }
    void sections()
    {
        QFETCH(int, section);
        QFETCH(int, without);
        using Fill = void (*)(ConfigClass&);
        const Fill fill[] = {GetInputDefaults, GetOutputDefaults, GetGenDefaults,
                             GetFactoryDefaults, GetAllDefaults};
        RecordingUi ui;
        openWith(without ? Without(without) : AllDefaults());
        ConfigClass c = Prefilled();
        fill[section](c);
        ConfigClass expected = Prefilled();
        for (int s = 0; s <= 3; ++s) {
            if (s == section || section == 4)
                ExpectSection(s, expected, without);
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
    }

    void fieldsBeforeTheOverflowKeepTheirValues()
    {
        RecordingUi ui;
        openWith(With(593, 300)); // the first field of channel 1: nothing moves
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QVERIFY(c == Prefilled());
        openWith(With(1062, 300)); // GenParam(5)
        GetGenDefaults(c);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.lastText(), ErrorReport(6, "Overflow", "DataFunctions.GetGenDefaults"));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(int(c.GenParam(i)), 100 + i);
        QCOMPARE(c.GenParam(5), 77);
        QCOMPARE(c.GenParam(6), 77);
        QCOMPARE(c.GenTempoRelance(), Prefilled().GenTempoRelance());
    }

    void oddValuesInTheTable()
    {
        RecordingUi ui;
        const QString file = m_dir.filePath(QStringLiteral("odd.dat"));
        DataSources s = Standard();
        s.defaults = AllDefaults();
        Write(s, file);
        Sql(file, QStringLiteral("UPDATE T_Defaults SET Valeur=5000000000 WHERE Key=609; "
                                 "UPDATE T_Defaults SET Valeur='abc' WHERE Key=657; "
                                 "UPDATE T_Defaults SET Valeur='' WHERE Key=673"));
        QVERIFY(OpenDataFile(file));
        QCOMPARE(GetDefaultValue(609), 0);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(), ErrorReport(6, "Overflow", "DataFunctions.GetDefaultValue"));
        QCOMPARE(GetDefaultValue(657), 0);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.lastText(), ErrorReport(13, "Type mismatch", "DataFunctions.GetDefaultValue"));
        QCOMPARE(GetDefaultValue(673), 0);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(GetDefaultValue(593), 1);
    }

    // A value stored as a real number is taken as the nearest whole number,
    // halves to even; what then does not fit is an overflow.
    void realValues_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected"); // 0 with the overflow report
        QTest::addColumn<bool>("overflow");
        QTest::newRow("2.5") << 609 << "2.5" << 2 << false;
        QTest::newRow("3.5") << 609 << "3.5" << 4 << false;
        QTest::newRow("2.5001") << 609 << "2.5001" << 3 << false;
        QTest::newRow("-2.5") << 609 << "-2.5" << -2 << false;
        QTest::newRow("top of 32 bits") << 609 << "2147483647.4" << 2147483647 << false;
        QTest::newRow("past 32 bits") << 609 << "2147483647.5" << 0 << true;
        QTest::newRow("bottom, half to even") << 609 << "-2147483648.5" << -2147483647 - 1 << false;
        QTest::newRow("below 32 bits") << 609 << "-2147483648.6" << 0 << true;
        QTest::newRow("byte 254.5") << 593 << "254.5" << 254 << false;
    }

    void realValues()
    {
        QFETCH(int, key);
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QFETCH(bool, overflow);
        RecordingUi ui;
        openStoring(key, stored);
        QCOMPARE(GetDefaultValue(std::int16_t(key)), expected);
        QCOMPARE(ui.messages.size(), overflow ? 1 : 0);
        if (overflow)
            QCOMPARE(ui.lastText(), ErrorReport(6, "Overflow", "DataFunctions.GetDefaultValue"));
        // Filling a section takes the same value.
        const ConfigClass before = Prefilled();
        ConfigClass c = before;
        GetInputDefaults(c);
        const auto channel12 = [key](const ConfigClass& r) {
            return key == 609 ? r.InTempo(12) : std::int32_t(r.InSecu(12));
        };
        QCOMPARE(channel12(c), overflow ? channel12(before) : expected);
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
