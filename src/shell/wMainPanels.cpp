// The panel windows in the main window's MDI area: which one is active,
// making and showing one, and the New command.

#include "wMain.h"

#include "editor/wPanneau.h"
#include "util/ErrorHandling.h"

#include <QMdiArea>
#include <QMdiSubWindow>

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
    panel->setFocus();
}

void wMain::mnuFileNew_Click()
{
    Trap("wMain.mnuFileNew_Click", [&] {
        wPanneau* panel = NewPanelWindow();
        panel->SetSlaveText(QString());
        ShowPanelWindow(panel);
    });
}
