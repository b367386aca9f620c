// The Qt side of the UI seam (message boxes, file dialogs, the busy pointer)
// and the dialogs before a transfer: slave dialog, search window, older-panel
// warning.

#include "RecordingPort.h"
#include "ShellFixture.h"

#include "link/Detection.h"
#include "shell/QtUi.h"
#include "shell/wAskSlave.h"
#include "shell/wSearchSlave.h"
#include "shell/wWarning.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(MsgIcon)
Q_DECLARE_METATYPE(MsgButtons)

namespace {
QString Text(QWidget* w, const char* name)
{
    return child<QLabel>(w, name)->text();
}

void Click(QWidget* w, const char* name)
{
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

// Closes a shown dialog by one of its buttons, a key or the window frame.
void Close(QWidget* dialog, const QString& how)
{
    if (how == "Escape" || how == "Return")
        QTest::keyClick(dialog, how == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
    else if (how == "frame")
        dialog->close();
    else
        Click(dialog, qPrintable(how));
}
// Waits for the modal window that the code under test opens and hands it to
// the script, which inspects it and closes it.
class ModalScript : public QObject
{
public:
    explicit ModalScript(std::function<void(QWidget*)> script) : m_script(std::move(script))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            m_timer.stop();
            ran = true;
            m_script(modal);
        });
        m_timer.start();
    }
    bool ran = false;

private:
    std::function<void(QWidget*)> m_script;
    QTimer m_timer;
};

// The Qt seam installed for the life of the object.
struct Installed
{
    Installed() { InstallUi(&ui); }
    ~Installed() { InstallUi(nullptr); }
    QtUi ui;
};
} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<RecordingPort> m_port;

private Q_SLOTS:
    void initTestCase() { QVERIFY(Shell::UseShippedData()); }

    void init()
    {
        SetTextLookup([](int tag) { return GetText(tag); });
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        QFile::remove(m_ini);
        SetIniFileNameOverride(m_ini);
        m_port = std::make_unique<RecordingPort>();
        m_port->settings = QStringLiteral("9600,E,8,2");
    }

    // The last slave number and search choice stored, else 1 with a search;
    // the port the line is on.
    void proposesTheStoredChoices()
    {
        m_port->port = QStringLiteral("4");
        for (const QByteArray stored : {"", "[Communication]\nLastSlave=17\nAutoSearch=0\n"}) {
            TestFiles::WriteBytes(m_ini, stored);
            wAskSlave dialog(*m_port);
            QCOMPARE(dialog.SlaveText() + QString::number(dialog.AutoSearch()),
                     stored.isEmpty() ? "11" : "170");
            QCOMPARE(child<QComboBox>(&dialog, "cboPort")->currentText(), QStringLiteral("4"));
        }
        QVERIFY(m_port->events.isEmpty());
    }

    // 0 to 64 are taken and stored; anything else beeps; Cancel stores nothing.
    void slaveNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("search");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("beeps");
        QTest::newRow("0 asks for a search") << "0" << true << "cmdButtons1" << 0;
        QTest::newRow("64, Enter") << "64" << false << "Return" << 0;
        for (const char* refused : {"65", "-1", "5x", ""})
            QTest::addRow("'%s'", refused) << refused << true << "cmdButtons1" << 1;
        QTest::newRow("-1, Enter") << "-1" << true << "Return" << 1;
        QTest::newRow("Cancel") << "9" << true << "cmdButtons0" << 0;
        QTest::newRow("Escape") << "9" << true << "Escape" << 0;
    }
    void slaveNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(bool, search);
        QFETCH(int, beeps);
        RecordingUi ui;
        m_port->port = QStringLiteral("2");
        wAskSlave dialog(*m_port);
        dialog.show();
        dialog.SetSlaveText(text);
        child<QCheckBox>(&dialog, "chkAutoSearch")->setChecked(search);
        Close(how == "Return" ? static_cast<QWidget*>(child<QLineEdit>(&dialog, "txtSlave"))
                              : &dialog,
              how);
        const bool ok = beeps == 0 && (how == "cmdButtons1" || how == "Return");
        QCOMPARE(ui.beeps, beeps);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(dialog.Ok(), ok);
        QCOMPARE(dialog.isVisible(), beeps > 0);
        const QString stored =
            QStringLiteral("[Communication]\nLastSlave=%1\nAutoSearch=%2\nPort=2\n")
                .arg(text, search ? "1" : "0");
        QCOMPARE(TestFiles::ReadBytes(m_ini), ok ? stored.toUtf8() : QByteArray());
        QVERIFY(m_port->events.isEmpty());
    }

    // A port picked is reopened at once, one typed on OK; a failure is
    // reported; only OK stores the port.
    void ports_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("picked") << true << false << false << "3"
                                << QStringList{"close", "port=3", "open"};
        QTest::newRow("picked, port closed")
            << false << false << false << "7" << QStringList{"port=7", "open"};
        QTest::newRow("picked, cannot open")
            << true << false << true << "4" << QStringList{"close", "port=4"};
        QTest::newRow("typed") << true << true << false << "ttyUSB1"
                               << QStringList{"close", "port=ttyUSB1", "open"};
        QTest::newRow("typed, cannot open")
            << true << true << true << "12" << QStringList{"close", "port=12"};
    }
    void ports()
    {
        QFETCH(bool, open);
        QFETCH(bool, typed);
        QFETCH(bool, fails);
        QFETCH(QString, port);
        RecordingUi ui;
        m_port->open = open;
        if (fails)
            m_port->failingPorts << port;
        wAskSlave dialog(*m_port);
        dialog.show();
        if (typed) {
            child<QComboBox>(&dialog, "cboPort")->setEditText(port);
            Click(&dialog, "cmdButtons1");
        } else {
            auto* combo = child<QComboBox>(&dialog, "cboPort");
            for (int i = 0; i < 2; ++i) {
                combo->setCurrentIndex(combo->findText(port));
                Q_EMIT combo->activated(combo->currentIndex());
            }
        }
        QTEST(m_port->events, "events");
        QCOMPARE(m_port->open, !fails);
        Shell::CompareMessages(ui, fails ? QStringList{"Exclamation Ok: " + GetText(10101)}
                                         : QStringList{});
        QCOMPARE(dialog.isVisible(), !typed || fails);
        QCOMPARE(dialog.Ok(), typed && !fails);
        QCOMPARE(GetIniParam("Communication", "Port"), typed && !fails ? port : QString());
    }

    void helpAsksForTheTopic()
    {
        wAskSlave dialog(*m_port);
        QSignalSpy spy(&dialog, &wAskSlave::HelpRequested);
        dialog.show();
        Click(&dialog, "cmdButtons2");
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(spy, (QList<QList<QVariant>>{{20200}, {20200}}));
        QVERIFY(dialog.isVisible());
    }

    void parityLabel_data()
    {
        QTest::addColumn<QString>("parity"); // the row's name: the line's settings
        QTest::newRow("9600,N,8,1") << GetCaption(1117);
        QTest::newRow("9600,o,8,1") << GetCaption(1119);
        QTest::newRow("9600,M,8,1") << QString();
    }
    void parityLabel()
    {
        m_port->settings = QString::fromLatin1(QTest::currentDataTag());
        wSearchSlave window(*m_port);
        QTEST(Text(&window, "lblParity"), "parity");
        QCOMPARE(Text(&window, "lblDataBits"), QStringLiteral("8"));
    }

    // During the search only Cancel is usable; Cancel, Escape or the frame
    // stop it; a new search starts uncancelled.
    void search_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cmdButtons0";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("frame") << "frame";
    }
    void search()
    {
        QFETCH(QString, how);
        wSearchSlave window(*m_port);
        window.ShowSearching();
        QVERIFY(window.isVisible() && child<QPushButton>(&window, "cmdButtons0")->isEnabled());
        QVERIFY(!child<QPushButton>(&window, "cmdButtons1")->isEnabled());
        QCOMPARE(Text(&window, "lblMessage"), GetCaption(35022));
        window.ShowAttempt(QStringLiteral("?"), 19200, 2);
        QCOMPARE(Text(&window, "lblSlave") + Text(&window, "lblBauds") + Text(&window, "lblStops"),
                 QStringLiteral("?192002"));
        QVERIFY(!window.Cancelled());
        Close(&window, how);
        QVERIFY(window.Cancelled() && !window.isVisible() && !window.Ok());
        window.ShowSearching();
        QVERIFY(!window.Cancelled());
        window.Close();
        QVERIFY(!window.isVisible());
    }

    // Through the dialog's own modal loop: the window was shown modeless
    // during the search and must come back modal with OK usable.
    void confirmationModalForReal()
    {
        wSearchSlave window(*m_port);
        window.ShowSearching();
        QTimer::singleShot(20, &window, [&] {
            QVERIFY(window.isModal() || QApplication::activeModalWidget() == &window);
            Click(&window, "cmdButtons1");
        });
        Installed seam;
        QVERIFY(window.Confirm(3, 35021));
    }

    // Cancel pressed while the first attempt waits for its answer stops the
    // detection.
    void detectionCancelledDuringTheSearch()
    {
        SimulatedLine line; // no panel answers
        PanelLink link(line, LinkOptions{false, 0, 0, 60});
        wSearchSlave window(line);
        QTimer::singleShot(20, &window, [&] { Click(&window, "cmdButtons0"); });
        std::int32_t version = -1;
        QCOMPARE(DetectOrvel(link, window, 5, true, version, false), DetectCancelled);
        QVERIFY(!window.isVisible());
        QVERIFY2(line.exchanges().size() >= 1 && line.exchanges().size() < 10,
                 qPrintable(QString::number(line.exchanges().size())));
    }

    // The warning's message with its line marks as line breaks; Yes (the
    // default button) confirms; No, Escape and the frame refuse.
    void warning_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("ok");
        QTest::newRow("Yes") << "cmdYes" << true;
        QTest::newRow("Enter") << "Return" << true;
        QTest::newRow("No") << "cmdNo" << false;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("frame") << "frame" << false;
    }
    void warning()
    {
        QFETCH(QString, how);
        wWarning dialog;
        QCOMPARE(
            Text(&dialog, "lblMessage"),
            "The firmware of this panel is older than this console.\nSettings that it does not "
            "support will be adjusted in this document before writing.");
        QVERIFY(child<QPushButton>(&dialog, "cmdYes")->isDefault());
        dialog.show();
        Close(&dialog, how);
        QVERIFY(!dialog.isVisible());
        QTEST(dialog.Ok(), "ok");
    }
    // Icon, buttons, default (else the first button), plain text under the
    // program's title; the answer clicked, Escape the Cancel or No. Yes and No
    // take the data file's captions; a missing text ("#12#") keeps the toolkit's.
    void messageBox_data()
    {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<int>("defaultAnswer"); // -1: none given
        QTest::addColumn<QString>("click");     // "": Escape
        QTest::addColumn<QString>("box");       // icon, buttons, default, answer
        using I = MsgIcon;
        using B = MsgButtons;
        const int no = int(MsgAnswer::No);
        QTest::newRow("question yes/no, No clicked") << I::Question << B::YesNo << -1 << "No"
                                                     << "Question Oui|Non Yes No";
        QTest::newRow("exclamation yes/no, default No") << I::Exclamation << B::YesNo << no << "Yes"
                                                        << "Warning Oui|Non No Yes";
        QTest::newRow("yes/no, Escape") << I::Question << B::YesNo << -1 << ""
                                        << "Question Oui|Non Yes No";
        QTest::newRow("ok/cancel, default Cancel, Escape")
            << I::Exclamation << B::OkCancel << int(MsgAnswer::Cancel) << ""
            << "Warning Ok|Cancel Cancel Cancel";
        QTest::newRow("yes/no/cancel, Escape") << I::Question << B::YesNoCancel << -1 << ""
                                               << "Question Oui|Non|Cancel Yes Cancel";
        QTest::newRow("abort/retry/ignore, default Ignore")
            << I::None << B::AbortRetryIgnore << int(MsgAnswer::Ignore) << "Abort"
            << "NoIcon Abort|Retry|Ignore Ignore Abort";
        QTest::newRow("default not in the set")
            << I::Question << B::YesNo << int(MsgAnswer::Cancel) << "Yes"
            << "Question Oui|Non Yes Yes";
    }
    void messageBox()
    {
        QFETCH(MsgIcon, icon);
        QFETCH(MsgButtons, buttons);
        QFETCH(int, defaultAnswer);
        QFETCH(QString, click);
        SetTextLookup([](int tag) {
            return tag == 10   ? QStringLiteral("Non")
                   : tag == 11 ? QStringLiteral("Oui")
                               : QStringLiteral("#%1#").arg(tag);
        });
        Installed seam;
        QStringList seen;
        ModalScript script([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            const QMetaEnum keys = QMetaEnum::fromType<QMessageBox::StandardButtons>();
            QStringList shown;
            for (int b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Abort,
                          QMessageBox::Retry, QMessageBox::Ignore, QMessageBox::Cancel})
                if (box->standardButtons() & b) {
                    const QString caption = box->button(QMessageBox::StandardButton(b))->text();
                    QVERIFY(!caption.isEmpty() && !caption.contains('#'));
                    shown << (b == QMessageBox::Yes || b == QMessageBox::No ? caption
                                                                            : keys.valueToKey(b));
                }
            seen << box->windowTitle() << box->text()
                 << (box->textFormat() == Qt::PlainText ? "plain" : "rich")
                 << QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()) +
                        QString(' ') + shown.join('|') + ' ' +
                        keys.valueToKey(box->standardButton(box->defaultButton()));
            if (click.isEmpty())
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::StandardButton(keys.keyToValue(qPrintable(click))))
                    ->click();
        });
        const MsgAnswer got =
            MsgBox(QStringLiteral("Line <b>one</b>\r\nLine two"), icon, buttons,
                   defaultAnswer < 0 ? std::nullopt : std::optional(MsgAnswer(defaultAnswer)));
        static const char* const answers[] = {"Ok",    "Cancel", "Yes",   "No",
                                              "Retry", "Abort",  "Ignore"};
        seen.last() += QString(' ') + answers[int(got)];
        QTEST(seen.last(), "box");
        QCOMPARE(seen.mid(0, 3), (QStringList{"Orvel", "Line <b>one</b>\nLine two", "plain"}));
    }

    // Open several files with the filters, folder and title asked for; Save
    // the name proposed, no extension added.
    void fileDialogs()
    {
        for (const char* name : {"one.cfg", "two.cfg"})
            QVERIFY(QFile(m_dir.filePath(name)).open(QIODevice::WriteOnly));
        Installed seam;
        QStringList seen;
        ModalScript open([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            seen << QString::number(dialog->acceptMode() == QFileDialog::AcceptOpen)
                 << QString::number(dialog->fileMode() == QFileDialog::ExistingFiles)
                 << dialog->nameFilters().join('/') << dialog->directory().absolutePath()
                 << dialog->windowTitle();
            dialog->selectFile(QStringLiteral("\"one.cfg\" \"two.cfg\""));
            static_cast<QDialog*>(dialog)->accept();
        });
        FileDialogRequest request{.filter = "Configurations (*.cfg)|*.cfg|All files|*.*",
                                  .multiSelect = true,
                                  .initialFolder = m_dir.path(),
                                  .title = "Pick"};
        QStringList paths = SplitFileDialogResult(ShowFileDialog(request));
        paths.sort();
        const QDir dir(m_dir.path());
        QCOMPARE(seen, (QStringList{"1", "1", "Configurations (*.cfg)/All files (*.*)",
                                    dir.absolutePath(), "Pick"}));
        QCOMPARE(paths, (QStringList{dir.filePath("one.cfg"), dir.filePath("two.cfg")}));

        ModalScript save([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            seen = QStringList{QString::number(dialog->acceptMode() == QFileDialog::AcceptSave),
                               QFileInfo(dialog->selectedFiles().value(0)).fileName()};
            static_cast<QDialog*>(dialog)->accept();
        });
        FileDialogRequest saving{.filter = "Configurations|*.cfg",
                                 .save = true,
                                 .proposedName = "Unit-04",
                                 .initialFolder = m_dir.path()};
        QCOMPARE(seam.ui.fileDialog(saving), QStringList{dir.filePath("Unit-04")});
        QCOMPARE(seen, (QStringList{"1", "Unit-04"}));
    }

    // The wait cursor does not stack; a message shows the arrow, an error
    // report also ends the busy state.
    void busyPointer()
    {
        auto shape = [] {
            return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                  : Qt::ArrowCursor;
        };
        QList<Qt::CursorShape> inBox;
        auto answer = [&] {
            return std::make_unique<ModalScript>([&](QWidget* w) {
                inBox << shape();
                qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
            });
        };
        {
            Installed seam;
            {
                BusyPointer busy;
                QCOMPARE(shape(), Qt::WaitCursor);
                seam.ui.setBusy(true); // does not stack
                auto script = answer();
                ReportError(QStringLiteral("wMain.mnuFileRead_Click"), 5);
                QVERIFY(!QApplication::overrideCursor() && !seam.ui.isBusy());
            }
            QVERIFY(!QApplication::overrideCursor());
            seam.ui.setBusy(true);
            auto script = answer();
            MsgBox(QStringLiteral("Note"), MsgIcon::Information);
            QCOMPARE(shape(), Qt::WaitCursor);
        }
        QCOMPARE(inBox, (QList<Qt::CursorShape>{Qt::ArrowCursor, Qt::ArrowCursor}));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
