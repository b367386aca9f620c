// Read from a panel and Write to a panel against simulated panels: the slave
// dialog, detection and its outcomes, the older-firmware rules, the progress
// in the status bar, validation, and one whole day's work end to end.

#include "RecordingUi.h"
#include "ShellTestSupport.h"
#include "WidgetLookup.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"
#include "link/CommFunctions.h"
#include "settings/MostRecentFilesClass.h"
#include "shell/TransferStatus.h"
#include "shell/wMain.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

using namespace ShellTest;

namespace {
const QString Communication = QStringLiteral("Communication");

// A main window on a simulated line without panels; the test adds them.
std::unique_ptr<wMain> NewWindow(SimulatedLine*& line)
{
    auto window = std::make_unique<wMain>(SimulatedPort(&line)());
    window->SetProgramFolder(BinDir());
    window->Nationality();
    window->Port().SetPortOpen(true);
    window->Link().options().replyTimeoutMs = 100;
    line->removePanel(1);
    SetIniParam(Communication, QStringLiteral("FrameDelay"), QStringLiteral("0"));
    return window;
}

// What the slave dialog showed, and the answer typed into it.
struct SlaveDialogSeen
{
    QString preset;
    bool warningShown = false;
};

RecordingUi::DialogScript Slave(const QString& text, bool search = false,
                                SlaveDialogSeen* seen = nullptr,
                                const QString& button = QStringLiteral("cmdButtons1"))
{
    return [=](QObject* dialog) {
        auto* field = child<QLineEdit>(dialog, "txtSlave");
        if (seen) {
            seen->preset = field->text();
            seen->warningShown = !child<QLabel>(dialog, "lblWarning")->isHidden();
        }
        field->setText(text);
        child<QCheckBox>(dialog, "chkAutoSearch")->setChecked(search);
        QTest::mouseClick(child<QPushButton>(dialog, qPrintable(button)), Qt::LeftButton);
        return qobject_cast<QDialog*>(dialog)->result() == QDialog::Accepted;
    };
}

RecordingUi::DialogScript Answer(bool ok)
{
    return [ok](QObject*) { return ok; };
}

RecordingUi::DialogScript Press(const char* button)
{
    return [button](QObject* dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
        return qstrcmp(button, "cmdYes") == 0;
    };
}

// A configuration a panel can hold, with values an older firmware lacks.
ConfigClass PanelConfig()
{
    ConfigClass c;
    GetAllDefaults(c);
    c.SetInTempo(3, 123400);
    c.SetInTypeKL(2, 4);
    c.SetOutPilot(5, 5);
    c.SetInRedir(6, 2, 11);
    c.SetGenParam(21, 2);
    c.SetGenParam(23, 4);
    return c;
}

// The panel stops answering from the n-th request on the line (1-based).
void FailFrom(SimulatedLine& line, SimulatedPanel& panel, int n)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(&line, &SimulatedLine::RequestSent, &line, [&panel, n, count] {
        if (++*count == n)
            panel.setFault(SimulatedPanel::Fault::NoReply);
    });
}

int Writes(const SimulatedLine& line)
{
    int n = 0;
    for (const QByteArray& r : line.requests())
        n += r.size() > 1 && r[1] == 16;
    return n;
}

// Every state of the progress bar as it moved.
struct Progress
{
    explicit Progress(wMain& window)
    {
        QProgressBar* bar = TransferStatus::ProgressBar(window.statusBar());
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [this, bar](int value) {
            if (value > 0)
                steps << QStringLiteral("%1%2").arg(bar->text()).arg(bar->isHidden() ? "!" : "");
        });
    }
    QStringList steps;
};

QStringList Blocks(const QString& text, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << text.arg(i).arg(count);
    return list;
}

QList<wPanneau*> Panels(const wMain& window)
{
    QList<wPanneau*> panels;
    for (QMdiSubWindow* sub : window.MdiArea()->subWindowList())
        if (auto* panel = qobject_cast<wPanneau*>(sub->widget()))
            panels << panel;
    return panels;
}

void Flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Prompt(const wMain& window)
{
    return window.StatusPanel(QStringLiteral("Prompt"))->text();
}

QString TwoTexts(int first, int second)
{
    return GetText(first) + QLatin1Char('\r') + GetText(second);
}
} // namespace

class tst_wMainTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
        SetCurrentLanguage(QStringLiteral("English"));
        SetTextLookup([](int tag) { return GetText(tag); });
    }

    // A read opens a new, unsaved document "Orvel" with the panel's values,
    // adapted to an older firmware once the user agrees.
    void read_data()
    {
        QTest::addColumn<int>("panelSlave");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("older"); // the question is asked
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("slave 5") << 5 << 262 << "5" << false << 0 << true;
        QTest::newRow("slave 0 without search") << 7 << 262 << "0" << false << 0 << true;
        QTest::newRow("1.02, No") << 1 << 258 << "1" << true << int(MsgAnswer::No) << false;
        QTest::newRow("1.02, Yes") << 1 << 258 << "1" << true << int(MsgAnswer::Yes) << true;
    }
    void read()
    {
        QFETCH(int, panelSlave);
        QFETCH(int, version);
        QFETCH(QString, typed);
        QFETCH(bool, older);
        QFETCH(int, answer);
        QFETCH(bool, opened);
        RecordingUi ui;
        IniSandbox ini;
        SimulatedLine* line = nullptr;
        auto window = NewWindow(line);
        SimulatedPanel& panel = line->addPanel(std::uint8_t(panelSlave), version);
        panel.loadConfig(PanelConfig());
        SlaveDialogSeen seen;
        ui.onNextDialog(Slave(typed, false, &seen));
        ui.onNextDialog(Answer(true));
        if (older)
            ui.answerNext(MsgAnswer(answer));
        const Progress progress(*window);
        window->MenuItem(QStringLiteral("mnuFileRead"))->trigger();
        Flush();

        QCOMPARE(ui.dialogsShown, (QStringList{"wAskSlave", "wSearchSlave"}));
        QVERIFY(!seen.warningShown);
        QCOMPARE(GetIniParam(Communication, QStringLiteral("LastSlave")),
                 QString::number(panelSlave));
        QCOMPARE(ui.messages.size(), older ? 1 : 0);
        if (older) {
            const MessageRequest& question = ui.messages[0];
            QCOMPARE(question.text,
                     QStringLiteral("The firmware of this panel (version 1.2) is older than this "
                                    "console (version 1.6).\nSettings that this firmware does "
                                    "not support will be adjusted.\nRead the configuration "
                                    "anyway?"));
            QCOMPARE(question.icon, MsgIcon::Exclamation);
            QCOMPARE(question.buttons, MsgButtons::YesNo);
            QCOMPARE(question.defaultButton, std::optional<MsgAnswer>(MsgAnswer::No));
        }
        QCOMPARE(ui.busy, false);
        const QList<wPanneau*> panels = Panels(*window);
        QCOMPARE(panels.size(), opened ? 1 : 0);
        if (!opened) {
            // Detection only: slave number and version.
            QCOMPARE(line->requests().size(), 2);
            return;
        }
        QCOMPARE(int(line->requests().first()[0]), typed == QLatin1String("0") ? 65 : panelSlave);
        QCOMPARE(int(line->requests().last()[0]), panelSlave);
        const int blocks = version == 262 ? 20 : 16;
        QCOMPARE(progress.steps,
                 Blocks(QStringLiteral("Reading from the panel: block %1 of %2"), blocks));
        QVERIFY(TransferStatus::ProgressBar(window->statusBar())->isHidden());
        wPanneau* document = panels[0];
        QCOMPARE(window->ActivePanel(), document);
        QCOMPARE(document->Path(), QStringLiteral("Orvel"));
        QVERIFY(!document->Modified());
        // The panel number is the panel's own slave number.
        QCOMPARE(document->windowTitle(),
                 GetText(30100) + QLatin1Char(' ') + QString::number(panelSlave));
        const ConfigClass& c = document->Config();
        QCOMPARE(c.InTempo(3), 123400);
        QCOMPARE(c.InRedir(6, 2), std::uint8_t(11));
        QCOMPARE(c.ModuleNo(), std::uint8_t(panelSlave));
        // What firmware 1.02 lacks is adapted.
        QCOMPARE(c.InTypeKL(2), std::uint8_t(version == 258 ? 0 : 4));
        QCOMPARE(c.OutPilot(5), std::uint8_t(version == 258 ? 2 : 5));
        QCOMPARE(c.GenParam(21), std::uint8_t(version == 258 ? 0 : 2));
    }

    // Nothing found, a search cancelled, the dialog cancelled: no document,
    // the message of each case, the normal pointer back.
    void readRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("panelThere");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("message"); // 0: none
        QTest::newRow("given slave silent") << "5" << false << true << "cmdButtons1" << 10100;
        QTest::newRow("search found nothing") << "0" << false << true << "cmdButtons1" << 10102;
        QTest::newRow("search cancelled") << "1" << true << false << "cmdButtons1" << 0;
        QTest::newRow("slave dialog cancelled") << "1" << true << true << "cmdButtons0" << 0;
    }
    void readRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, panelThere);
        QFETCH(bool, confirm);
        QFETCH(QString, button);
        QFETCH(int, message);
        RecordingUi ui;
        IniSandbox ini;
        SimulatedLine* line = nullptr;
        auto window = NewWindow(line);
        if (panelThere)
            line->addPanel(1);
        ui.onNextDialog(Slave(typed, false, nullptr, button));
        ui.onNextDialog(Answer(confirm));
        window->mnuFileRead_Click();
        Flush();
        QCOMPARE(ui.messages.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(ui.messages[0].text, GetText(message));
            QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
            QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        }
        QVERIFY(Panels(*window).isEmpty());
        QCOMPARE(ui.busy, false);
        if (button == QLatin1String("cmdButtons0"))
            QVERIFY(line->requests().isEmpty());
    }

    // A transfer that fails names its section in the status bar; a read
    // keeps no document.
    void transferFails_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("failAt"); // request number, detection's two included
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("read, outputs")
            << false << 2 + 12 << "Reading from the panel failed in the section \"Outputs\"."
            << GetText(10100);
        QTest::newRow("read, factory")
            << false << 2 + 20 << "Reading from the panel failed in the section \"Factory\"."
            << GetText(10100);
        QTest::newRow("write, general")
            << true << 2 + 16 << "Writing to the panel failed in the section \"General\"."
            << TwoTexts(10100, 10105);
    }
    void transferFails()
    {
        QFETCH(bool, write);
        QFETCH(int, failAt);
        QFETCH(QString, status);
        QFETCH(QString, message);
        RecordingUi ui;
        IniSandbox ini;
        SimulatedLine* line = nullptr;
        auto window = NewWindow(line);
        SimulatedPanel& panel = line->addPanel(4);
        FailFrom(*line, panel, failAt);
        wPanneau* document = nullptr;
        if (write) {
            document = window->NewPanelWindow();
            document->Config() = PanelConfig();
            window->ShowPanelWindow(document);
        }
        ui.onNextDialog(Slave(QStringLiteral("4")));
        ui.onNextDialog(Answer(true));
        const Progress progress(*window);
        window->MenuItem(write ? QStringLiteral("mnuFileWrite") : QStringLiteral("mnuFileRead"))
            ->trigger();
        Flush();
        QCOMPARE(line->requests().size(), failAt);
        QCOMPARE(progress.steps.size(), failAt - 3);
        QCOMPARE(Prompt(*window), status);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, message);
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(Panels(*window).size(), write ? 1 : 0);
        QVERIFY(TransferStatus::ProgressBar(window->statusBar())->isHidden());
        QCOMPARE(ui.busy, false);

        // The next transfer starts from the ready text again.
        panel.setFault(SimulatedPanel::Fault::None);
        ui.onNextDialog(Slave(QStringLiteral("4")));
        ui.onNextDialog(Answer(true));
        window->mnuFileRead_Click();
        QCOMPARE(Prompt(*window), GetText(1001));
    }

    // Write: the slave dialog with its warning, preset with the document's
    // slave number; the older-firmware warning adapting the document; the
    // supply voltage rule; validation and its outcomes. The modified mark
    // stays as it was.
    void write_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("param21");
        QTest::addColumn<int>("warning"); // -1 not shown, 0 declined, 1 accepted
        QTest::addColumn<int>("validate");
        QTest::addColumn<bool>("validationFails");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<int>>("icons");
        const QString question = GetText(20240);
        const int info = int(MsgIcon::Information);
        const int critical = int(MsgIcon::Critical);
        const int ask = int(MsgIcon::Question);
        QTest::newRow("1.06, validated")
            << 262 << 2 << -1 << int(MsgAnswer::Yes) << false << true
            << QStringList{question, GetText(10106)} << QList<int>{ask, info};
        QTest::newRow("1.06, validation declined")
            << 262 << 2 << -1 << int(MsgAnswer::No) << false << true
            << QStringList{question, GetText(10109)} << QList<int>{ask, info};
        QTest::newRow("1.06, validation fails")
            << 262 << 2 << -1 << int(MsgAnswer::Yes) << true << true
            << QStringList{question, TwoTexts(10100, 10109)} << QList<int>{ask, critical};
        QTest::newRow("1.02 without supply voltage, warning accepted")
            << 258 << 0 << 1 << int(MsgAnswer::Yes) << false << true
            << QStringList{question, GetText(10106)} << QList<int>{ask, info};
        QTest::newRow("1.02, warning declined")
            << 258 << 2 << 0 << 0 << false << false << QStringList{} << QList<int>{};
        QTest::newRow("1.03 without supply voltage refused")
            << 259 << 0 << 1 << 0 << false << false << QStringList{GetText(10121)}
            << QList<int>{critical};
        QTest::newRow("1.06 without supply voltage refused")
            << 262 << 0 << -1 << 0 << false << false << QStringList{GetText(10121)}
            << QList<int>{critical};
        QTest::newRow("no answer") << 0 << 2 << -1 << 0 << false << false
                                   << QStringList{TwoTexts(10100, 10105)} << QList<int>{critical};
    }
    void write()
    {
        QFETCH(int, version);
        QFETCH(int, param21);
        QFETCH(int, warning);
        QFETCH(int, validate);
        QFETCH(bool, validationFails);
        QFETCH(bool, written);
        QFETCH(QStringList, messages);
        QFETCH(QList<int>, icons);
        RecordingUi ui;
        IniSandbox ini;
        SimulatedLine* line = nullptr;
        auto window = NewWindow(line);
        SimulatedPanel* panel = version ? &line->addPanel(6, version) : nullptr;
        const int blocks = version == 258 ? 15 : 19;
        if (validationFails)
            FailFrom(*line, *panel, 2 + blocks + 1);
        wPanneau* document = window->NewPanelWindow();
        ConfigClass config = PanelConfig();
        config.SetGenParam(21, std::uint8_t(param21));
        document->Config() = config;
        document->RefreshFields();
        document->SetModified(true);
        window->ShowPanelWindow(document);

        SlaveDialogSeen seen;
        ui.onNextDialog(Slave(QStringLiteral("6"), false, &seen));
        ui.onNextDialog(Answer(true));
        if (warning >= 0)
            ui.onNextDialog(Press(warning ? "cmdYes" : "cmdNo"));
        if (validate)
            ui.answerNext(MsgAnswer(validate));
        window->MenuItem(QStringLiteral("mnuFileWrite"))->trigger();

        QCOMPARE(seen.preset, QStringLiteral("4"));
        QVERIFY(seen.warningShown);
        QCOMPARE(ui.dialogsShown.size(), (version ? 2 : 1) + (warning >= 0 ? 1 : 0));
        if (warning >= 0)
            QCOMPARE(ui.dialogsShown.last(), QStringLiteral("wWarning"));
        QStringList texts;
        QList<int> shownIcons;
        for (const MessageRequest& m : ui.messages) {
            texts << m.text;
            shownIcons << int(m.icon);
            QCOMPARE(m.buttons, m.icon == MsgIcon::Question ? MsgButtons::YesNo : MsgButtons::Ok);
        }
        QCOMPARE(texts, messages);
        QCOMPARE(shownIcons, icons);
        QCOMPARE(Writes(*line), written ? blocks + (validate == int(MsgAnswer::Yes)) : 0);
        if (panel)
            QCOMPARE(panel->validations(),
                     int(validate == int(MsgAnswer::Yes) && !validationFails));
        if (written)
            QCOMPARE(panel->config().InTempo(3), 123400);
        // The document itself was adapted to firmware 1.02 only once agreed.
        QCOMPARE(document->Config().OutPilot(5),
                 std::uint8_t(warning == 1 && version < 259 ? 2 : 5));
        QVERIFY(document->Modified());
        QCOMPARE(ui.busy, false);
        if (version)
            QCOMPARE(GetIniParam(Communication, QStringLiteral("LastSlave")), QStringLiteral("6"));
    }

    // The day's work: read a panel, change a cell, save with the shortcut
    // while the cell is still being edited, reopen the file, write it to a
    // second panel and validate: that panel then holds the first one's
    // configuration with the change.
    void endToEnd()
    {
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        SimulatedLine* line = nullptr;
        auto window = NewWindow(line);
        window->SetFactoryMode(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        SimulatedPanel& first = line->addPanel(1);
        first.loadConfig(PanelConfig());
        SimulatedPanel& second = line->addPanel(2);
        second.setReadRegister(1175, first.readRegister(1175));

        ui.onNextDialog(Slave(QStringLiteral("1")));
        ui.onNextDialog(Answer(true));
        window->MenuItem(QStringLiteral("mnuFileRead"))->trigger();
        QVERIFY(ui.messages.isEmpty());
        wPanneau* read = window->ActivePanel();
        QVERIFY(read);

        // Input 3, first redirection: 7, typed and not yet committed.
        auto* grid = child<EditGrid>(read, "grdInputs");
        grid->setFocus();
        grid->SetCurrentCell(4, 10);
        QVERIFY(grid->EditCell());
        QWidget* editor = grid->CellEditor();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("7"));
        const QString saved = dir.filePath(QStringLiteral("unit.cfg"));
        ui.answerNextFileDialog({saved});
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ui.fileRequests.size(), 1);
        QCOMPARE(read->Path(), saved);
        QVERIFY(!read->Modified());
        ConfigClass expected = first.config();
        expected.SetInRedir(3, 1, 7);
        QCOMPARE(read->Config().InRedir(3, 1), std::uint8_t(7));

        read->CloseWithoutQuestion();
        Flush();
        QVERIFY(Panels(*window).isEmpty());
        QCOMPARE(MostRecentFilesClass::EntryPath(window->Menu(QStringLiteral("mnuFile")), 1),
                 saved);
        window->mnuFileMRU_Click(1);
        wPanneau* reopened = window->ActivePanel();
        QVERIFY(reopened);
        QCOMPARE(reopened->Config().InRedir(3, 1), std::uint8_t(7));

        ui.onNextDialog(Slave(QStringLiteral("2")));
        ui.onNextDialog(Answer(true));
        ui.answerNext(MsgAnswer::Yes);
        window->MenuItem(QStringLiteral("mnuFileWrite"))->trigger();
        QCOMPARE(ui.lastText(), GetText(10106));
        QCOMPARE(second.validations(), 1);
        const ConfigClass onSecond = second.config();
        QVERIFY(onSecond == expected);
        QCOMPARE(onSecond.ToFileBytes(), expected.ToFileBytes());
    }
};

QTEST_MAIN(tst_wMainTransfer)
#include "tst_wmaintransfer.moc"
