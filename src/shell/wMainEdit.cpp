// The Edit menu (copy and paste of a line, of a line onto all lines and of a
// whole page between panel windows) and the Options menu's resets to the
// default values, on the active panel window.

#include "wMain.h"

#include "config/ClipboardClass.h"
#include "config/LineStore.h"
#include "editor/wPanneau.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QAction>

namespace {
constexpr int kPastePageQuestionTag = 10108;
constexpr int kReplaceValuesTag = 10110;

// A menu caption as plain text: its access-key marks removed.
QString PlainCaption(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption;
}
} // namespace

ClipboardClass& wMain::Clipboard()
{
    if (!m_clipboard)
        m_clipboard = std::make_unique<ClipboardClass>();
    return *m_clipboard;
}

void wMain::editMenuOpening()
{
    Trap("wMain.mnuEdit_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (panel)
            panel->CommitGridEdit();
        const int page = panel ? panel->SelectedPage() : 0;
        for (const char* name : {"mnuEditCopyOneLine", "mnuEditPasteOneLine", "mnuEditCopyLine"})
            MenuItem(QString::fromLatin1(name))->setEnabled(page >= 1 && page <= 2);
        for (const char* name : {"mnuEditCopy", "mnuEditPaste"})
            MenuItem(QString::fromLatin1(name))->setEnabled(page >= 1);
    });
}

void wMain::optionsMenuOpening()
{
    Trap("wMain.mnuOptions_Click", [&] {
        QAction* part = MenuItem(QStringLiteral("mnuOptionsUsinePart"));
        QAction* total = MenuItem(QStringLiteral("mnuOptionsUsineTotal"));
        wPanneau* panel = ActivePanel();
        part->setEnabled(panel != nullptr);
        total->setEnabled(panel != nullptr);
        if (!panel)
            return;
        // The quoted part of the partial reset names the page it would reset.
        const QString caption = part->text();
        const int quote = int(caption.indexOf(QLatin1Char('"')));
        if (quote >= 0) {
            QString page = panel->SelectedPageCaption();
            page.replace(QStringLiteral("&"), QStringLiteral("&&"));
            part->setText(caption.left(quote + 1) + page + QLatin1Char('"'));
        }
    });
}

void wMain::mnuEditCopyOneLine_Click()
{
    Trap("wMain.mnuEditCopyOneLine_Click", [&] {
        wPanneau* panel = ActivePanel();
        const int page = panel ? panel->SelectedPage() : 0;
        if (page == 1)
            m_lines->CopyInputLine(panel->Config(), panel->CurrentLine());
        else if (page == 2)
            m_lines->CopyOutputLine(panel->Config(), panel->CurrentLine());
        else
            Ui().beep();
    });
}

void wMain::mnuEditPasteOneLine_Click()
{
    Trap("wMain.mnuEditPasteOneLine_Click", [&] {
        wPanneau* panel = ActivePanel();
        const int page = panel ? panel->SelectedPage() : 0;
        if (page != 1 && page != 2) {
            Ui().beep();
            return;
        }
        // A paste with nothing copied beeps and changes nothing.
        const bool pasted = page == 1
                                ? m_lines->PasteInputLine(panel->Config(), panel->CurrentLine())
                                : m_lines->PasteOutputLine(panel->Config(), panel->CurrentLine());
        if (!pasted)
            return;
        panel->RefreshFields();
        panel->SetModified(true);
    });
}

void wMain::mnuEditCopyLine_Click()
{
    Trap("wMain.mnuEditCopyLine_Click", [&] {
        wPanneau* panel = ActivePanel();
        const int page = panel ? panel->SelectedPage() : 0;
        if (page != 1 && page != 2) {
            Ui().beep();
            return;
        }
        const int line = panel->CurrentLine();
        const QString text = PlainCaption(MenuItem(QStringLiteral("mnuEditCopyLine"))->text()) +
                             QStringLiteral(" ( %1 -> XX )").arg(line) + QStringLiteral("\r\r") +
                             GetText(kReplaceValuesTag);
        if (MsgBox(text, MsgIcon::Exclamation, MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
        ConfigClass& config = panel->Config();
        if (page == 1)
            m_lines->CopyInputLine(config, line);
        else
            m_lines->CopyOutputLine(config, line);
        for (int target = 1; target <= ConfigClass::Channels; ++target) {
            if (page == 1)
                m_lines->PasteInputLine(config, target);
            else
                m_lines->PasteOutputLine(config, target);
        }
        panel->RefreshFields();
        // Every line changed: closing must ask before losing them.
        panel->SetModified(true);
    });
}

void wMain::mnuEditCopy_Click()
{
    Trap("wMain.mnuEditCopy_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (!panel) {
            Ui().beep();
            return;
        }
        const ConfigClass& config = panel->Config();
        switch (panel->SelectedPage()) {
        case 1:
            Clipboard().GetInputs(config);
            break;
        case 2:
            Clipboard().GetOutputs(config);
            break;
        case 3:
            Clipboard().GetGeneral(config);
            break;
        case 4:
            Clipboard().GetFactory(config);
            break;
        default:
            break;
        }
    });
}

void wMain::mnuEditPaste_Click()
{
    Trap("wMain.mnuEditPaste_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (!panel) {
            Ui().beep();
            return;
        }
        const QString text =
            GetText(kPastePageQuestionTag) + QStringLiteral("\r\r") + GetText(kReplaceValuesTag);
        const ClipboardClass& store = Clipboard();
        bool copied = false;
        void (ClipboardClass::*set)(ConfigClass&) const = nullptr;
        switch (panel->SelectedPage()) {
        case 1:
            copied = store.InputData();
            set = &ClipboardClass::SetInputs;
            break;
        case 2:
            copied = store.OutputData();
            set = &ClipboardClass::SetOutputs;
            break;
        case 3:
            copied = store.GeneralData();
            set = &ClipboardClass::SetGeneral;
            break;
        case 4:
            copied = store.FactoryData();
            set = &ClipboardClass::SetFactory;
            break;
        default:
            return;
        }
        if (!copied) {
            Ui().beep();
            return;
        }
        if (MsgBox(text, MsgIcon::Exclamation, MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
        (store.*set)(panel->Config());
        panel->RefreshFields();
        panel->SetModified(true);
    });
}

void wMain::mnuOptionsUsinePart_Click()
{
    Trap("wMain.mnuOptionsUsinePart_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (!panel) {
            Ui().beep();
            return;
        }
        ConfigClass& config = panel->Config();
        switch (panel->SelectedPage()) {
        case 1:
            GetInputDefaults(config);
            break;
        case 2:
            GetOutputDefaults(config);
            break;
        case 3:
            GetGenDefaults(config);
            break;
        case 4:
            GetFactoryDefaults(config);
            break;
        default:
            return;
        }
        panel->RefreshFields();
        // The reset replaced what the page held: closing must ask.
        panel->SetModified(true);
    });
}

void wMain::mnuOptionsUsineTotal_Click()
{
    Trap("wMain.mnuOptionsUsineTotal_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (!panel) {
            Ui().beep();
            return;
        }
        ConfigClass& config = panel->Config();
        GetInputDefaults(config);
        GetOutputDefaults(config);
        GetGenDefaults(config);
        if (m_factoryMode)
            GetFactoryDefaults(config);
        panel->RefreshFields();
        panel->SetModified(true);
    });
}
