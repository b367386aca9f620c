// The print commands of the main window: Print setup, Print and Preview on
// the active panel window, and their beep without one.

#include "PdfText.h"
#include "PrintAnswers.h"
#include "RecordingUi.h"
#include "ShellTestSupport.h"

#include "shell/wMain.h"

#include "editor/wPanneau.h"
#include "print/wPreview.h"
#include "print/wPrintConfig.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QMdiArea>
#include <QPrintPreviewWidget>

using namespace ShellTest;

namespace {
std::unique_ptr<wMain> NewWindow()
{
    auto window = std::make_unique<wMain>(SimulatedPort()());
    window->SetProgramFolder(BinDir());
    window->Nationality();
    window->show();
    return window;
}

// Opens a panel window named name with New.
void NewPanel(wMain& window, const QString& name)
{
    window.MenuItem(QStringLiteral("mnuFileNew"))->trigger();
    QVERIFY(window.ActivePanel());
    window.ActivePanel()->Config().SetModuleName(name);
}

} // namespace

class tst_wMainPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
        SetCurrentLanguage(QStringLiteral("English"));
    }

    void printSetupShowsEverything()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        bool marginsShown = false;
        ui.onNextDialog([&](QObject* dialog) {
            marginsShown = !dialog->findChild<QGroupBox*>(QStringLiteral("frmMargins"))->isHidden();
            return false;
        });
        window->MenuItem(QStringLiteral("mnuFilePrintSetup"))->trigger();
        QCOMPARE(ui.dialogsShown, QStringList{QStringLiteral("wPrintConfig")});
        QVERIFY(marginsShown);
        QVERIFY(!ini.exists());
    }

    // Print and Preview, from the menu or the tool bar, beep without a panel window.
    void beepWithoutPanel_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("toolBar");
        for (const char* command : {"mnuFilePrint", "mnuFilePreview"}) {
            QTest::addRow("%s menu", command) << command << false;
            QTest::addRow("%s tool bar", command) << command << true;
        }
    }

    void beepWithoutPanel()
    {
        QFETCH(QString, command);
        QFETCH(bool, toolBar);
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        QAction* action = toolBar ? window->ToolButton(command) : window->MenuItem(command);
        QVERIFY(action->isEnabled());
        action->trigger();
        QCOMPARE(ui.beeps, 1);
        QVERIFY(ui.dialogsShown.isEmpty());
        QVERIFY(!window->Preview());
    }

    // Print: the printer only, then the active panel's report, with the
    // factory section while factory access is open.
    void printsTheActivePanel()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        window->SetFactoryMode(true);
        NewPanel(*window, QStringLiteral("First"));
        NewPanel(*window, QStringLiteral("Second"));
        const QString path = ini.folder() + QStringLiteral("/second.pdf");
        ui.onNextDialog(&ChoosePdfFile);
        ui.answerNextFileDialog({path});
        window->ToolButton(QStringLiteral("mnuFilePrint"))->trigger();
        QCOMPARE(ui.dialogsShown, QStringList{QStringLiteral("wPrintConfig")});
        QCOMPARE(ui.fileRequests.value(0).proposedName, QStringLiteral("Second.pdf"));
        const QString text = PdfText::Pages(TestFiles::ReadBytes(path)).join(QLatin1Char('\f'));
        QVERIFY(text.contains(QStringLiteral("Second")) && !text.contains(QStringLiteral("First")));
        QVERIFY(text.contains(QStringLiteral("Factory parameters")));
        QVERIFY(ui.messages.isEmpty());
    }

    // Preview: one window, showing the active panel's report; a second
    // preview reuses it.
    void previewsTheActivePanel()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        NewPanel(*window, QStringLiteral("First"));
        window->MenuItem(QStringLiteral("mnuFilePreview"))->trigger();
        QPointer<wPreview> preview = window->Preview();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->PageCount(), 2);
        NewPanel(*window, QStringLiteral("Second"));
        window->ToolButton(QStringLiteral("mnuFilePreview"))->trigger();
        QCOMPARE(window->Preview(), preview.data());
        // The preview outlives the panel window it was made from.
        window->MdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        preview->Prv()->updatePreview();
        QCOMPARE(preview->PageCount(), 2);
        QVERIFY(ui.messages.isEmpty());
    }
};

QTEST_MAIN(tst_wMainPrint)
#include "tst_wmainprint.moc"
