#pragma once

#include "GridPage.h"

#include <QStringList>
#include <QWidget>

class PanelContext;

// Page 1 of the panel window: the twelve inputs of the record in the grid
// grdInputs, one row per input. It checks and stores every cell edit: lists
// by position, the horn type through its own order, the redirections up to
// 12 and the delay as hours, minutes, seconds and milliseconds (rounded to a
// tenth of a second, at least 20 ms).
class InputGridPage : public GridPage
{
    Q_OBJECT

public:
    InputGridPage(PanelContext& panel, QWidget* parent = nullptr);

    void Nationality();
    void Refresh();
    // Stores the text of a cell in the record; false when it is refused.
    bool UpdateConfigInput(int ch, int col);

private:
    void FillList(int row, int col, QStringList& list) override;
    void FillUpDown(int row, int col, int& min, int& max, int& step) override;
    void BeforeUpdate(int row, int col, bool& cancel) override;
    void AfterUpdate(int row, int col, const QString& previous, bool& cancel) override;

    // The list a column's cells choose from (empty for other columns).
    QStringList columnList(int col) const;
    void fitColumns();
    bool updateDelay(int ch, int row);

    QStringList m_yesNo;
    QStringList m_safety;
    QStringList m_sequence;
    QStringList m_detection;
    QStringList m_hornTypes;
};
