#include "GridPage.h"

#include "EditGrid.h"
#include "PanelContext.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

GridPage::GridPage(PanelContext& panel, EditGrid* grid, const int* helpTags, int toolTipBase,
                   QWidget* parent)
    : QWidget(parent), m_panel(panel), m_grid(grid), m_helpTags(helpTags),
      m_toolTipBase(toolTipBase)
{
    m_grid->setParent(this);
    m_grid->SetEvents(this);
}

GridPage::~GridPage()
{
    // The grid outlives this object's own part: it must not report to it.
    m_grid->SetEvents(nullptr);
}

int GridPage::CurrentLine() const
{
    return m_grid->Row() - m_grid->FixedRows() + 1;
}

void GridPage::CommitEdit()
{
    m_grid->CommitEdit();
}

void GridPage::RowColChange(int /*row*/, int col)
{
    Trap("wPanneau.grd_RowColChange", [&] {
        m_grid->setToolTip(GetToolTip(m_toolTipBase + col));
        m_panel.SetDefaultValue(m_helpTags[col]);
    });
}

void GridPage::GotFocus()
{
    m_panel.SetDefaultValue(m_helpTags[m_grid->Col()]);
}

void GridPage::LostFocus()
{
    m_panel.SetDefaultValue(0);
}
