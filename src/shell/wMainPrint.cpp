// The print commands of the main window: the print settings, printing the
// active panel window's configuration, and its preview.

#include "wMain.h"

#include "editor/wPanneau.h"
#include "print/ReportPrinting.h"
#include "print/wPreview.h"
#include "print/wPrintConfig.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

wPreview* wMain::Preview() const
{
    return m_preview;
}

void wMain::mnuFilePrintSetup_Click()
{
    Trap("wMain.mnuFilePrintSetup_Click", [&] {
        wPrintConfig dialog(SystemPrinters(), this);
        Ui().execDialog(&dialog);
    });
}

void wMain::mnuFilePrint_Click()
{
    Trap("wMain.mnuFilePrint_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (!panel) {
            Ui().beep();
            return;
        }
        if (!AskPrinter(this))
            return;
        ReportOptions options;
        options.factory = m_factoryMode;
        PrintConfigReport(panel->Config(), options, this);
    });
}

void wMain::mnuFilePreview_Click()
{
    Trap("wMain.mnuFilePreview_Click", [&] {
        wPanneau* panel = ActivePanel();
        if (!panel) {
            Ui().beep();
            return;
        }
        // One preview window, showing the last document asked for.
        if (!m_preview)
            m_preview = new wPreview(this);
        if (!m_preview->DoPrint(panel->Config(), m_factoryMode)) {
            m_preview->close();
            return;
        }
        m_preview->show();
        m_preview->raise();
        m_preview->activateWindow();
    });
}
