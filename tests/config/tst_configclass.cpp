#include "config/ConfigClass.h"
#include "ErrorReport.h"
#include "RecordingUi.h"

#include <QTest>

#include <functional>

using Access = std::function<int(ConfigClass&)>;
Q_DECLARE_METATYPE(Access)

class TestConfigClass : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newRecordIsZeroBesideItsType()
    {
        const QByteArray type("\x05\0\0\0Orvel", 9);
        QCOMPARE(ConfigClass().ToFileBytes(), QByteArray(241, 0) + type + QByteArray(46, 0));
    }

    void slaveNumberMirrorsOneWay()
    {
        ConfigClass c;
        c.SetGenParam(23, 7);
        QCOMPARE(int(c.ModuleNo()), 7);
        c.SetModuleNo(9);
        QCOMPARE(int(c.GenParam(23)), 7);
        c.SetGenParam(22, 5); // no other index mirrors
        QCOMPARE(int(c.ModuleNo()), 9);
    }

    void badIndexReportedAndNothingStored_data()
    {
        QTest::addColumn<Access>("access");
        QTest::addColumn<QString>("procedure");
        auto row = [](const char* name, const char* procedure, Access access) {
            QTest::newRow(name) << access << QString::fromLatin1(procedure);
        };
        row("SetInRedir(13, 1)", "ConfigClass.InRedir",
            [](ConfigClass& c) { return c.SetInRedir(13, 1, 4), 0; });
        row("SetInRedir(1, 0)", "ConfigClass.InRedir",
            [](ConfigClass& c) { return c.SetInRedir(1, 0, 4), 0; });
        row("SetGenParam(33)", "ConfigClass.GenParam",
            [](ConfigClass& c) { return c.SetGenParam(33, 4), 0; });
        row("SetGenParam(-1)", "ConfigClass.GenParam",
            [](ConfigClass& c) { return c.SetGenParam(-1, 4), 0; });
        row("SetInSecu(0)", "ConfigClass.InSecu",
            [](ConfigClass& c) { return c.SetInSecu(0, 4), 0; });
        row("SetOutMode(13)", "ConfigClass.OutMode",
            [](ConfigClass& c) { return c.SetOutMode(13, 4), 0; });
        row("SetInTempo(13)", "ConfigClass.InTempo",
            [](ConfigClass& c) { return c.SetInTempo(13, 4), 0; });
        row("InSecu(13)", "ConfigClass.InSecu", [](ConfigClass& c) { return int(c.InSecu(13)); });
        row("InRedir(12, 5)", "ConfigClass.InRedir",
            [](ConfigClass& c) { return int(c.InRedir(12, 5)); });
    }
    void badIndexReportedAndNothingStored()
    {
        QFETCH(Access, access);
        QFETCH(QString, procedure);
        RecordingUi ui;
        ConfigClass c;
        c.SetInSecu(12, 3);
        c.SetInRedir(12, 4, 3);
        const ConfigClass before = c;
        QCOMPARE(access(c), 0);
        QVERIFY(c == before);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 ErrorReport(9, "Subscript out of range", qPrintable(procedure)));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
    }
};

QTEST_GUILESS_MAIN(TestConfigClass)
#include "tst_configclass.moc"
