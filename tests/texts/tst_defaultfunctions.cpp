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

ConfigClass Prefilled()
{
    ConfigClass c;
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        c.SetInSecu(ch, 77);
        c.SetInTempo(ch, 77);
        c.SetInSequence(ch, 77);
        c.SetInDetect(ch, 77);
        c.SetInRelance(ch, 77);
        c.SetInBlocage(ch, 77);
        for (int k = 1; k <= ConfigClass::Redirections; ++k)
            c.SetInRedir(ch, k, 77);
        c.SetInSynth(ch, 77);
        c.SetInTypeKL(ch, 77);
        c.SetInDisturb(ch, 77);
        c.SetInRepBlock(ch, 77);
        c.SetOutSecu(ch, 77);
        c.SetOutPilot(ch, 77);
        c.SetOutMode(ch, 77);
    }
    for (int i = 0; i < ConfigClass::GenParamCount; ++i)
        c.SetGenParam(i, 77);
    c.SetGenTempoRelance(77);
    c.SetBrightMin(77);
    c.SetSupplyType(77);
    c.SetCommonType(77);
    c.SetModuleNo(77);
    c.SetModuleName(QStringLiteral("Boiler room"));
    c.SetModuleType(QStringLiteral("O12"));
    return c;
}

QString OverflowIn(const char* procedure)
{
    return QStringLiteral("Error Nr 6 : Overflow\r\n\r\nModule : DataFunctions\r\nFunction : ") +
           QLatin1String(procedure);
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

    void inputs()
    {
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QVERIFY(ui.messages.isEmpty());
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            QCOMPARE(c.InSecu(ch), 1);
            QCOMPARE(c.InTempo(ch), 100000);
            QCOMPARE(c.InSequence(ch), 3);
            QCOMPARE(c.InDetect(ch), 4);
            QCOMPARE(c.InRelance(ch), 5);
            QCOMPARE(c.InBlocage(ch), 6);
            QCOMPARE(c.InSynth(ch), 7);
            QCOMPARE(c.InTypeKL(ch), 8);
            QCOMPARE(c.InDisturb(ch), 9);
            QCOMPARE(c.InRepBlock(ch), 10);
            QCOMPARE(c.InRedir(ch, 1), ch);
            for (int k = 2; k <= ConfigClass::Redirections; ++k)
                QCOMPARE(c.InRedir(ch, k), 0);
            // The other sections are not touched.
            QCOMPARE(c.OutSecu(ch), 77);
        }
        QCOMPARE(c.InRedir(5, 1), 5);
        QCOMPARE(c.GenParam(0), 77);
    }

    void missingRow769GivesZero()
    {
        RecordingUi ui;
        openWith(Without(769));
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QVERIFY(ui.messages.isEmpty());
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            QCOMPARE(c.InDisturb(ch), 0);
            QCOMPARE(c.InRepBlock(ch), 10);
        }
    }

    void outputs()
    {
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass c = Prefilled();
        GetOutputDefaults(c);
        QVERIFY(ui.messages.isEmpty());
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            QCOMPARE(c.OutSecu(ch), 11);
            QCOMPARE(c.OutPilot(ch), 12);
            QCOMPARE(c.OutMode(ch), 13);
            QCOMPARE(c.InSecu(ch), 77);
        }
    }

    void general_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        for (int i = 0; i <= 12; ++i)
            QTest::addRow("GenParam(%d) key %d", i, 1057 + i) << i << 100 + i;
        QTest::newRow("GenParam(13) never filled") << 13 << 77;
        for (int i = 14; i <= 21; ++i)
            QTest::addRow("GenParam(%d) key %d", i, 1093 + i) << i << 100 + i;
        for (int i = 22; i <= 27; ++i)
            QTest::addRow("GenParam(%d) key %d", i, 1115 + i) << i << 100 + i;
        QTest::newRow("GenParam(28) key 1154") << 28 << 128;
        for (int i = 29; i <= 31; ++i)
            QTest::addRow("GenParam(%d) key %d", i, 1070 + i) << i << 100 + i;
        QTest::newRow("GenParam(32) key -1") << 32 << 16;
    }

    void general()
    {
        QFETCH(int, index);
        QFETCH(int, expected);
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass c = Prefilled();
        GetGenDefaults(c);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(int(c.GenParam(index)), expected);
        QCOMPARE(c.GenTempoRelance(), 70000);
        // The slave number, GenParam(23), sets the module number with it.
        QCOMPARE(c.ModuleNo(), c.GenParam(23));
        QCOMPARE(c.ModuleName(), QStringLiteral("Boiler room"));
        QCOMPARE(c.ModuleType(), QStringLiteral("O12"));
        QCOMPARE(c.BrightMin(), 77);
        QCOMPARE(c.InSecu(1), 77);
    }

    void keyMinusOneIsNormallyZero()
    {
        openWith(Without(-1));
        ConfigClass c = Prefilled();
        GetGenDefaults(c);
        QCOMPARE(c.GenParam(32), 0);
    }

    void factory()
    {
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass c = Prefilled();
        GetFactoryDefaults(c);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(c.BrightMin(), -200);
        QCOMPARE(c.SupplyType(), 14);
        QCOMPARE(c.CommonType(), 15);
        QCOMPARE(c.GenParam(0), 77);
    }

    void allDefaultsMakeANewRecord()
    {
        RecordingUi ui;
        openWith(AllDefaults());
        ConfigClass sections = Prefilled();
        GetInputDefaults(sections);
        GetOutputDefaults(sections);
        GetGenDefaults(sections);
        GetFactoryDefaults(sections);
        ConfigClass all = Prefilled();
        GetAllDefaults(all);
        QVERIFY(all == sections);
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
        QCOMPARE(ui.messages[0].text, OverflowIn(qPrintable(procedure)));
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

    void inputOverflowLeavesTheRestAsItWas()
    {
        RecordingUi ui;
        openWith(With(593, 300));
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(), OverflowIn("GetInputDefaults"));
        // The first field of channel 1 overflowed: nothing of the section moved.
        QCOMPARE(c, Prefilled());
    }

    void fieldsBeforeTheOverflowKeepTheirValues()
    {
        RecordingUi ui;
        openWith(With(1062, 300)); // GenParam(5)
        ConfigClass c = Prefilled();
        GetGenDefaults(c);
        QCOMPARE(ui.lastText(), OverflowIn("GetGenDefaults"));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(int(c.GenParam(i)), 100 + i);
        QCOMPARE(c.GenParam(5), 77);
        QCOMPARE(c.GenParam(6), 77);
        QCOMPARE(c.GenTempoRelance(), 77);
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
        QCOMPARE(ui.lastText(), OverflowIn("GetDefaultValue"));
        QCOMPARE(GetDefaultValue(657), 0);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.lastText(), QStringLiteral("Error Nr 13 : Type mismatch\r\n\r\nModule : "
                                               "DataFunctions\r\nFunction : GetDefaultValue"));
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
            QCOMPARE(ui.lastText(), OverflowIn("GetDefaultValue"));
        // Filling a section takes the same value.
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QCOMPARE(key == 609 ? c.InTempo(12) : c.InSecu(12), overflow ? 77 : expected);
    }

    void noDataFileIsReportedOncePerSection()
    {
        RecordingUi ui;
        CloseDataFile();
        QCOMPARE(GetDefaultValue(593), 0);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(),
                 QStringLiteral("Error Nr 91 : Object variable not set\r\n\r\n"
                                "Module : DataFunctions\r\nFunction : GetDefaultValue"));
        ConfigClass c = Prefilled();
        GetInputDefaults(c);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(c, Prefilled());
    }
};

QTEST_GUILESS_MAIN(TestDefaultFunctions)
#include "tst_defaultfunctions.moc"
