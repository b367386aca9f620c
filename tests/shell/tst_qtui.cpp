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

    // Only a dialog accepted counts.
    void execDialog()
    {
        QtUi ui;
        QDialog rejected;
        QTimer::singleShot(0, &rejected, &QDialog::reject);
        QVERIFY(!ui.execDialog(&rejected));
        QObject notADialog;
        QVERIFY(!ui.execDialog(&notADialog) && !ui.execDialog(nullptr));
    }

    // Open several files with the filters, folder and title asked for; Save
    // the name proposed, no extension added; Cancel nothing.
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

        ModalScript cancel([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QVERIFY(seam.ui.fileDialog(saving).isEmpty());
        QVERIFY(cancel.ran);
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

QTEST_MAIN(TestQtUi)
#include "tst_qtui.moc"
