#pragma once

// Driving a panel window as a user does: keys into grid cells and fields,
// with the shipped data file in its default language.

#include "RecordingUi.h"
#include "WidgetLookup.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"
#include "texts/DataFunctions.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>

namespace PanelTest {

inline bool OpenShippedTexts()
{
    QStandardPaths::setTestModeEnabled(true);
    if (!OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")))
        return false;
    SetCurrentLanguage(QString());
    return true;
}

inline EditGrid* Inputs(wPanneau& panel)
{
    return child<EditGrid>(&panel, "grdInputs");
}

inline EditGrid* Outputs(wPanneau& panel)
{
    return child<EditGrid>(&panel, "grdOutputs");
}

// Lets a queued commit (Enter in a cell editor) run.
inline void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Types text into a cell as the user does: the first key starts the edit,
// Enter commits it.
inline void TypeInCell(EditGrid* grid, int row, int col, const QString& text)
{
    grid->SetCurrentCell(row, col);
    QTest::keyClick(grid, text.at(0).toLatin1());
    if (QWidget* editor = grid->CellEditor()) {
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }
    Settle();
}

// Opens a list cell with F2, moves to entry index with the arrow keys and
// commits with Enter. False when the cell would not open.
inline bool ChooseInCell(EditGrid* grid, int row, int col, int index)
{
    grid->SetCurrentCell(row, col);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* list = qobject_cast<QComboBox*>(grid->CellEditor());
    if (!list)
        return false;
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    Settle();
    return true;
}

// The entries a list cell offers when opened (the edit is cancelled).
inline QStringList OfferedEntries(EditGrid* grid, int row, int col)
{
    grid->SetCurrentCell(row, col);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* list = qobject_cast<QComboBox*>(grid->CellEditor());
    QStringList entries;
    if (!list)
        return entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    QTest::keyClick(list, Qt::Key_Escape);
    Settle();
    return entries;
}

// Chooses entry index of a combo box with the keyboard.
inline void Choose(QComboBox* combo, int index)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    Settle();
}

// Replaces a numeric field's text by typing, then leaves it with Enter.
inline void TypeInField(QAbstractSpinBox* field, const QString& text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_End);
    const int length = int(field->findChild<QLineEdit*>()->text().size());
    for (int i = 0; i < length; ++i)
        QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    Settle();
}

} // namespace PanelTest
