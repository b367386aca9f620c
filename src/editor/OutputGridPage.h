#pragma once

#include "GridPage.h"

#include <QStringList>
#include <QWidget>

class PanelContext;
class QFrame;

// Page 2 of the panel window: the twelve outputs of the record in the grid
// grdOutputs (fail-safe, mode and driving, each a list) and the warning shown
// while an output is in common alarm mode. An output in that mode is offered
// two driving entries instead of six, the second one standing for the
// driving kind the defaults designate.
class OutputGridPage : public GridPage
{
    Q_OBJECT

public:
    OutputGridPage(PanelContext& panel, QWidget* parent = nullptr);

    void Nationality();
    void Refresh();
    void ShowWarning(bool shown);
    // Stores the text of a cell in the record; false when it is refused.
    bool UpdateConfigOutput(int n, int col);
    // The driving entries offered to output n.
    QStringList DrivingList(int n) const;

private:
    void FillList(int row, int col, QStringList& list) override;
    void FillUpDown(int row, int col, int& min, int& max, int& step) override;
    void BeforeUpdate(int row, int col, bool& cancel) override;
    void AfterUpdate(int row, int col, const QString& previous, bool& cancel) override;

    void fitColumns();

    QFrame* m_picWarning = nullptr;
    QStringList m_safety;
    QStringList m_modes;
    // The driving entries last asked for (rebuilt each time).
    QStringList m_driving;
};
