// The print commands of the main window: Print setup, Print and Preview of
// the active panel window.

#include "PdfText.h"
#include "PrintAnswers.h"
#include "ShellFixture.h"

#include "editor/wPanneau.h"
#include "print/wPreview.h"

#include <QGroupBox>
#include <QPrintPreviewWidget>

using namespace Shell;

namespace {
void NewPanel(wMain& window, const QString& name)
{
    window.MenuItem(QStringLiteral("mnuFileNew"))->trigger();
    window.ActivePanel()->Config().SetModuleName(name);
}
} // namespace

class tst_wMainPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }

    // Print setup: the whole dialog, margins included; cancelled, nothing stored.
    void printSetupShowsEverything()
    {
        Console c;
        bool marginsShown = false;
        c.ui.onNextDialog([&](QObject* dialog) {
            marginsShown = !child<QGroupBox>(dialog, "frmMargins")->isHidden();
            return false;
        });
        c.item("mnuFilePrintSetup")->trigger();
        QCOMPARE(c.ui.dialogsShown, QStringList{QStringLiteral("wPrintConfig")});
        QVERIFY(marginsShown);
        QVERIFY(!c.ini.exists());
    }

    // Print: the printer only, then the active panel's report, with the
    // factory section while factory access is open.
    void printsTheActivePanel()
    {
        Console c;
        c.window->SetFactoryMode(true);
        NewPanel(*c.window, QStringLiteral("First"));
        NewPanel(*c.window, QStringLiteral("Second"));
        const QString path = c.ini.folder() + QStringLiteral("/second.pdf");
        c.ui.onNextDialog(&ChoosePdfFile);
        c.ui.answerNextFileDialog({path});
        c.window->ToolButton(QStringLiteral("mnuFilePrint"))->trigger();
        QCOMPARE(c.ui.dialogsShown, QStringList{QStringLiteral("wPrintConfig")});
        QCOMPARE(c.ui.fileRequests.value(0).proposedName, QStringLiteral("Second.pdf"));
        const QString text = PdfText::Pages(TestFiles::ReadBytes(path)).join('\f');
        QVERIFY(text.contains(QStringLiteral("Second")) && !text.contains(QStringLiteral("First")));
        QVERIFY(text.contains(QStringLiteral("Factory parameters")));
        QVERIFY(c.ui.messages.isEmpty());
    }

    // Preview: one window, showing the active panel's report; a second
    // preview reuses it; it outlives the panel window it was made from.
    void previewsTheActivePanel()
    {
        Console c;
        c.window->show();
        NewPanel(*c.window, QStringLiteral("First"));
        c.item("mnuFilePreview")->trigger();
        QPointer<wPreview> preview = c.window->Preview();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->PageCount(), 2);
        NewPanel(*c.window, QStringLiteral("Second"));
        c.window->ToolButton(QStringLiteral("mnuFilePreview"))->trigger();
        QCOMPARE(c.window->Preview(), preview.data());
        c.window->MdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        preview->Prv()->updatePreview();
        QCOMPARE(preview->PageCount(), 2);
        QVERIFY(c.ui.messages.isEmpty());
    }
};

QTEST_MAIN(tst_wMainPrint)
#include "tst_wmainprint.moc"
