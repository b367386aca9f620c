// The panel window driven by keys as a user does, with the shipped data file:
// cells and fields, the rules between them, refusals, closing, the language.

#include "RecordingUi.h"
#include "WidgetLookup.h"

#include "config/ConfigClass.h"
#include "editor/EditGrid.h"
#include "editor/UpDownEdit.h"
#include "editor/wPanneau.h"
#include "texts/DataFunctions.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>

namespace {
EditGrid* Inputs(wPanneau& panel, const char* name = "grdInputs")
{
    return child<EditGrid>(&panel, name);
}

// Lets a queued commit (Enter in a cell editor) run.
void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The first key starts the edit, Enter commits it.
void TypeInCell(EditGrid* grid, int row, int col, const QString& text)
{
    grid->SetCurrentCell(row, col);
    QTest::keyClick(grid, text.at(0).toLatin1());
    if (QWidget* editor = grid->CellEditor()) {
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }
    Settle();
}

QStringList Entries(QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

// Home, then the arrows down to entry index; the entries offered.
QStringList Choose(QComboBox* combo, int index)
{
    const QStringList entries = Entries(combo);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    Settle();
    return entries;
}

// F2 opens a list cell, Enter commits; the entries offered, none when it stays shut.
QStringList ChooseInCell(EditGrid* grid, int row, int col, int index)
{
    grid->SetCurrentCell(row, col);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* list = qobject_cast<QComboBox*>(grid->CellEditor());
    const QStringList entries = list ? Choose(list, index) : QStringList();
    if (list)
        QTest::keyClick(list, Qt::Key_Return);
    Settle();
    return entries;
}

// Replaces a numeric field's text by typing, then leaves it with Enter.
void TypeInField(QAbstractSpinBox* field, const QString& text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_End);
    for (qsizetype i = field->findChild<QLineEdit*>()->text().size(); i > 0; --i)
        QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    Settle();
}

QStringList Captions(std::initializer_list<int> tags)
{
    QStringList texts;
    for (int tag : tags)
        texts << GetCaption(tag);
    return texts;
}

// The record field behind an input grid column (delay 2..5, redirection 10..13).
int InputField(const ConfigClass& c, int ch, int col)
{
    switch (col) {
    case 1:
        return c.InSecu(ch);
    case 15:
        return c.InTypeKL(ch);
    default:
        return col <= 5 ? c.InTempo(ch) : c.InRedir(ch, col - 9);
    }
}

// Column, what is typed ("=n": list entry n), value stored, text shown, refusal.
using Cell = std::tuple<int, QString, int, QString, QString>;
// A numeric field, what is typed, the parameter (-1: minimum brightness), value stored.
using Field = std::tuple<QString, QString, int, int>;
// Modified, closed by the program, the answer to the question, closed.
using Close = std::tuple<bool, bool, MsgAnswer, bool>;
} // namespace

class tst_wPanneau : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ORVEL_BIN_DIR "/orvel.dat"));
        SetCurrentLanguage(QString());
    }
    void cleanup() { SetCurrentLanguage(QString()); }
    void cleanupTestCase() { CloseDataFile(); }

    // A whole configuration set through the widgets saves the bytes of the same record.
    void endToEnd()
    {
        RecordingUi ui;
        wPanneau panel(true);
        panel.show();
        ConfigClass expected = panel.Config();

        EditGrid* in = Inputs(panel);
        using C = ConfigClass;
        // List columns: entry ch % m (1 for m = 0) for channel ch, stored as it is.
        const std::tuple<int, int, void (C::*)(int, std::uint8_t)> cells[] = {
            {1, 2, &C::SetInSecu},    {7, 3, &C::SetInDetect}, {8, 0, &C::SetInRelance},
            {9, 2, &C::SetInBlocage}, {14, 0, &C::SetInSynth}, {16, 0, &C::SetInDisturb}};
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            const int row = ch + 1;
            for (const auto& [col, m, set] : cells) {
                QVERIFY(!ChooseInCell(in, row, col, m ? ch % m : 1).isEmpty());
                (expected.*set)(ch, m ? ch % m : 1);
            }
            TypeInCell(in, row, 4, QString::number(ch));
            expected.SetInTempo(ch, (ch * 1000 + 100) / 5);
            TypeInCell(in, row, 11, QString::number(13 - ch));
            expected.SetInRedir(ch, 2, 13 - ch);
            ChooseInCell(in, row, 15, 1 + ch % 4);
            expected.SetInTypeKL(ch, ch % 4);
        }
        panel.SelectPage(2);
        EditGrid* out = Inputs(panel, "grdOutputs");
        for (int n = 1; n <= ConfigClass::Channels; ++n) {
            ChooseInCell(out, n, 1, 1 - n % 2);
            expected.SetOutSecu(n, 1 - n % 2);
            ChooseInCell(out, n, 3, n % 6);
            expected.SetOutPilot(n, n % 6);
        }
        panel.SelectPage(3);
        // Lists store their position, some with an offset, the speed its code.
        const QList<std::tuple<const char*, int, int, int>> lists{
            {"cboGenParam0", 2, 0, 2},    {"cboGenParam3", 3, 3, 3},  {"cboGenParam12", 1, 12, 1},
            {"cboGenParam29", 1, 29, 1},  {"cboVref", 3, 21, 4},      {"cboCommType", 2, 22, 2},
            {"cboCommSpeed", 4, 24, 255}, {"cboCommStops", 1, 25, 2}, {"cboCtrlBus", 3, 26, 3},
            {"cboLanguage", 2, 28, 2}};
        for (const auto& [name, entry, param, stored] : lists) {
            Choose(child<QComboBox>(&panel, name), entry);
            expected.SetGenParam(param, stored);
        }
        TypeInField(child<UpDownEdit>(&panel, "txtGenMinMax1"), "90");
        expected.SetGenParam(15, 90);
        TypeInField(child<UpDownEdit>(&panel, "txtTempoRel2"), "30");
        expected.SetGenTempoRelance((10 * 60000 + 30000) / 5);
        TypeInField(child<UpDownEdit>(&panel, "txtCommSlave"), "17");
        expected.SetGenParam(23, 17);
        QTest::mouseClick(child<QRadioButton>(&panel, "optTempoPulse1"), Qt::LeftButton);
        expected.SetGenParam(32, 1);
        panel.SelectPage(4);
        TypeInField(child<UpDownEdit>(&panel, "txtLumMin"), "200");
        expected.SetBrightMin(200);
        Choose(child<QComboBox>(&panel, "cboTypeAlim"), 2);
        expected.SetSupplyType(2);
        auto* name = child<QLineEdit>(&panel, "txtName");
        name->setFocus();
        QTest::keyClicks(name, "Boiler room");
        expected.SetModuleName("Boiler room");

        QVERIFY(ui.messages.isEmpty());
        QVERIFY(panel.Modified());
        QCOMPARE(panel.Config().ToFileBytes(), expected.ToFileBytes());
        QCOMPARE(panel.windowTitle(), GetText(30101) + " 17");
    }

    // Channel 6: stored and shown (delays in tenths, half to even, 20 ms least) or refused.
    void inputCell_data()
    {
        QTest::addColumn<Cell>("c");
        const QString delay = GetText(10201) + "\r( 0 - 22h 59mn 59s 900ms )";
        const auto row = [](const char* name, int col, const char* typed, int stored,
                            const QString& shown, const QString& message = {}) {
            QTest::newRow(name) << Cell{col, typed, stored, shown, message};
        };
        row("no horn", 15, "=0", 4, GetCaption(31130));
        row("horn type 4", 15, "=4", 3, GetCaption(31134));
        row("250 ms to 200", 5, "250", 40, "200");
        row("350 ms to 400", 5, "350", 80, "400");
        row("50 ms to the floor", 5, "50", 4, "20");
        row("59 min", 3, "59", 708020, "100");
        row("22 h", 2, "22", 15840020, "100");
        row("23 h", 2, "23", 0, "", delay);
        row("60 min", 3, "60", 0, "", delay);
        row("60 s", 4, "60", 0, "", delay);
        row("950 ms", 5, "950", 0, "", delay);
        row("redirection 13", 10, "13", 0, "", GetText(10202));
    }
    void inputCell()
    {
        QFETCH(Cell, c);
        const auto& [col, typed, stored, shown, message] = c;
        RecordingUi ui;
        wPanneau panel(false);
        const ConfigClass before = panel.Config();
        EditGrid* grid = Inputs(panel);
        const int shownCol = col >= 2 && col <= 5 ? 5 : col;
        const QString previous = grid->TextMatrix(7, col);
        if (typed.startsWith('='))
            ChooseInCell(grid, 7, col, typed.mid(1).toInt());
        else
            TypeInCell(grid, 7, col, typed);
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(panel.Modified(), message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(ui.lastText(), message);
            QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
            QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
            QCOMPARE(grid->TextMatrix(7, col), previous);
            QVERIFY(panel.Config() == before);
            return;
        }
        QCOMPARE(InputField(panel.Config(), 6, col), stored);
        QCOMPARE(InputField(panel.Config(), 5, col), InputField(before, 5, col));
        panel.RefreshFields();
        QCOMPARE(grid->TextMatrix(7, shownCol), shown);
    }

    // A status input has no horn, its cell locked; repeat blocking needs disturbance.
    void inputLocks()
    {
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel);
        ChooseInCell(grid, 4, 6, 1);
        QCOMPARE(panel.Config().InTypeKL(3), 4);
        QCOMPARE(grid->TextMatrix(4, 15), GetCaption(31130));
        QVERIFY(ChooseInCell(grid, 4, 15, 2).isEmpty());
        ChooseInCell(grid, 4, 6, 0);
        ChooseInCell(grid, 4, 15, 2);
        QCOMPARE(panel.Config().InTypeKL(3), 1);

        QVERIFY(ChooseInCell(grid, 9, 17, 1).isEmpty());
        ChooseInCell(grid, 9, 16, 1);
        ChooseInCell(grid, 9, 17, 1);
        QCOMPARE(panel.Config().InRepBlock(8), 1);
        ChooseInCell(grid, 9, 16, 0);
        QCOMPARE(panel.Config().InRepBlock(8), 0);
        QCOMPARE(grid->TextMatrix(9, 17), GetCaption(10));
        QVERIFY(ui.messages.isEmpty());
    }

    // Mode 0: six drivings; mode 1: the first and the default (key 945). Mode keeps the driving.
    void outputDriving_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("stored");
        QTest::newRow("mode 0, entry 1") << 0 << 1 << 1;
        QTest::newRow("mode 1, entry 1") << 1 << 1 << int(GetDefaultValue(945));
        QTest::newRow("mode 1, entry 0") << 1 << 0 << 0;
    }
    void outputDriving()
    {
        QFETCH(int, mode);
        QFETCH(int, entry);
        QFETCH(int, stored);
        RecordingUi ui;
        wPanneau panel(false);
        EditGrid* grid = Inputs(panel, "grdOutputs");
        ChooseInCell(grid, 4, 3, 5);
        ChooseInCell(grid, 4, 2, mode);
        QCOMPARE(panel.Config().OutPilot(4), 5);
        QCOMPARE(grid->TextMatrix(4, 3), GetCaption(32015));
        QCOMPARE(ChooseInCell(grid, 4, 3, entry),
                 mode ? Captions({32010, 32012})
                      : Captions({32010, 32011, 32012, 32013, 32014, 32015}));
        QCOMPARE(panel.Config().OutPilot(4), stored);
        QCOMPARE(grid->TextMatrix(4, 3), GetCaption(32010 + stored));
    }

    // A common alarm output: warning, parameters 0 and 5 held at 0 and 1 on one-entry lists.
    void restrictedState()
    {
        RecordingUi ui;
        wPanneau panel(false);
        panel.show();
        auto* warning = child<QFrame>(&panel, "picWarning");
        auto* combo0 = child<QComboBox>(&panel, "cboGenParam0");
        auto* combo5 = child<QComboBox>(&panel, "cboGenParam5");
        panel.Config().SetGenParam(0, 2);
        panel.RefreshFields();

        ChooseInCell(Inputs(panel, "grdOutputs"), 8, 2, 1);
        QVERIFY(!warning->isHidden());
        QCOMPARE(Entries(combo0), Captions({33110}));
        QCOMPARE(Entries(combo5), Captions({33611}));
        QCOMPARE(combo5->currentIndex(), 0);
        panel.Config().SetGenParam(5, 0);
        panel.Config().SetGenParam(0, 1);
        panel.SetModified(false);
        panel.RefreshFields();
        QCOMPARE(panel.Config().GenParam(0), 0);
        QCOMPARE(panel.Config().GenParam(5), 1);

        ChooseInCell(Inputs(panel, "grdOutputs"), 8, 2, 0);
        QVERIFY(warning->isHidden());
        QCOMPARE(panel.Config().GenParam(0), 0);
        QCOMPARE(panel.Config().GenParam(5), 0);
        QCOMPARE(Entries(combo0), Captions({33110, 33111, 33112}));
        QCOMPARE(Entries(combo5), Captions({33610, 33611}));
    }

    // Typed values beyond a field's range are brought into it, then stored.
    void generalField_data()
    {
        QTest::addColumn<Field>("c");
        const auto row = [](const char* field, const char* typed, int param, int stored) {
            QTest::addRow("%s %s", field, typed) << Field{field, typed, param, stored};
        };
        row("txtGenMinMax0", "140", 14, 130);
        row("txtGenMinMax1", "60", 15, 70);
        row("txtGenMinMax2", "9", 16, 9);
        row("txtGenMinMax3", "0", 17, 1);
        row("txtGenMinMax5", "75", 19, 50);
        row("txtKlxStop0", "30", 30, 22);
        row("txtKlxStop1", "75", 31, 59);
        row("txtCommSlave", "70", 23, 64);
        row("txtCommSlave", "0", 23, 1);
        row("txtLumMin", "300", -1, 255);
    }
    void generalField()
    {
        QFETCH(Field, c);
        const auto& [field, typed, param, stored] = c;
        wPanneau panel(true);
        panel.show();
        auto* edit = child<UpDownEdit>(&panel, field.toLatin1().constData());
        TypeInField(edit, typed);
        QCOMPARE(param < 0 ? panel.Config().BrightMin() : panel.Config().GenParam(param), stored);
        QCOMPARE(edit->Text(), QString::number(stored));
    }

    // Priorities swap; auto-stop >= 1 min, re-trigger >= 20 ms; 220Vac caps the upper at 118.
    void generalRules()
    {
        wPanneau panel(false);
        panel.show();
        child<QComboBox>(&panel, "cboPrioKL0")->setCurrentIndex(2);
        QList<int> priorities;
        for (int i = 7; i <= 10; ++i)
            priorities << panel.Config().GenParam(i);
        QCOMPARE(priorities, (QList<int>{2, 1, 0, 3}));
        QCOMPARE(child<QComboBox>(&panel, "cboPrioKL2")->currentIndex(), 0);

        panel.Config().SetGenParam(31, 0);
        panel.SetModified(false);
        panel.RefreshFields();
        auto* hours = child<UpDownEdit>(&panel, "txtKlxStop0");
        auto* minutes = child<UpDownEdit>(&panel, "txtKlxStop1");
        QCOMPARE(minutes->Text(), "1");
        QCOMPARE(panel.Config().GenParam(31), 1);
        QVERIFY(!panel.Modified());
        TypeInField(hours, "2");
        TypeInField(minutes, "0");
        QCOMPARE(panel.Config().GenParam(31), 0);
        TypeInField(hours, "0");
        QCOMPARE(panel.Config().GenParam(31), 1);
        QCOMPARE(minutes->ArrowMinimum(), 1);

        for (int i = 0; i < 4; ++i)
            TypeInField(child<UpDownEdit>(&panel, qPrintable(QString("txtTempoRel%1").arg(i))),
                        "0");
        QCOMPARE(child<UpDownEdit>(&panel, "txtTempoRel3")->Text(), "20");
        QCOMPARE(panel.Config().GenTempoRelance(), 4);

        auto* upper = child<UpDownEdit>(&panel, "txtGenMinMax0");
        TypeInField(upper, "125");
        Choose(child<QComboBox>(&panel, "cboVref"), 6);
        QCOMPARE(upper->ArrowMaximum(), 118);
        QCOMPARE(panel.Config().GenParam(14), 118);
        Choose(child<QComboBox>(&panel, "cboVref"), 0);
        QCOMPARE(upper->ArrowMaximum(), 130);
    }

    // Only a user's close of a modified window asks (No preselected); No keeps it open.
    void closeQuestion_data()
    {
        QTest::addColumn<Close>("c");
        QTest::newRow("modified, No") << Close{true, false, MsgAnswer::No, false};
        QTest::newRow("modified, Yes") << Close{true, false, MsgAnswer::Yes, true};
        QTest::newRow("not modified") << Close{false, false, MsgAnswer::No, true};
        QTest::newRow("by the program") << Close{true, true, MsgAnswer::No, true};
    }
    void closeQuestion()
    {
        QFETCH(Close, c);
        const auto& [modified, byProgram, answer, closed] = c;
        RecordingUi ui;
        QPointer<wPanneau> panel = new wPanneau(false);
        panel->show();
        panel->SetModified(modified);
        ui.answerNext(answer);
        if (byProgram)
            panel->CloseWithoutQuestion();
        else
            panel->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ui.messages.size(), modified && !byProgram ? 1 : 0);
        if (!ui.messages.isEmpty()) {
            QCOMPARE(ui.messages[0].text, GetText(10111));
            QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
            QCOMPARE(ui.messages[0].buttons, MsgButtons::YesNo);
            QCOMPARE(ui.messages[0].defaultButton, std::optional(MsgAnswer::No));
        }
        QCOMPARE(panel.isNull(), closed);
        if (!closed) {
            QVERIFY(panel->Modified());
            delete panel;
        }
    }

    // A change of language re-labels the window and keeps every selection (restricted too).
    void languageSwitch()
    {
        wPanneau panel(false);
        panel.Config().SetOutMode(3, 1);
        panel.Config().SetGenParam(3, 2);
        panel.Config().SetInDetect(4, 2);
        panel.RefreshFields();
        panel.SetModified(false);
        const ConfigClass before = panel.Config();
        const QList<QComboBox*> combos = panel.findChildren<QComboBox*>();
        QList<int> positions[2];
        for (int language = 0; language < 2; ++language) {
            for (QComboBox* combo : combos)
                positions[language] << combo->currentIndex();
            SetCurrentLanguage("Français");
            panel.Nationality();
        }
        QCOMPARE(positions[1], positions[0]);
        QVERIFY(panel.Config() == before);
        QVERIFY(!panel.Modified());
        QCOMPARE(child<QComboBox>(&panel, "cboGenParam5")->itemText(0), GetCaption(33611));
        QCOMPARE(Inputs(panel)->TextMatrix(5, 7), GetCaption(31122));
        QCOMPARE(Inputs(panel)->TextMatrix(0, 2), GetCaption(31152));
        QCOMPARE(child<QLabel>(&panel, "Modified")->text(), GetText(10));
    }
};

QTEST_MAIN(tst_wPanneau)
#include "tst_wpanneau.moc"
