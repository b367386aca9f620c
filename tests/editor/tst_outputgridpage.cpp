// The output grid driven by the keyboard: the driving list by mode, the
// value of the common alarm driving, and the restricted state that a common
// alarm output puts the general page in.

#include "PanelTestSupport.h"

#include "config/ConfigClass.h"

#include <QFrame>

using namespace PanelTest;

namespace {
QStringList Texts(std::initializer_list<int> tags)
{
    QStringList texts;
    for (int tag : tags)
        texts << GetCaption(tag);
    return texts;
}

QStringList Entries(QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}
} // namespace

class tst_OutputGridPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenShippedTexts()); }
    void cleanupTestCase() { CloseDataFile(); }

    void safetyAndMode()
    {
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Outputs(panel);
        QVERIFY(ChooseInCell(grid, 3, 1, 1));
        QCOMPARE(panel.Config().OutSecu(3), 1);
        QCOMPARE(grid->TextMatrix(3, 1), GetCaption(32021));
        QVERIFY(panel.Modified());
    }

    // Mode 0 offers six driving entries stored by position; mode 1 offers the
    // first one and the default driving (key 945), whatever was stored.
    void drivingByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("stored");
        const QStringList six = Texts({32010, 32011, 32012, 32013, 32014, 32015});
        const QStringList two = Texts({32010, 32012});
        QTest::newRow("mode 0, entry 5") << 0 << six << 5 << 5;
        QTest::newRow("mode 0, entry 1") << 0 << six << 1 << 1;
        QTest::newRow("mode 1, entry 1") << 1 << two << 1 << int(GetDefaultValue(945));
        QTest::newRow("mode 1, entry 0") << 1 << two << 0 << 0;
    }
    void drivingByMode()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, offered);
        QFETCH(int, entry);
        QFETCH(int, stored);
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Outputs(panel);
        if (mode == 1)
            QVERIFY(ChooseInCell(grid, 4, 2, 1));
        QCOMPARE(OfferedEntries(grid, 4, 3), offered);
        QVERIFY(ChooseInCell(grid, 4, 3, entry));
        QCOMPARE(panel.Config().OutPilot(4), stored);
        QCOMPARE(grid->TextMatrix(4, 3), GetCaption(32010 + stored));
    }

    // Changing the mode keeps the stored driving, even one its list lacks.
    void modeKeepsDriving()
    {
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Outputs(panel);
        QVERIFY(ChooseInCell(grid, 2, 3, 5));
        QVERIFY(ChooseInCell(grid, 2, 2, 1));
        QCOMPARE(panel.Config().OutPilot(2), 5);
        QCOMPARE(grid->TextMatrix(2, 3), GetCaption(32015));
    }

    // An output in common alarm mode restricts the general page: the warning
    // shows, parameter 0 is 0 and parameter 5 is 1, each list has one entry.
    // Back to no such output: full lists, parameter 5 back to 0. A second
    // check in a row changes nothing.
    void restrictedState()
    {
        RecordingUi ui;
        wPanneau panel(false);
        panel.show();
        EditGrid* grid = Outputs(panel);
        auto* warning = child<QFrame>(&panel, "picWarning");
        auto* combo0 = child<QComboBox>(&panel, "cboGenParam0");
        auto* combo5 = child<QComboBox>(&panel, "cboGenParam5");
        panel.Config().SetGenParam(0, 2);
        panel.RefreshFields();
        QVERIFY(warning->isHidden());

        QVERIFY(ChooseInCell(grid, 8, 2, 1));
        QVERIFY(!warning->isHidden());
        QCOMPARE(panel.Config().GenParam(0), 0);
        QCOMPARE(panel.Config().GenParam(5), 1);
        QCOMPARE(Entries(combo0), Texts({33110}));
        QCOMPARE(Entries(combo5), Texts({33611}));
        QCOMPARE(combo5->currentIndex(), 0);

        const ConfigClass restricted = panel.Config();
        panel.SetModified(false);
        panel.RefreshFields();
        panel.RefreshFields();
        QVERIFY(panel.Config() == restricted);
        QVERIFY(!panel.Modified());

        QVERIFY(ChooseInCell(grid, 8, 2, 0));
        QVERIFY(warning->isHidden());
        QCOMPARE(panel.Config().GenParam(0), 0);
        QCOMPARE(panel.Config().GenParam(5), 0);
        QCOMPARE(Entries(combo0), Texts({33110, 33111, 33112}));
        QCOMPARE(Entries(combo5), Texts({33610, 33611}));
        QCOMPARE(combo0->currentIndex(), 0);
    }

    // In the restricted state a page that brings other values (a reset of the
    // general page) is brought back to what the state fixes.
    void restrictedStateHoldsItsValues()
    {
        wPanneau panel(false);
        panel.Config().SetOutMode(1, 1);
        panel.RefreshFields();
        panel.Config().SetGenParam(5, 0);
        panel.Config().SetGenParam(0, 1);
        panel.RefreshFields();
        QCOMPARE(panel.Config().GenParam(0), 0);
        QCOMPARE(panel.Config().GenParam(5), 1);
    }
};

QTEST_MAIN(tst_OutputGridPage)
#include "tst_outputgridpage.moc"
