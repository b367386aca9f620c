#include "ScreenshotPanels.h"

#include "wMain.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"

#include <QComboBox>
#include <QMdiSubWindow>

void ScreenshotPanels::Take(wMain* window, const std::function<void(const QString& name)>& shoot)
{
    window->SetFactoryMode(true);
    wPanneau* panel = window->NewPanelWindow();
    // One output in common alarm mode shows the warning of the outputs page.
    panel->Config().SetOutMode(7, 1);
    panel->RefreshFields();
    panel->SetModified(false);
    window->ShowPanelWindow(panel);

    const char* names[4] = {"panel-inputs", "panel-outputs", "panel-general", "panel-factory"};
    for (int page = 1; page <= 4; ++page) {
        panel->SelectPage(page);
        shoot(QString::fromLatin1(names[page - 1]));
    }

    panel->SelectPage(1);
    auto* inputs = panel->findChild<EditGrid*>(QStringLiteral("grdInputs"));
    inputs->setFocus();
    inputs->SetCurrentCell(4, 7);
    if (inputs->EditCell()) {
        if (auto* list = qobject_cast<QComboBox*>(inputs->CellEditor()))
            list->showPopup();
        shoot(QStringLiteral("panel-list-open"));
        if (auto* list = qobject_cast<QComboBox*>(inputs->CellEditor()))
            list->hidePopup();
    }
    inputs->CommitEdit();
    inputs->SetCurrentCell(5, 5);
    if (inputs->EditCell())
        shoot(QStringLiteral("panel-updown-open"));
    inputs->CommitEdit();

    panel->CloseWithoutQuestion();
    window->SetFactoryMode(false);
}
