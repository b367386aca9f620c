#include "shell/QtUi.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(MsgIcon)
Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgAnswer)
Q_DECLARE_METATYPE(QMessageBox::Icon)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

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

// The Qt side of the UI seam: message boxes, modal dialogs, file dialogs and
// the busy pointer.
class TestQtUi : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetTextLookup({});
    }
    void cleanup() { SetTextLookup({}); }

    void messageBox_data()
    {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<int>("defaultAnswer"); // -1: none given
        QTest::addColumn<QMessageBox::Icon>("qtIcon");
        QTest::addColumn<int>("qtButtons");
        QTest::addColumn<QMessageBox::StandardButton>("qtDefault");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<MsgAnswer>("answer");

        QTest::newRow("critical ok")
            << MsgIcon::Critical << MsgButtons::Ok << -1 << QMessageBox::Critical
            << int(QMessageBox::Ok) << QMessageBox::Ok << QMessageBox::Ok << MsgAnswer::Ok;
        QTest::newRow("question yes/no, No clicked")
            << MsgIcon::Question << MsgButtons::YesNo << -1 << QMessageBox::Question
            << int(QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes << QMessageBox::No
            << MsgAnswer::No;
        QTest::newRow("exclamation yes/no, default No")
            << MsgIcon::Exclamation << MsgButtons::YesNo << int(MsgAnswer::No)
            << QMessageBox::Warning << int(QMessageBox::Yes | QMessageBox::No) << QMessageBox::No
            << QMessageBox::Yes << MsgAnswer::Yes;
        QTest::newRow("exclamation ok/cancel, default Cancel")
            << MsgIcon::Exclamation << MsgButtons::OkCancel << int(MsgAnswer::Cancel)
            << QMessageBox::Warning << int(QMessageBox::Ok | QMessageBox::Cancel)
            << QMessageBox::Cancel << QMessageBox::Cancel << MsgAnswer::Cancel;
        QTest::newRow("information")
            << MsgIcon::Information << MsgButtons::Ok << -1 << QMessageBox::Information
            << int(QMessageBox::Ok) << QMessageBox::Ok << QMessageBox::Ok << MsgAnswer::Ok;
        QTest::newRow("yes/no/cancel")
            << MsgIcon::Question << MsgButtons::YesNoCancel << -1 << QMessageBox::Question
            << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << QMessageBox::Yes
            << QMessageBox::Cancel << MsgAnswer::Cancel;
        QTest::newRow("retry/cancel")
            << MsgIcon::Critical << MsgButtons::RetryCancel << -1 << QMessageBox::Critical
            << int(QMessageBox::Retry | QMessageBox::Cancel) << QMessageBox::Retry
            << QMessageBox::Retry << MsgAnswer::Retry;
        QTest::newRow("abort/retry/ignore, default Ignore")
            << MsgIcon::None << MsgButtons::AbortRetryIgnore << int(MsgAnswer::Ignore)
            << QMessageBox::NoIcon
            << int(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore)
            << QMessageBox::Ignore << QMessageBox::Abort << MsgAnswer::Abort;
        QTest::newRow("default not in the set")
            << MsgIcon::Question << MsgButtons::YesNo << int(MsgAnswer::Cancel)
            << QMessageBox::Question << int(QMessageBox::Yes | QMessageBox::No) << QMessageBox::Yes
            << QMessageBox::Yes << MsgAnswer::Yes;
    }
    void messageBox()
    {
        QFETCH(MsgIcon, icon);
        QFETCH(MsgButtons, buttons);
        QFETCH(int, defaultAnswer);
        QFETCH(QMessageBox::Icon, qtIcon);
        QFETCH(int, qtButtons);
        QFETCH(QMessageBox::StandardButton, qtDefault);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(MsgAnswer, answer);

        QtUi ui;
        InstallUi(&ui);
        QString title, text;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        int seenButtons = 0;
        QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
        Qt::TextFormat format = Qt::AutoText;
        ModalScript script([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            seenIcon = box->icon();
            seenButtons = int(box->standardButtons());
            seenDefault = box->standardButton(box->defaultButton());
            format = box->textFormat();
            box->button(click)->click();
        });
        const std::optional<MsgAnswer> def =
            defaultAnswer < 0 ? std::nullopt : std::optional<MsgAnswer>(MsgAnswer(defaultAnswer));
        const MsgAnswer got =
            MsgBox(QStringLiteral("Line <b>one</b>\r\nLine two"), icon, buttons, def);
        InstallUi(nullptr);
        QVERIFY(script.ran);
        QCOMPARE(title, QStringLiteral("Orvel"));
        QCOMPARE(text, QStringLiteral("Line <b>one</b>\nLine two"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(seenIcon, qtIcon);
        QCOMPARE(seenButtons, qtButtons);
        QCOMPARE(seenDefault, qtDefault);
        QCOMPARE(got, answer);
    }

    void escapeAnswers_data()
    {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("ok") << MsgButtons::Ok << MsgAnswer::Ok;
        QTest::newRow("ok/cancel") << MsgButtons::OkCancel << MsgAnswer::Cancel;
        QTest::newRow("yes/no") << MsgButtons::YesNo << MsgAnswer::No;
        QTest::newRow("yes/no/cancel") << MsgButtons::YesNoCancel << MsgAnswer::Cancel;
    }
    void escapeAnswers()
    {
        QFETCH(MsgButtons, buttons);
        QtUi ui;
        InstallUi(&ui);
        ModalScript script([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        const MsgAnswer got = MsgBox(QStringLiteral("?"), MsgIcon::Question, buttons);
        InstallUi(nullptr);
        QVERIFY(script.ran);
        QTEST(got, "answer");
    }

    void buttonCaptionsComeFromTheDataFile()
    {
        SetTextLookup([](int tag) {
            switch (tag) {
            case 10:
                return QStringLiteral("Non");
            case 11:
                return QStringLiteral("Oui");
            default:
                return QStringLiteral("#%1#").arg(tag);
            }
        });
        QtUi ui;
        InstallUi(&ui);
        QString yes, no, cancel;
        ModalScript script([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            yes = box->button(QMessageBox::Yes)->text();
            no = box->button(QMessageBox::No)->text();
            cancel = box->button(QMessageBox::Cancel)->text();
            box->button(QMessageBox::No)->click();
        });
        const MsgAnswer got =
            MsgBox(QStringLiteral("?"), MsgIcon::Question, MsgButtons::YesNoCancel);
        InstallUi(nullptr);
        QCOMPARE(got, MsgAnswer::No);
        QCOMPARE(yes, QStringLiteral("Oui"));
        QCOMPARE(no, QStringLiteral("Non"));
        // A missing text keeps the toolkit's caption rather than "#12#".
        QVERIFY(!cancel.isEmpty());
        QVERIFY(!cancel.contains(QLatin1Char('#')));
    }

    void execDialogReturnsAcceptance()
    {
        QtUi ui;
        QDialog accepted;
        accepted.setObjectName(QStringLiteral("a"));
        QTimer::singleShot(0, &accepted, &QDialog::accept);
        QVERIFY(ui.execDialog(&accepted));
        QDialog rejected;
        QTimer::singleShot(0, &rejected, &QDialog::reject);
        QVERIFY(!ui.execDialog(&rejected));
        QObject notADialog;
        QVERIFY(!ui.execDialog(&notADialog));
        QVERIFY(!ui.execDialog(nullptr));
    }

    void openFileDialog()
    {
        QFile a(m_dir.filePath(QStringLiteral("one.cfg")));
        QVERIFY(a.open(QIODevice::WriteOnly));
        a.close();
        QFile b(m_dir.filePath(QStringLiteral("two.cfg")));
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.close();

        QtUi ui;
        InstallUi(&ui);
        QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
        QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
        QStringList filters;
        QString folder, title;
        ModalScript script([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            mode = dialog->acceptMode();
            fileMode = dialog->fileMode();
            filters = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            title = dialog->windowTitle();
            dialog->selectFile(QStringLiteral("\"one.cfg\" \"two.cfg\""));
            static_cast<QDialog*>(dialog)->accept();
        });
        FileDialogRequest request;
        request.filter = QStringLiteral("Configurations (*.cfg)|*.cfg|All files|*.*");
        request.multiSelect = true;
        request.initialFolder = m_dir.path();
        request.title = QStringLiteral("Pick");
        const QString result = ShowFileDialog(request);
        InstallUi(nullptr);
        QVERIFY(script.ran);
        QCOMPARE(mode, QFileDialog::AcceptOpen);
        QCOMPARE(fileMode, QFileDialog::ExistingFiles);
        QCOMPARE(filters, QStringList({"Configurations (*.cfg)", "All files (*.*)"}));
        QCOMPARE(folder, QDir(m_dir.path()).absolutePath());
        QCOMPARE(title, QStringLiteral("Pick"));
        QStringList paths = SplitFileDialogResult(result);
        paths.sort();
        QCOMPARE(paths, QStringList({QDir(m_dir.path()).filePath("one.cfg"),
                                     QDir(m_dir.path()).filePath("two.cfg")}));
    }

    void saveFileDialogProposesTheName()
    {
        QtUi ui;
        InstallUi(&ui);
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QString proposed;
        ModalScript script([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            mode = dialog->acceptMode();
            const QStringList selected = dialog->selectedFiles();
            proposed = selected.isEmpty() ? QString() : QFileInfo(selected.first()).fileName();
            static_cast<QDialog*>(dialog)->accept();
        });
        FileDialogRequest request;
        request.filter = QStringLiteral("Configurations|*.cfg");
        request.save = true;
        request.proposedName = QStringLiteral("Unit-04");
        request.initialFolder = m_dir.path();
        const QStringList chosen = ui.fileDialog(request);
        InstallUi(nullptr);
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QCOMPARE(proposed, QStringLiteral("Unit-04"));
        // No extension is added to the name the user confirmed.
        QCOMPARE(chosen, QStringList({QDir(m_dir.path()).filePath("Unit-04")}));
    }

    void cancelledFileDialogReturnsNothing()
    {
        QtUi ui;
        ModalScript script([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        FileDialogRequest request;
        request.initialFolder = m_dir.path();
        QVERIFY(ui.fileDialog(request).isEmpty());
        QVERIFY(script.ran);
    }

    void busyPointerIsBalanced()
    {
        QVERIFY(!QApplication::overrideCursor());
        {
            QtUi ui;
            InstallUi(&ui);
            {
                BusyPointer busy;
                QVERIFY(QApplication::overrideCursor());
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
                ui.setBusy(true); // a second request does not stack
                // The error report restores the arrow; the scope's end then
                // has nothing left to restore.
                Qt::CursorShape inBox = Qt::WaitCursor;
                ModalScript script([&](QWidget* w) {
                    inBox = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                           : Qt::ArrowCursor;
                    qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
                });
                ReportError(QStringLiteral("wMain.mnuFileRead_Click"), 5);
                QVERIFY(script.ran);
                QCOMPARE(inBox, Qt::ArrowCursor);
                QVERIFY(!QApplication::overrideCursor());
                QVERIFY(!ui.isBusy());
            }
            QVERIFY(!QApplication::overrideCursor());
            // A message during a busy operation shows the arrow, then the
            // wait cursor comes back.
            ui.setBusy(true);
            Qt::CursorShape inBox = Qt::WaitCursor;
            ModalScript script([&](QWidget* w) {
                inBox = QApplication::overrideCursor()->shape();
                qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
            });
            MsgBox(QStringLiteral("Note"), MsgIcon::Information);
            QCOMPARE(inBox, Qt::ArrowCursor);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            InstallUi(nullptr);
            // Destroying the seam while busy gives the pointer back.
        }
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestQtUi)
#include "tst_qtui.moc"
