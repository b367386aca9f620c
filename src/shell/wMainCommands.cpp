// The commands of the main window that need no panel document: factory
// access, preferences, the Window and Help menus, About and Quit.

#include "wMain.h"

#include "HelpDocument.h"
#include "HelpViewer.h"
#include "wPassword.h"
#include "wSplash.h"

#include "settings/IniStore.h"
#include "settings/wConfig.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWhatsThis>

namespace {
// The factory password: compared exactly, letter case and spaces included.
const QString FactoryPassword = QStringLiteral("TEZ-FORGE");

QString WithoutAccessKeys(QString caption)
{
    caption.remove(QLatin1Char('&'));
    return caption;
}
} // namespace

void wMain::mnuFileQuit_Click()
{
    Trap("wMain.mnuFileQuit_Click", [&] { close(); });
}

void wMain::mnuOptionsPrefs_Click()
{
    Trap("wMain.mnuOptionsPrefs_Click", [&] {
        wConfig dialog(*m_link, m_recentFiles, this);
        Ui().execDialog(&dialog);
    });
}

void wMain::mnuOptionsFactory_Click()
{
    Trap("wMain.mnuOptionsFactory_Click", [&] {
        if (m_factoryMode) {
            // Switching off asks for nothing and forgets this machine.
            SetFactoryMode(false);
            DelIniParam(QStringLiteral("General"), QStringLiteral("Factory"));
            return;
        }
        wPassword dialog(this);
        const bool accepted = Ui().execDialog(&dialog);
        if (!accepted || !dialog.Ok())
            return;
        if (dialog.Password() != FactoryPassword) {
            MsgBox(GetText(2001), MsgIcon::Critical, MsgButtons::Ok);
            return;
        }
        SetFactoryMode(true);
        // Remembered for this machine only: the next start restores it here.
        const QString token = CurrentMachineToken();
        if (!token.isEmpty())
            SetIniParam(QStringLiteral("General"), QStringLiteral("Factory"), token);
    });
}

void wMain::mnuWindowCascade_Click()
{
    Trap("wMain.mnuWindowCascade_Click", [&] { m_mdi->cascadeSubWindows(); });
}

HelpViewer* wMain::helpViewer()
{
    if (m_helpFile.isEmpty())
        return nullptr;
    if (!m_help) {
        m_help = new HelpViewer(this);
        m_help->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    if (m_help->Document().Path() != m_helpFile && !m_help->Load(m_helpFile))
        Raise(ErrNo::FileNotFound, m_helpFile);
    m_help->SetPaneCaptions(WithoutAccessKeys(MenuItem(QStringLiteral("mnuHelpSummary"))->text()),
                            WithoutAccessKeys(MenuItem(QStringLiteral("mnuHelpIndex"))->text()));
    return m_help;
}

void wMain::showHelpTopic(int contextId)
{
    if (HelpViewer* viewer = helpViewer())
        viewer->ShowTopic(contextId);
}

void wMain::mnuHelpSummary_Click()
{
    Trap("wMain.mnuHelpSummary_Click", [&] {
        if (HelpViewer* viewer = helpViewer())
            viewer->ShowContents();
    });
}

void wMain::mnuHelpIndex_Click()
{
    // A failure of the index is ignored, not reported.
    try {
        if (HelpViewer* viewer = helpViewer())
            viewer->ShowIndex();
    } catch (const std::exception&) {
    }
}

void wMain::mnuHelpFind_Click()
{
    Trap("wMain.mnuHelpFind_Click", [&] {
        if (HelpViewer* viewer = helpViewer())
            viewer->ShowSearch();
    });
}

void wMain::mnuHelpContext_Click()
{
    Trap("wMain.mnuHelpContext_Click", [&] {
        HelpViewer* viewer = helpViewer();
        if (!viewer)
            return;
        int contextId = 0;
        QMdiSubWindow* active = m_mdi->activeSubWindow();
        QWidget* document = active ? active->widget() : nullptr;
        if (document) {
            contextId = document->property("HelpContextID").toInt();
            // The control that has the focus in that window may have a topic
            // of its own: it is shown beside the control.
            QWidget* control = document->focusWidget();
            const int controlId = control ? control->property("HelpContextID").toInt() : 0;
            if (controlId != 0) {
                const QString text =
                    viewer->Document().SectionText(HelpDocument::ContextAnchor(controlId));
                if (!text.isEmpty()) {
                    QWhatsThis::showText(control->mapToGlobal(control->rect().center()), text,
                                         control);
                    return;
                }
                contextId = controlId;
            }
        }
        if (contextId != 0)
            viewer->ShowTopic(contextId);
        else
            viewer->ShowContents();
    });
}

void wMain::mnuHelpAbout_Click()
{
    Trap("wMain.mnuHelpAbout_Click", [&] {
        wSplash about(this);
        about.SetAboutMode(true);
        Ui().execDialog(&about);
    });
}
