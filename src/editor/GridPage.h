#pragma once

#include "GridEvents.h"

#include <QWidget>

class EditGrid;
class PanelContext;

// What the input and output pages share: a grid whose events they answer,
// the current line, the edit in progress, and the help line and tool tip of
// the current column.
class GridPage : public QWidget, protected GridEvents
{
    Q_OBJECT

public:
    EditGrid* Grid() const { return m_grid; }
    // The current line (1..12).
    int CurrentLine() const;
    // Finishes the cell edit in progress.
    void CommitEdit();

protected:
    // helpTags: the help tag of each column (0: none); toolTipBase: the
    // column's tool tip is the tool tip of toolTipBase + column.
    GridPage(PanelContext& panel, EditGrid* grid, const int* helpTags, int toolTipBase,
             QWidget* parent);
    ~GridPage() override;

    void RowColChange(int row, int col) override;
    void GotFocus() override;
    void LostFocus() override;

    PanelContext& m_panel;
    EditGrid* m_grid;

private:
    const int* m_helpTags;
    int m_toolTipBase;
};
