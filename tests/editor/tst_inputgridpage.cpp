// The input grid driven by the keyboard: what each column stores and shows,
// the delay entry, every refusal with its message, and the cells that the
// sequence and the disturbance make read-only.

#include "PanelTestSupport.h"

#include "config/ConfigClass.h"

using namespace PanelTest;

namespace {
// The record field behind an input grid column (redirection k for 10..13).
std::int32_t Field(const ConfigClass& c, int ch, int col)
{
    switch (col) {
    case 1:
        return c.InSecu(ch);
    case 6:
        return c.InSequence(ch);
    case 7:
        return c.InDetect(ch);
    case 8:
        return c.InRelance(ch);
    case 9:
        return c.InBlocage(ch);
    case 14:
        return c.InSynth(ch);
    case 15:
        return c.InTypeKL(ch);
    case 16:
        return c.InDisturb(ch);
    default:
        return c.InRedir(ch, col - 9);
    }
}
} // namespace

class tst_InputGridPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenShippedTexts()); }
    void cleanupTestCase() { CloseDataFile(); }

    // A list entry (index >= 0) or a typed number goes into the record, and
    // the refreshed cell shows the text of the stored value.
    void cellStoresAndShows_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fail-safe") << 1 << 1 << "" << 1 << GetCaption(31101);
        QTest::newRow("detection") << 7 << 2 << "" << 2 << GetCaption(31122);
        QTest::newRow("re-trigger") << 8 << 1 << "" << 1 << GetCaption(11);
        QTest::newRow("blocking") << 9 << 1 << "" << 1 << GetCaption(11);
        QTest::newRow("grouping off") << 14 << 0 << "" << 0 << GetCaption(10);
        QTest::newRow("no horn") << 15 << 0 << "" << 4 << GetCaption(31130);
        QTest::newRow("horn type 2") << 15 << 2 << "" << 1 << GetCaption(31132);
        QTest::newRow("horn type 4") << 15 << 4 << "" << 3 << GetCaption(31134);
        QTest::newRow("disturbance") << 16 << 1 << "" << 1 << GetCaption(11);
        QTest::newRow("redirection 1") << 10 << -1 << "7" << 7 << "7";
        QTest::newRow("redirection 4 at 12") << 13 << -1 << "12" << 12 << "12";
        QTest::newRow("redirection 1 to 0") << 10 << -1 << "0" << 0 << "0";
    }
    void cellStoresAndShows()
    {
        QFETCH(int, col);
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        const int ch = 6;
        if (entry >= 0)
            QVERIFY(ChooseInCell(grid, ch + 1, col, entry));
        else
            TypeInCell(grid, ch + 1, col, typed);
        QCOMPARE(Field(panel.Config(), ch, col), stored);
        panel.RefreshFields();
        QCOMPARE(grid->TextMatrix(ch + 1, col), shown);
        QVERIFY(panel.Modified());
        QVERIFY(ui.messages.isEmpty());
        // The other channels keep their defaults.
        wPanneau fresh(false);
        QCOMPARE(Field(panel.Config(), 5, col), Field(fresh.Config(), 5, col));
    }

    // The delay cells: typed parts, rounding to a tenth of a second (a half
    // to the even tenth), the 20 ms floor, and what the cells then show.
    void delayEntry_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("msShown");
        // The default delay is 100 ms.
        QTest::newRow("150 ms to 200") << 5 << "150" << 40 << "200";
        QTest::newRow("250 ms to 200") << 5 << "250" << 40 << "200";
        QTest::newRow("350 ms to 400") << 5 << "350" << 80 << "400";
        QTest::newRow("50 ms to the floor") << 5 << "50" << 4 << "20";
        QTest::newRow("0 ms to the floor") << 5 << "0" << 4 << "20";
        QTest::newRow("5 s") << 4 << "5" << 1020 << "100";
        QTest::newRow("59 min") << 3 << "59" << 708020 << "100";
        QTest::newRow("22 h") << 2 << "22" << 15840020 << "100";
    }
    void delayEntry()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(int, ticks);
        QFETCH(QString, msShown);
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        TypeInCell(grid, 4, col, typed);
        QCOMPARE(panel.Config().InTempo(3), ticks);
        QCOMPARE(grid->TextMatrix(4, 5), msShown);
        if (col != 5)
            QCOMPARE(grid->TextMatrix(4, col), typed);
        QVERIFY(ui.messages.isEmpty());
    }

    // Refused entries: the message, the previous text back in the cell and
    // the record as it was.
    void refusals_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString delay = GetText(10201) + QStringLiteral("\r( 0 - 22h 59mn 59s 900ms )");
        QTest::newRow("23 h") << 2 << "23" << delay;
        QTest::newRow("60 min") << 3 << "60" << delay;
        QTest::newRow("60 s") << 4 << "60" << delay;
        QTest::newRow("950 ms") << 5 << "950" << delay;
        QTest::newRow("redirection 13") << 10 << "13" << GetText(10202);
    }
    void refusals()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        RecordingUi ui;
        wPanneau panel(false);
        const ConfigClass before = panel.Config();
        EditGrid* grid = Inputs(panel);
        const QString previous = grid->TextMatrix(3, col);
        TypeInCell(grid, 3, col, typed);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, message);
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(grid->TextMatrix(3, col), previous);
        QVERIFY(panel.Config() == before);
        QVERIFY(!panel.Modified());
    }

    // Keys that must not change anything: a letter in an up-down cell, and
    // Escape in an edit in progress.
    void keysWithoutEffect()
    {
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        grid->SetCurrentCell(2, 3);
        QTest::keyClick(grid, Qt::Key_A);
        QVERIFY(!grid->CellEditor());
        QTest::keyClick(grid, Qt::Key_F2);
        QWidget* editor = grid->CellEditor();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("x5"));
        QTest::keyClick(editor, Qt::Key_Escape);
        Settle();
        QVERIFY(!grid->CellEditor());
        QCOMPARE(grid->TextMatrix(2, 3), QStringLiteral("0"));
        QCOMPARE(panel.Config().InTempo(1), 20);
        QVERIFY(!panel.Modified());
        // The arrow keys move between cells.
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->Row(), 3);
        QCOMPARE(grid->Col(), 4);
    }

    // The sequence's second entry fixes the horn type to none and locks it;
    // the first entry unlocks it.
    void statusInputHasNoHorn()
    {
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        QVERIFY(ChooseInCell(grid, 4, 6, 1));
        QCOMPARE(panel.Config().InSequence(3), 1);
        QCOMPARE(panel.Config().InTypeKL(3), 4);
        QCOMPARE(grid->TextMatrix(4, 15), GetCaption(31130));
        QVERIFY(!ChooseInCell(grid, 4, 15, 2));
        QCOMPARE(panel.Config().InTypeKL(3), 4);
        QVERIFY(ChooseInCell(grid, 4, 6, 0));
        QVERIFY(ChooseInCell(grid, 4, 15, 2));
        QCOMPARE(panel.Config().InTypeKL(3), 1);
    }

    // Repeat blocking can be set only with disturbance; clearing the
    // disturbance clears it.
    void repeatBlockingNeedsDisturbance()
    {
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        QVERIFY(!ChooseInCell(grid, 9, 17, 1));
        QVERIFY(ChooseInCell(grid, 9, 16, 1));
        QVERIFY(ChooseInCell(grid, 9, 17, 1));
        QCOMPARE(panel.Config().InRepBlock(8), 1);
        QVERIFY(ChooseInCell(grid, 9, 16, 0));
        QCOMPARE(panel.Config().InRepBlock(8), 0);
        QCOMPARE(grid->TextMatrix(9, 17), GetCaption(10));
        QVERIFY(!ChooseInCell(grid, 9, 17, 1));
    }

    // Moving to a column shows its tool tip and its help with the default value.
    void helpOfTheColumn()
    {
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        grid->SetCurrentCell(5, 9);
        grid->SetCurrentCell(5, 3);
        QCOMPARE(grid->toolTip(), GetToolTip(31153));
        const QStringList help = GetText(100353).split(QStringLiteral("\r\n"));
        QCOMPARE(panel.HelpLine(), help[0] + QStringLiteral(".        ") + GetText(30120) +
                                       QStringLiteral(" : ") + help[1]);
    }
};

QTEST_MAIN(tst_InputGridPage)
#include "tst_inputgridpage.moc"
