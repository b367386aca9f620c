#pragma once

#include "PrinterChoice.h"

#include <QDialog>

class PageSketch;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The print settings: the printer (or the PDF file destination) and the
// margins of the printed report. It shows the INI file's "Print" settings
// with their defaults and stores them only when the user confirms; with the
// margins hidden (MaskMargins, the print command) only the printer is stored.
class wPrintConfig : public QDialog
{
    Q_OBJECT

public:
    explicit wPrintConfig(const PrinterList& printers = SystemPrinters(),
                          QWidget* parent = nullptr);

    bool Ok() const { return m_ok; }
    // A printer-only dialog: the margins frame is hidden and the window
    // shrinks to what is left.
    void MaskMargins();
    // 0 cancels; 1 confirms and stores.
    void Bouton_Click(int index);

public Q_SLOTS:
    void Nationality();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void loadValues();
    void updateSketch();
    void store();

    PrinterList m_printers;
    bool m_ok = false;
    QGroupBox* m_frmMargins = nullptr;
    QGroupBox* m_frmPrinter = nullptr;
    QListWidget* m_lstPrinters = nullptr;
    // Left, right, top, bottom, value column.
    QLineEdit* m_margins[5] = {};
    PageSketch* m_picPage = nullptr;
    QPushButton* m_bouton[2] = {};
    // Controls whose caption is the text of a tag.
    QList<QPair<QWidget*, int>> m_tagged;
};
