// The document commands: Open, Save, the recent files, Read and Write
// against simulated panels, one day's work end to end; the Tools commands:
// the event buffer read and cleared, the line scan and the line monitor.

#include "ShellFixture.h"
#include "Unprivileged.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"
#include "eventlog/wBuffer.h"
#include "link/FrameText.h"
#include "shell/TransferStatus.h"
#include "shell/wLineMonitor.h"
#include "util/ErrorHandling.h"
#include "util/PathFunctions.h"

#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

using namespace Shell;

namespace {
const QString Filter = QStringLiteral("Orvel configurations (*.cfg)|*.cfg|All files (*.*)|*.*");
const QString Load =
    QStringLiteral("Critical Ok: Error Nr *\r\n\r\nModule : ConfigClass\r\nFunction : Load");
const QString Missing =
    QStringLiteral("Critical Ok: The file \"%1\" no longer exists or has been moved.");

// The console on a line without panels (or with panel 1, the last slave
// used), a folder for its files, and the progress bar's text at each move
// ("!" marking a bar not shown).
struct Bench : Console
{
    explicit Bench(bool panelOne = false)
        : Console(panelOne ? "[Communication]\r\nLastSlave=1\r\n" : "")
    {
        online(panelOne);
        QProgressBar* bar = TransferStatus::ProgressBar(window->statusBar());
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [this, bar](int value) {
            if (value > 0)
                progress << bar->text() + (bar->isHidden() ? "!" : "");
        });
    }
    QList<wPanneau*> panels() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QList<wPanneau*> list;
        for (QMdiSubWindow* sub : window->MdiArea()->subWindowList())
            if (auto* panel = qobject_cast<wPanneau*>(sub->widget()))
                list << panel;
        return list;
    }
    wPanneau* document(const QString& path, const ConfigClass& config) const
    {
        wPanneau* panel = window->NewPanelWindow();
        panel->Config() = config;
        panel->RefreshFields();
        panel->SetPath(path);
        panel->SetCaption();
        panel->SetModified(true);
        window->ShowPanelWindow(panel);
        return panel;
    }
    // The panel stops answering from the n-th request on the line.
    void failFrom(SimulatedPanel& panel, int n) const
    {
        QObject::connect(line, &SimulatedLine::RequestSent, line, [&panel, n, count = 0]() mutable {
            if (++count == n)
                panel.setFault(SimulatedPanel::Fault::NoReply);
        });
    }
    QTemporaryDir dir;
    QStringList progress;
};

QString Failed(int first, int second = 0)
{
    return "Critical Ok: " + GetText(first) + (second ? '\r' + GetText(second) : QString());
}

ConfigClass Sample(const QString& name = QStringLiteral("Unit 4/B"))
{
    ConfigClass c;
    GetAllDefaults(c);
    c.SetModuleName(name);
    c.SetInTempo(3, 123400);
    c.SetInTypeKL(2, 4);
    c.SetOutPilot(5, 5);
    c.SetGenParam(21, 2);
    c.SetGenParam(23, 4);
    c.SetModuleNo(4);
    return c;
}

QString SaveFile(const QString& path, const QString& name = {})
{
    TestFiles::WriteBytes(path, Sample(name).ToFileBytes());
    return path;
}

int Writes(const SimulatedLine* line)
{
    const QList<QByteArray>& r = line->requests();
    return int(std::count_if(r.cbegin(), r.cend(), [](const QByteArray& q) { return q[1] == 16; }));
}

// Five events in panel 1's buffer.
QList<SimulatedPanel::Event> FiveEvents()
{
    QList<SimulatedPanel::Event> list;
    for (int k = 1; k <= 5; ++k)
        list << SimulatedPanel::Event{std::uint16_t(0x1200 | k), std::uint16_t(1000 * k)};
    return list;
}

QStringList Rows(QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column)
            cells << list->topLevelItem(i)->text(column);
        texts << cells.join(' ');
    }
    return texts;
}
} // namespace

class tst_wMainDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(UseShippedData());
        SetTextLookup([](int tag) { return GetText(tag); });
    }

    // Files open in order, the last the newest recent file; one that cannot be
    // read opens nothing.
    void open_data()
    {
        QTest::addColumn<bool>("recent");       // from the recent files, else the dialog
        QTest::addColumn<QStringList>("names"); // "!kind" = a file that cannot be read
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("three") << false << QStringList{"b.cfg", "a.cfg", "c.cfg"} << QStringList{};
        QTest::newRow("damaged") << false << QStringList{"!damaged", "a.cfg"} << QStringList{Load};
        QTest::newRow("unreadable") << false << QStringList{"!unreadable"} << QStringList{Load};
        QTest::newRow("missing") << false << QStringList{"!missing"} << QStringList{Missing};
        // A recent file that cannot be read leaves the list, the separator
        // going with the last entry.
        QTest::newRow("recent") << true << QStringList{"second.cfg"} << QStringList{};
        QTest::newRow("recent, missing") << true << QStringList{"!missing"} << QStringList{Missing};
        QTest::newRow("recent, damaged")
            << true << QStringList{"!damaged"} << QStringList{Load, Missing};
    }
    void open()
    {
        QFETCH(bool, recent);
        QFETCH(QStringList, names);
        QFETCH(QStringList, messages);
        Bench b;
        QStringList paths;
        QStringList opened;
        for (const QString& name : names) {
            const QString path = b.dir.filePath(name.mid(name.startsWith('!')));
            paths << path;
            if (name == QLatin1String("!damaged"))
                TestFiles::WriteBytes(path, ConfigClass().ToFileBytes().left(250));
            else if (name == QLatin1String("!unreadable"))
                QFile::setPermissions(SaveFile(path), QFileDevice::WriteOwner);
            else if (!name.startsWith('!'))
                opened << SaveFile(path, name);
        }
        if (recent) {
            QMenu* file = b.window->Menu(QStringLiteral("mnuFile"));
            b.window->RecentFiles().Add(file, paths[0]);
            b.window->RecentFiles().Add(file, "/other.cfg");
            MostRecentFilesClass::Entry(file, 2)->trigger();
        } else {
            SetIniParam(QStringLiteral("General"), QStringLiteral("DataFiles"), "/start");
            b.ui.answerNextFileDialog(paths);
            b.item("mnuFileOpen")->trigger();
            const FileDialogRequest& request = b.ui.fileRequests.value(0);
            QVERIFY(request.filter == Filter && request.initialFolder == "/start");
            QVERIFY(request.multiSelect && !request.save && request.proposedName.isEmpty());
            QCOMPARE(GetIniParam("General", "DataFiles"), b.dir.path());
        }
        CompareMessages(b.ui, messages.replaceInStrings("%1", paths.first()));
        QStringList seen;
        for (wPanneau* panel : b.panels()) {
            seen << panel->Path();
            QCOMPARE(panel->Config().ModuleName(), FileNameOf(panel->Path()));
            QVERIFY(panel->windowTitle() == GetText(30100) + " 4" && !panel->Modified());
        }
        QCOMPARE(seen, opened);
        std::reverse(opened.begin(), opened.end());
        QCOMPARE(RecentFiles(*b.window), recent ? opened + QStringList{"/other.cfg"} : opened);
        if (recent) {
            b.window->mnuFileMRU_Click(opened.isEmpty() ? 1 : 2);
            QCOMPARE(b.item("mnuFileSepMRU")->isVisible(), !opened.isEmpty());
        }
    }

    // Save without a file is Save As, proposing the module name; only Save As
    // stores the folder and a recent file; a failed save changes nothing.
    void save_data()
    {
        QTest::addColumn<QString>("path"); // "@" = a file of the test
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("proposed"); // "-" = no dialog
        QTest::addColumn<bool>("locked");      // the folder cannot be written
        QTest::newRow("Save, new") << QString() << false << "Unit 4_B" << false;
        QTest::newRow("Save, read from a panel") << "Orvel" << false << "Unit 4_B" << false;
        QTest::newRow("Save, saved") << "@" << false << "-" << false;
        QTest::newRow("Save As, saved") << "@" << true << "old.cfg" << false;
        QTest::newRow("Save, fails") << "@" << false << "-" << true;
    }
    void save()
    {
        QFETCH(QString, path);
        QFETCH(bool, saveAs);
        QFETCH(QString, proposed);
        QFETCH(bool, locked);
        Bench b;
        const QString old = SaveFile(b.dir.filePath("old.cfg"));
        const QByteArray before = TestFiles::ReadBytes(old);
        wPanneau* panel = b.document(path == "@" ? old : path, Sample());
        const QString chosen = b.dir.filePath(locked ? "old.cfg" : "new.cfg");
        b.ui.answerNextFileDialog({chosen});
        const auto writable = QFile::permissions(b.dir.path());
        if (locked)
            QFile::setPermissions(b.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        b.item(saveAs ? "mnuFileSaveAs" : "mnuFileSave")->trigger();
        QFile::setPermissions(b.dir.path(), writable);
        const bool dialog = proposed != "-";
        QCOMPARE(b.ui.fileRequests.size(), int(dialog));
        if (dialog) {
            const FileDialogRequest& request = b.ui.fileRequests[0];
            QVERIFY(request.save && !request.multiSelect && request.filter == Filter);
            QCOMPARE(request.proposedName, proposed);
        }
        const QString target = locked ? old : dialog ? chosen : old;
        CompareMessages(b.ui, locked ? QStringList{"Critical Ok: Error Nr *\r\nFunction : Save"}
                                     : QStringList{});
        QCOMPARE(TestFiles::ReadBytes(target), locked ? before : Sample().ToFileBytes());
        QCOMPARE(panel->Path(), target);
        QCOMPARE(panel->Modified(), locked);
        const bool named = dialog && !locked;
        QCOMPARE(RecentFiles(*b.window), named ? QStringList{chosen} : QStringList{});
        QCOMPARE(GetIniParam("General", "DataFiles"), named ? b.dir.path() : QString());
    }

    // Names of the command line come from the current folder; local files
    // dropped on the window open once the drop is over, other drops are refused.
    void commandLineAndDrop()
    {
        Bench b;
        const QString here = QDir::currentPath();
        QDir::setCurrent(b.dir.path());
        SaveFile(b.dir.filePath("a.cfg"), "A");
        b.window->OpenFiles({"a.cfg", "gone.cfg"});
        QDir::setCurrent(here);
        CompareMessages(b.ui, {Missing.arg(b.dir.filePath("gone.cfg"))});
        QCOMPARE(RecentFiles(*b.window), QStringList{b.dir.filePath("a.cfg")});

        QMimeData web;
        web.setUrls({QUrl("https://example.org/c.cfg")});
        QDragEnterEvent refused(QPoint(), Qt::CopyAction, &web, Qt::LeftButton, {});
        QCoreApplication::sendEvent(b.window.get(), &refused);
        QVERIFY(!refused.isAccepted());
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(SaveFile(b.dir.filePath("b.cfg"), "B"))});
        QDragEnterEvent enter(QPoint(), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(b.window.get(), &enter);
        QDropEvent drop(QPointF(), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(b.window.get(), &drop);
        QVERIFY(drop.isAccepted() && b.panels().size() == 1);
        QTRY_COMPARE(b.panels().size(), 2);
        QCOMPARE(b.panels()[1]->Config().ModuleName(), QStringLiteral("B"));
    }

    // Read opens an unsaved document "Orvel" with the panel's values; every
    // refusal or failure opens none, with its message.
    void read_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("slave"); // the panel on the line, 0: none
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("how"); // OK, Cancel or unconfirmed
        QTest::addColumn<int>("answer");  // to the older-firmware question
        QTest::addColumn<int>("failAt");  // the request that gets no answer, 0: none
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("status");
        const QString older = "Exclamation YesNo No: The firmware of this panel (version 1.2) is "
                              "older than this console (version 1.6).\nSettings that this "
                              "firmware does not support will be adjusted.\nRead the "
                              "configuration anyway?";
        const QString ready = GetText(1001);
        QTest::newRow("slave 5") << "5" << 5 << 262 << "OK" << 0 << 0 << QStringList{} << ready;
        QTest::newRow("slave 0 finds 7")
            << "0" << 7 << 262 << "OK" << 0 << 0 << QStringList{} << ready;
        QTest::newRow("1.02, Yes")
            << "1" << 1 << 258 << "OK" << int(MsgAnswer::Yes) << 0 << QStringList{older} << ready;
        QTest::newRow("1.02, No") << "1" << 1 << 258 << "OK" << int(MsgAnswer::No) << 0
                                  << QStringList{older} << ready;
        QTest::newRow("search found nothing")
            << "0" << 0 << 0 << "OK" << 0 << 0 << QStringList{Failed(10102)} << ready;
        QTest::newRow("search cancelled")
            << "1" << 1 << 262 << "unconfirmed" << 0 << 0 << QStringList{} << ready;
        QTest::newRow("dialog cancelled")
            << "1" << 1 << 262 << "Cancel" << 0 << 0 << QStringList{} << ready;
        QTest::newRow("fails in the outputs")
            << "4" << 4 << 262 << "OK" << 0 << 2 + 12 << QStringList{Failed(10100)}
            << "Reading from the panel failed in the section \"Outputs\".";
    }
    void read()
    {
        QFETCH(QString, typed);
        QFETCH(int, slave);
        QFETCH(int, version);
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(int, failAt);
        QFETCH(QStringList, messages);
        Bench b;
        if (slave)
            b.line->addPanel(slave, version).loadConfig(Sample());
        if (failAt)
            b.failFrom(*b.line->panel(slave), failAt);
        b.detect(typed, how != "unconfirmed", how == "Cancel" ? "cmdButtons0" : "cmdButtons1");
        if (answer)
            b.ui.answerNext(MsgAnswer(answer));
        b.item("mnuFileRead")->trigger();

        CompareMessages(b.ui, messages);
        QTEST(b.window->StatusPanel("Prompt")->text(), "status");
        QVERIFY(!b.slaveWarning && !b.ui.busy);
        QVERIFY(TransferStatus::ProgressBar(b.window->statusBar())->isHidden());
        const bool opened = slave && how == "OK" && answer != int(MsgAnswer::No) && !failAt;
        QCOMPARE(b.panels().size(), int(opened));
        if (how == "Cancel" || answer == int(MsgAnswer::No) || failAt)
            QCOMPARE(b.line->requests().size(), how == "Cancel" ? 0 : failAt ? failAt : 2);
        QStringList blocks;
        for (int i = 1, n = version == 262 ? 20 : 16; i <= n; ++i)
            blocks << QStringLiteral("Reading from the panel: block %1 of %2").arg(i).arg(n);
        QCOMPARE(b.progress, opened ? blocks : blocks.mid(0, failAt ? failAt - 3 : 0));
        if (!opened)
            return;
        wPanneau* read = b.window->ActivePanel();
        QCOMPARE((QStringList{GetIniParam("Communication", "LastSlave"),
                              QString::number(b.line->requests().last()[0]), read->Path(),
                              read->windowTitle(), QString::number(read->Config().InTempo(3)),
                              QString::number(read->Config().OutPilot(5))}),
                 (QStringList{QString::number(slave), QString::number(slave), "Orvel",
                              GetText(30100) + ' ' + QString::number(slave), "123400",
                              version == 258 ? "2" : "5"}));
        QVERIFY(!read->Modified());
    }

    // Write: the older-firmware warning, the supply voltage rule, validation,
    // failures naming their section; the modified mark stays.
    void write_data()
    {
        QTest::addColumn<int>("version"); // 0: no panel
        QTest::addColumn<int>("param21");
        QTest::addColumn<QString>("warning"); // the button pressed, "" = not shown
        QTest::addColumn<int>("validate");
        QTest::addColumn<int>("failAt"); // the request that gets no answer, 0: none
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("status");
        const int yes = int(MsgAnswer::Yes);
        const QString ask = "Question YesNo: " + GetText(20240);
        const QString done = "Information Ok: " + GetText(10106);
        const QString ready = GetText(1001);
        const QString failed = QStringLiteral("Writing to the panel failed in the section \"%1\".");
        QTest::newRow("validated") << 262 << 2 << "" << yes << 0 << QStringList{ask, done} << ready;
        QTest::newRow("validation declined")
            << 262 << 2 << "" << int(MsgAnswer::No) << 0
            << QStringList{ask, "Information Ok: " + GetText(10109)} << ready;
        QTest::newRow("1.02 without supply voltage")
            << 258 << 0 << "cmdYes" << yes << 0 << QStringList{ask, done} << ready;
        QTest::newRow("1.02, warning declined")
            << 258 << 2 << "cmdNo" << 0 << 0 << QStringList{} << ready;
        QTest::newRow("1.03 without supply voltage")
            << 259 << 0 << "cmdYes" << 0 << 0 << QStringList{Failed(10121)} << ready;
        QTest::newRow("no answer")
            << 0 << 2 << "" << 0 << 0 << QStringList{Failed(10100, 10105)} << ready;
        QTest::newRow("fails in the inputs")
            << 262 << 2 << "" << 0 << 2 + 1 << QStringList{Failed(10100, 10105)}
            << failed.arg("Inputs");
        QTest::newRow("fails in the general page")
            << 262 << 2 << "" << 0 << 2 + 16 << QStringList{Failed(10100, 10122)}
            << failed.arg("General");
    }
    void write()
    {
        QFETCH(int, version);
        QFETCH(int, param21);
        QFETCH(QString, warning);
        QFETCH(int, validate);
        QFETCH(int, failAt);
        QFETCH(QStringList, messages);
        const int yes = int(MsgAnswer::Yes);
        Bench b;
        SimulatedPanel* panel = version ? &b.line->addPanel(6, version) : nullptr;
        const int blocks = version == 258 ? 15 : 19;
        if (failAt)
            b.failFrom(*panel, failAt);
        ConfigClass config = Sample();
        config.SetGenParam(21, std::uint8_t(param21));
        wPanneau* document = b.document("/x.cfg", config);
        b.detect("6");
        if (!warning.isEmpty())
            b.ui.onNextDialog([warning](QObject* dialog) {
                QTest::mouseClick(child<QPushButton>(dialog, qPrintable(warning)), Qt::LeftButton);
                return warning == "cmdYes";
            });
        if (validate)
            b.ui.answerNext(MsgAnswer(validate));
        b.item("mnuFileWrite")->trigger();

        QVERIFY(b.proposed == "4" && b.slaveWarning);
        QCOMPARE(b.ui.dialogsShown.contains("wWarning"), !warning.isEmpty());
        CompareMessages(b.ui, messages);
        QTEST(b.window->StatusPanel("Prompt")->text(), "status");
        const bool written = validate != 0;
        if (failAt && !written) {
            QCOMPARE(b.line->requests().size(), failAt);
            QCOMPARE(b.progress.size(), failAt - 3);
        } else {
            QCOMPARE(Writes(b.line), written ? blocks + int(validate == yes) : 0);
        }
        if (panel)
            QCOMPARE(panel->validations(), int(validate == yes && !failAt));
        if (written)
            QCOMPARE(panel->config().InTempo(3), 123400);
        // The document itself is adapted to firmware 1.02, once agreed.
        QCOMPARE(document->Config().OutPilot(5), std::uint8_t(version == 258 && written ? 2 : 5));
        QVERIFY(document->Modified() && !b.ui.busy);
        QVERIFY(TransferStatus::ProgressBar(b.window->statusBar())->isHidden());
    }

    // A command on the line started while another one searches the line
    // beeps and does nothing.
    void oneCommandOnTheLineAtATime()
    {
        Bench b;
        b.line->addPanel(1);
        b.detect("1", false);
        b.duringConfirmation = [&b] { b.window->mnuFileRead_Click(); };
        b.window->mnuFileRead_Click();
        QCOMPARE(b.ui.beeps, 2); // the panel found, the read refused
        QCOMPARE(b.ui.dialogsShown, (QStringList{"wAskSlave", "wSearchSlave"}));
    }

    // Read, edit, save while editing, reopen, write to a second panel: it
    // holds the first one's configuration with the change.
    void endToEnd()
    {
        Bench b;
        b.window->SetFactoryMode(true);
        b.window->show();
        QVERIFY(QTest::qWaitForWindowActive(b.window.get()));
        SimulatedPanel& first = b.line->addPanel(1);
        first.loadConfig(Sample());
        SimulatedPanel& second = b.line->addPanel(2);
        second.setReadRegister(1175, first.readRegister(1175));
        b.detect("1");
        b.item("mnuFileRead")->trigger();

        auto* grid = child<EditGrid>(b.window->ActivePanel(), "grdInputs");
        grid->setFocus();
        grid->SetCurrentCell(4, 10); // input 3, first redirection
        QTest::keyClick(grid, '7');
        b.ui.answerNextFileDialog({b.dir.filePath("unit.cfg")});
        QTest::keyClick(grid->CellEditor(), Qt::Key_S, Qt::ControlModifier);
        b.window->ActivePanel()->CloseWithoutQuestion();
        QVERIFY(b.panels().isEmpty());
        b.window->mnuFileMRU_Click(1);

        b.detect("2");
        b.ui.answerNext(MsgAnswer::Yes);
        QTest::keyClick(b.window->ActivePanel(), Qt::Key_W, Qt::ControlModifier);
        CompareMessages(b.ui,
                        {"Question YesNo: " + GetText(20240), "Information Ok: " + GetText(10106)});
        ConfigClass expected = first.config();
        expected.SetInRedir(3, 1, 7);
        QCOMPARE(second.config().ToFileBytes(), expected.ToFileBytes());
        QCOMPARE(second.validations(), 1);
    }
    void readBuffer_data()
    {
        QTest::addColumn<QString>("slave");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("5 events: the window") << "1" << QStringList{};
        QTest::newRow("slave 0 reads the slave found") << "0" << QStringList{};
        QTest::newRow("the slave does not answer") << "7" << QStringList{Failed(10100)};
    }
    void readBuffer()
    {
        QFETCH(QString, slave);
        QFETCH(QStringList, messages);
        Bench b(true);
        b.line->panel(1)->setEvents(FiveEvents());
        QStringList rows;
        QString panelNumber;
        b.detect(slave);
        b.ui.onNextDialog([&](QObject* dialog) {
            auto* buffer = qobject_cast<wBuffer*>(dialog);
            for (const EventRow& row : buffer->Rows())
                rows << row[0];
            panelNumber = buffer->PanelNumber();
            return false;
        });
        b.window->ToolButton(QStringLiteral("mnuToolsReadBuffer"))->trigger();

        CompareMessages(b.ui, messages);
        const bool window = messages.isEmpty();
        QCOMPARE(b.ui.dialogsShown.contains("wBuffer"), window);
        QCOMPARE(rows.join(' ') + '/' + panelNumber, window ? "01 02 03 04 05/1" : "/");
        if (slave != "7") {
            QCOMPARE(b.confirmation, GetCaption(35021) + " / 1");
            QCOMPARE(GetIniParam("Communication", "LastSlave"), QStringLiteral("1"));
        }
        QVERIFY(!b.ui.busy);
    }

    // The question first (Cancel by default); the discard loop and its
    // outcomes are the event buffer's own test.
    void clearBuffer_data()
    {
        const QByteArray count = ReadRequestFrame(1, 144, 1);
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QList<QByteArray>>("requests"); // after the detection
        QTest::addColumn<QStringList>("outcome");
        QTest::newRow("five events") << MsgAnswer::Ok
                                     << QList<QByteArray>{count, WriteRequestFrame(1, 288, {5}),
                                                          count, WriteRequestFrame(1, 289, {0})}
                                     << QStringList{"Information Ok: " + GetText(102005)};
        QTest::newRow("question cancelled")
            << MsgAnswer::Cancel << QList<QByteArray>{} << QStringList{};
    }
    void clearBuffer()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(QStringList, outcome);
        Bench b(true);
        b.line->panel(1)->setEvents(FiveEvents());
        b.ui.answerNext(answer);
        b.detect(QStringLiteral("1"));
        b.item("mnuToolsClearBuffer")->trigger();

        CompareMessages(b.ui,
                        QStringList{"Exclamation OkCancel Cancel: " + GetText(102000)} + outcome);
        const bool cancelled = answer == MsgAnswer::Cancel;
        QCOMPARE(b.ui.dialogsShown.isEmpty(), cancelled);
        QCOMPARE(b.confirmation, cancelled ? QString() : GetCaption(102011) + " / 1");
        QCOMPARE(b.line->requests().mid(2), requests);
        QVERIFY(!b.ui.busy);
    }

    void scan_data()
    {
        QTest::addColumn<QStringList>("panels"); // slave:version[:settings]
        QTest::addColumn<bool>("search");
        QTest::addColumn<int>("cancelAtRequest");   // 0: never
        QTest::addColumn<QString>("settingsAfter"); // once the last panel listed is read
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("status");
        // Requests 1 and 2 are probes, 3 to 5 find slave 3; the probe in
        // progress ends first.
        QTest::newRow("cancelled")
            << QStringList{"3:262", "5:262"} << false << 4 << "9600,N,8,1"
            << QStringList{"3 1.06 9600 1"} << "Scan cancelled: 1 panel(s) found.";
        // Read at the speed it was found at, which the line then keeps.
        QTest::newRow("search finds another speed")
            << QStringList{"2:262:4800,N,8,2"} << true << 0 << "4800,N,8,2"
            << QStringList{"2 1.06 4800 2"} << "Scan finished: 1 panel(s) found.";
    }
    // The scan lists the panels; a double-click on the last one reads it into
    // a new panel window after the search window's confirmation.
    void scan()
    {
        QFETCH(QStringList, panels);
        QFETCH(bool, search);
        QFETCH(int, cancelAtRequest);
        QFETCH(QStringList, listed);
        QFETCH(QString, status);
        Bench b(true);
        b.line->removePanel(1);
        for (const QString& p : panels)
            b.line->addPanel(
                std::uint8_t(p.section(':', 0, 0).toInt()), p.section(':', 1, 1).toInt(),
                p.section(':', 2).isEmpty() ? QStringLiteral("9600,N,8,1") : p.section(':', 2));
        QStringList statuses;
        b.ui.onNextDialog([&](QObject* dialog) {
            child<QSpinBox>(dialog, "txtMargin")->setValue(5);
            child<QSpinBox>(dialog, "txtTo")->setValue(search ? 3 : 64);
            child<QCheckBox>(dialog, "chkSearch")->setChecked(search);
            auto* cancel = child<QPushButton>(dialog, "cmdCancel");
            int requests = 0;
            const auto connection = connect(b.line, &SimulatedLine::RequestSent, cancel, [&] {
                if (++requests == cancelAtRequest)
                    cancel->click();
            });
            child<QPushButton>(dialog, "cmdScan")->click();
            disconnect(connection);
            auto* list = child<QTreeWidget>(dialog, "lvwPanels");
            auto* progress = child<QProgressBar>(dialog, "prgScan");
            auto* label = child<QLabel>(dialog, "lblStatus");
            statuses << Rows(list).join('|') << label->text();
            [&] {
                QVERIFY(progress->value() == progress->maximum() && !cancel->isEnabled());
                QCOMPARE(b.line->Settings(), QStringLiteral("9600,N,8,1"));
            }();
            b.ui.onNextDialog([](QObject* found) {
                child<QPushButton>(found, "cmdButtons1")->click();
                return true;
            });
            Q_EMIT list->itemActivated(list->topLevelItem(list->topLevelItemCount() - 1), 0);
            statuses << label->text();
            return false;
        });
        b.item("mnuToolsScan")->trigger();

        const QString read = listed.last().section(' ', 0, 0);
        QCOMPARE(statuses, (QStringList{listed.join('|'), status,
                                        "Panel " + read + " read into a new window."}));
        QCOMPARE(b.ui.dialogsShown.join(' '), "wScanLine wSearchSlave");
        QCOMPARE(QString::number(b.window->ActivePanel()->Config().GenParam(23)), read);
        QTEST(b.line->Settings(), "settingsAfter");
        QVERIFY(b.ui.messages.isEmpty());
    }

    // The monitor shows, pauses, saves (as orvelctl --trace), keeps 10000,
    // clears; closed, it leaves the link.
    void lineMonitor()
    {
        Bench b(true);
        QAction* item = b.item(QStringLiteral("mnuToolsMonitor"));
        item->trigger();
        wLineMonitor* dock = b.window->LineMonitorWindow();
        QVERIFY(dock && item->isChecked() && b.window->Link().Monitor() == &dock->Monitor());

        QList<std::int16_t> word(1, 0);
        QVERIFY(LitMots(b.window->Link(), 1, 1138, word));
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 2);
        QCOMPARE(dock->Row(0).mid(1), (QStringList{"Sent", "01 03 04 72 00 01 25 21",
                                                   "slave 1, read 1 word(s) at 1138, CRC good"}));
        QCOMPARE(dock->StatusText(), QStringLiteral("2 frame(s), the last 10000 are kept"));

        child<QToolButton>(dock, "cmdPause")->click();
        QVERIFY(LitMots(b.window->Link(), 1, 1138, word));
        dock->Refresh();
        QCOMPARE(dock->StatusText(), QStringLiteral("Paused: frames are not recorded - 2 frame(s), "
                                                    "the last 10000 are kept"));

        const QString path = b.ini.folder() + QStringLiteral("/frames.txt");
        b.ui.answerNextFileDialog({path});
        child<QToolButton>(dock, "cmdSave")->click();
        QCOMPARE(b.ui.fileRequests.value(0).filter, QStringLiteral("Text files (*.txt)|*.txt"));
        const auto& frames = dock->Monitor().Frames();
        QCOMPARE(TestFiles::ReadBytes(path),
                 (FrameLine(frames[0]) + '\n' + FrameLine(frames[1]) + '\n').toUtf8());

        child<QToolButton>(dock, "cmdPause")->click(); // the recording resumes
        for (int i = 0; i < 10000; ++i)
            dock->Monitor().Received(QByteArray::number(i), {}, false);
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 10000);
        QCOMPARE(dock->Row(0)[2], QStringLiteral("30"));
        child<QToolButton>(dock, "cmdClear")->click();
        QCOMPARE(dock->RowCount(), 0);

        item->trigger();
        QTRY_VERIFY(!b.window->LineMonitorWindow());
        QVERIFY(!item->isChecked() && !b.window->Link().Monitor());
    }
};

// Run as an ordinary user, for whom file permissions count.
ORVEL_UNPRIVILEGED_APP_MAIN(QApplication, tst_wMainDocuments)
#include "tst_wmaindocuments.moc"
