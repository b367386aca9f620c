#pragma once

#include <QString>
#include <QStringList>

// The events an EditGrid raises while the user moves and edits, with the
// answers its owner gives. Rows and columns count the fixed heading rows and
// the fixed first column, as the grid's own cell addresses do.
class GridEvents
{
public:
    virtual ~GridEvents() = default;

    // The entries of a list cell's drop-down.
    virtual void FillList(int row, int col, QStringList& list) = 0;
    // The range and step of an up-down cell's arrows.
    virtual void FillUpDown(int row, int col, int& min, int& max, int& step) = 0;
    // Before an edit starts: cancel refuses it.
    virtual void BeforeUpdate(int row, int col, bool& cancel) = 0;
    // The new text is in the cell; cancel puts the previous text back.
    virtual void AfterUpdate(int row, int col, const QString& previous, bool& cancel) = 0;
    // The current cell moved.
    virtual void RowColChange(int row, int col) = 0;
    // The keyboard focus entered or left the grid (its cell editors included).
    virtual void GotFocus() = 0;
    virtual void LostFocus() = 0;
};
