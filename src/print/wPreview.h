#pragma once

#include "config/ConfigClass.h"

#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QToolBar;

// The print preview: the pages of the report in a window, with zoom, page
// navigation, a Print button (the printer-only settings dialog, then a fresh
// copy of the report on the printer) and Close. The window keeps its own copy
// of the configuration, so it stays valid when the panel window closes.
class wPreview : public QWidget
{
    Q_OBJECT

public:
    explicit wPreview(QWidget* parent = nullptr);
    ~wPreview() override;

    // Builds the pages of config with the current print settings; false when
    // the document was cancelled (the fault has been reported).
    bool DoPrint(const ConfigClass& config, bool factory);
    int PageCount() const;
    int CurrentPage() const;
    QPrintPreviewWidget* Prv() const { return m_prv; }

public Q_SLOTS:
    void Nationality();
    // The Print button.
    void CallPrint();
    // The Close button.
    void ClosePreview();

private:
    void buildControls();
    void paint(QPrinter* printer);
    void goToPage(int page);
    // The page shown and the number of pages, "2 / 3".
    void showPageNumber();

    ConfigClass m_config;
    bool m_factory = false;
    bool m_lastCompleted = false;
    // DoPrint has given the window a document.
    bool m_built = false;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_prv = nullptr;
    QToolBar* m_tbrPreview = nullptr;
    QLabel* m_lblPage = nullptr;
    // Tool bar actions and the tag of each one's text.
    QList<QPair<QAction*, int>> m_tagged;
};
