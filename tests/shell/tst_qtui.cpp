// The Qt side of the UI seam: message boxes, modal dialogs, file dialogs and
// the busy pointer.

#include "shell/QtUi.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
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

namespace {
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

class TestQtUi : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { SetTextLookup({}); }

    // The box shows the icon, the buttons and the default asked for (the
    // first button when none is, or when the one asked for is not there),
    // the text as plain text with CR LF as line breaks, under the program's
    // title; the answer is the button clicked, Escape the Cancel or No.
    void messageBox_data()
    {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<int>("defaultAnswer"); // -1: none given
        QTest::addColumn<QMessageBox::Icon>("qtIcon");
        QTest::addColumn<int>("qtButtons");
        QTest::addColumn<QMessageBox::StandardButton>("qtDefault");
        QTest::addColumn<QMessageBox::StandardButton>("click"); // NoButton: Escape
        QTest::addColumn<MsgAnswer>("answer");
        using B = QMessageBox;
        const int yesNo = int(B::Yes | B::No);
        QTest::newRow("critical ok") << MsgIcon::Critical << MsgButtons::Ok << -1 << B::Critical
                                     << int(B::Ok) << B::Ok << B::Ok << MsgAnswer::Ok;
        QTest::newRow("question yes/no, No clicked")
            << MsgIcon::Question << MsgButtons::YesNo << -1 << B::Question << yesNo << B::Yes
            << B::No << MsgAnswer::No;
        QTest::newRow("exclamation yes/no, default No")
            << MsgIcon::Exclamation << MsgButtons::YesNo << int(MsgAnswer::No) << B::Warning
            << yesNo << B::No << B::Yes << MsgAnswer::Yes;
        QTest::newRow("yes/no, Escape")
            << MsgIcon::Question << MsgButtons::YesNo << -1 << B::Question << yesNo << B::Yes
            << B::NoButton << MsgAnswer::No;
        QTest::newRow("ok/cancel, default Cancel, Escape")
            << MsgIcon::Exclamation << MsgButtons::OkCancel << int(MsgAnswer::Cancel) << B::Warning
            << int(B::Ok | B::Cancel) << B::Cancel << B::NoButton << MsgAnswer::Cancel;
        QTest::newRow("yes/no/cancel, Escape")
            << MsgIcon::Question << MsgButtons::YesNoCancel << -1 << B::Question
            << int(B::Yes | B::No | B::Cancel) << B::Yes << B::NoButton << MsgAnswer::Cancel;
        QTest::newRow("abort/retry/ignore, default Ignore")
            << MsgIcon::None << MsgButtons::AbortRetryIgnore << int(MsgAnswer::Ignore) << B::NoIcon
            << int(B::Abort | B::Retry | B::Ignore) << B::Ignore << B::Abort << MsgAnswer::Abort;
        QTest::newRow("default not in the set")
            << MsgIcon::Question << MsgButtons::YesNo << int(MsgAnswer::Cancel) << B::Question
            << yesNo << B::Yes << B::Yes << MsgAnswer::Yes;
    }
    void messageBox()
    {
        QFETCH(MsgIcon, icon);
        QFETCH(MsgButtons, buttons);
        QFETCH(int, defaultAnswer);
        QFETCH(QMessageBox::StandardButton, click);
        Installed seam;
        QStringList seen;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        int seenButtons = 0;
        QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
        ModalScript script([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            seen << box->windowTitle() << box->text()
                 << (box->textFormat() == Qt::PlainText ? "plain" : "rich");
            seenIcon = box->icon();
            seenButtons = int(box->standardButtons());
            seenDefault = box->standardButton(box->defaultButton());
            if (click == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(click)->click();
        });
        const std::optional<MsgAnswer> def =
            defaultAnswer < 0 ? std::nullopt : std::optional<MsgAnswer>(MsgAnswer(defaultAnswer));
        const MsgAnswer got =
            MsgBox(QStringLiteral("Line <b>one</b>\r\nLine two"), icon, buttons, def);
        QVERIFY(script.ran);
        QCOMPARE(seen, (QStringList{"Orvel", "Line <b>one</b>\nLine two", "plain"}));
        QTEST(seenIcon, "qtIcon");
        QTEST(seenButtons, "qtButtons");
        QTEST(seenDefault, "qtDefault");
        QTEST(got, "answer");
    }

    // Captions from the data file's texts; a missing text keeps the
    // toolkit's caption rather than showing "#12#".
    void buttonCaptionsComeFromTheDataFile()
    {
        SetTextLookup([](int tag) {
            return tag == 10   ? QStringLiteral("Non")
                   : tag == 11 ? QStringLiteral("Oui")
                               : QStringLiteral("#%1#").arg(tag);
        });
        Installed seam;
        QStringList captions;
        ModalScript script([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                captions << box->button(button)->text();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(MsgBox(QStringLiteral("?"), MsgIcon::Question, MsgButtons::YesNoCancel),
                 MsgAnswer::No);
        QCOMPARE(captions.mid(0, 2), (QStringList{"Oui", "Non"}));
        QVERIFY(!captions[2].isEmpty() && !captions[2].contains('#'));
    }

    void execDialogReturnsAcceptance()
    {
        QtUi ui;
        QDialog accepted;
        QTimer::singleShot(0, &accepted, &QDialog::accept);
        QVERIFY(ui.execDialog(&accepted));
        QDialog rejected;
        QTimer::singleShot(0, &rejected, &QDialog::reject);
        QVERIFY(!ui.execDialog(&rejected));
        QObject notADialog;
        QVERIFY(!ui.execDialog(&notADialog));
        QVERIFY(!ui.execDialog(nullptr));
    }

    // Open: existing files, several at once, the filters as the data file
    // writes them, the folder and title asked for. Save: the name proposed,
    // taken without an extension added. Cancel: nothing.
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
        FileDialogRequest request;
        request.filter = QStringLiteral("Configurations (*.cfg)|*.cfg|All files|*.*");
        request.multiSelect = true;
        request.initialFolder = m_dir.path();
        request.title = QStringLiteral("Pick");
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
        FileDialogRequest saving;
        saving.filter = QStringLiteral("Configurations|*.cfg");
        saving.save = true;
        saving.proposedName = QStringLiteral("Unit-04");
        saving.initialFolder = m_dir.path();
        QCOMPARE(seam.ui.fileDialog(saving), QStringList{dir.filePath("Unit-04")});
        QCOMPARE(seen, (QStringList{"1", "Unit-04"}));

        ModalScript cancel([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QVERIFY(seam.ui.fileDialog(saving).isEmpty());
        QVERIFY(cancel.ran);
    }

    // The wait cursor once however often asked for; an error report or a
    // message shows the arrow meanwhile (the report ends the busy state, a
    // message gives the wait cursor back); the seam's end restores the arrow.
    void busyPointer()
    {
        QVERIFY(!QApplication::overrideCursor());
        auto shape = [] {
            return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                  : Qt::ArrowCursor;
        };
        {
            Installed seam;
            {
                BusyPointer busy;
                QCOMPARE(shape(), Qt::WaitCursor);
                seam.ui.setBusy(true); // does not stack
                Qt::CursorShape inBox = Qt::WaitCursor;
                ModalScript script([&](QWidget* w) {
                    inBox = shape();
                    qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
                });
                ReportError(QStringLiteral("wMain.mnuFileRead_Click"), 5);
                QCOMPARE(inBox, Qt::ArrowCursor);
                QVERIFY(!QApplication::overrideCursor());
                QVERIFY(!seam.ui.isBusy());
            }
            QVERIFY(!QApplication::overrideCursor());
            seam.ui.setBusy(true);
            Qt::CursorShape inBox = Qt::WaitCursor;
            ModalScript script([&](QWidget* w) {
                inBox = shape();
                qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
            });
            MsgBox(QStringLiteral("Note"), MsgIcon::Information);
            QCOMPARE(inBox, Qt::ArrowCursor);
            QCOMPARE(shape(), Qt::WaitCursor);
        }
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestQtUi)
#include "tst_qtui.moc"
