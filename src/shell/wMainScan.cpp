// The commissioning tools of the Tools menu: the line scan window, which
// lists every panel that answers on the line, and the line monitor, which
// shows every frame on it.

#include "wMain.h"

#include "LinkCommand.h"
#include "wLineMonitor.h"
#include "wScanLine.h"

#include "link/CommFunctions.h"
#include "link/SettingsGuard.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QAction>
#include <QTimer>

wLineMonitor* wMain::LineMonitorWindow() const
{
    return m_lineMonitor;
}

void wMain::mnuToolsScan_Click()
{
    Trap("wMain.mnuToolsScan_Click", [&] {
        {
            // Not while another command holds the line; the scan and the
            // reads it leads to take it in turn.
            const LinkCommand command;
            if (command.refused())
                return;
        }
        reloadFrameDelay();
        wScanLine window(*m_link, this);
        window.setWindowIcon(QIcon(QStringLiteral(":/shell/icons/mnuToolsScan.svg")));
        connect(&window, &wScanLine::ReadRequested, this,
                [this, &window](const ScannedPanel& panel) { readScannedPanel(panel, window); });
        connect(&window, &wScanLine::HelpRequested, this, &wMain::showHelpTopic);
        // The scan starts once the window is on screen.
        QTimer::singleShot(0, &window, &wScanLine::Scan);
        Ui().execDialog(&window);
    });
}

void wMain::readScannedPanel(const ScannedPanel& panel, wScanLine& window)
{
    Trap("wMain.readScannedPanel", [&] {
        const LinkCommand command;
        if (command.refused())
            return;
        // At the speed and stop bits the panel answered at. Once it is read
        // the line keeps them, as after a search; otherwise the console's own
        // come back.
        SettingsGuard restore(*m_port);
        SetCommBauds(*m_port, panel.bauds);
        SetCommStops(*m_port, panel.stops);
        if (!readFromPanel(panel.slave, false))
            return;
        restore.keep();
        window.PanelRead(panel.slave);
    });
}

void wMain::mnuToolsMonitor_Click()
{
    Trap("wMain.mnuToolsMonitor_Click", [&] {
        QAction* item = MenuItem(QStringLiteral("mnuToolsMonitor"));
        if (m_lineMonitor) {
            m_lineMonitor->close();
            item->setChecked(false);
            return;
        }
        m_lineMonitor = new wLineMonitor(*m_link, this);
        connect(m_lineMonitor, &QObject::destroyed, item, [item] { item->setChecked(false); });
        addDockWidget(Qt::BottomDockWidgetArea, m_lineMonitor);
        // A third of the window's height: a dozen frames or so.
        resizeDocks({m_lineMonitor}, {height() / 3}, Qt::Vertical);
        m_lineMonitor->show();
        item->setChecked(true);
    });
}
