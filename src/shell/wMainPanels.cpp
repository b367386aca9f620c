// The panel windows in the main window's MDI area: which one is active,
// making and showing one, and the New command.

#include "wMain.h"

#include "editor/wPanneau.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

wPanneau* wMain::ActivePanel() const
{
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    return active ? qobject_cast<wPanneau*>(active->widget()) : nullptr;
}

wPanneau* wMain::NewPanelWindow()
{
    auto* panel = new wPanneau(m_factoryMode);
    QMdiSubWindow* sub = m_mdi->addSubWindow(panel);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    // The sub-window's own Close answers Ctrl+W too, which is File > Write
    // here: two owners would leave the key doing nothing. Close keeps Ctrl+F4.
    for (QAction* action : sub->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0)
            action->setShortcuts(keys);
    }
    connect(this, &wMain::FactoryModeChanged, panel, &wPanneau::SetFactoryMode);
    sub->hide();
    return panel;
}

void wMain::ShowPanelWindow(wPanneau* panel)
{
    auto* sub = qobject_cast<QMdiSubWindow*>(panel->parentWidget());
    if (!sub)
        return;
    sub->resize(sub->sizeHint());
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    panel->FocusPage();
}

void wMain::mnuFileNew_Click()
{
    Trap("wMain.mnuFileNew_Click", [&] {
        wPanneau* panel = NewPanelWindow();
        panel->SetSlaveText(QString());
        ShowPanelWindow(panel);
    });
}
