// The Tools commands of the main window: read a panel's event buffer into
// the event list, and clear it on the panel.

#include "wMain.h"

#include "LinkCommand.h"
#include "wSearchSlave.h"

#include "eventlog/EventBuffer.h"
#include "eventlog/wBuffer.h"
#include "link/Detection.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QCoreApplication>

#include <memory>

namespace {
const QString Communication = QStringLiteral("Communication");
} // namespace

std::uint8_t wMain::askAndDetect(bool clearMode, std::int32_t* panelVersion)
{
    std::uint8_t typed = 0;
    bool search = false;
    if (!askSlave(false, QString(), typed, search))
        return 0;
    return detect(typed, search, clearMode, panelVersion);
}

std::uint8_t wMain::detect(std::uint8_t typed, bool search, bool clearMode,
                           std::int32_t* panelVersion)
{
    QCoreApplication::processEvents();
    BusyPointer busy;
    wSearchSlave window(*m_port, this);
    std::int32_t version = 0;
    const std::uint8_t found = DetectOrvel(*m_link, window, typed, search, version, clearMode);
    if (found == DetectCancelled)
        return 0;
    if (found == DetectNone) {
        MsgBox(GetText(typed == 0 ? 10102 : 10100), MsgIcon::Critical);
        return 0;
    }
    SetIniParam(Communication, QStringLiteral("LastSlave"), QString::number(found));
    if (panelVersion)
        *panelVersion = version;
    return typed == 0 ? found : typed;
}

void wMain::mnuToolsReadBuffer_Click()
{
    Trap("wMain.mnuToolsReadBuffer_Click", [&] {
        const LinkCommand command;
        if (command.refused())
            return;
        const std::uint8_t slave = askAndDetect(false);
        if (slave == 0)
            return;
        auto buffer = std::make_unique<wBuffer>(*m_link, this);
        buffer->SetPanelNumber(slave);
        // The window is shown only when there is something to list; the read
        // has said why when there is not.
        if (buffer->ReadBuffer(slave) && buffer->RowCount() > 0)
            Ui().execDialog(buffer.get());
    });
}

void wMain::mnuToolsClearBuffer_Click()
{
    Trap("wMain.mnuToolsClearBuffer_Click", [&] {
        const LinkCommand command;
        if (command.refused())
            return;
        const MsgAnswer answer =
            MsgBox(GetText(102000), MsgIcon::Exclamation, MsgButtons::OkCancel, MsgAnswer::Cancel);
        if (answer != MsgAnswer::Ok)
            return;
        const std::uint8_t slave = askAndDetect(true);
        if (slave == 0)
            return;
        BufferClearResult result = BufferClearResult::NotCompleted;
        {
            BusyPointer busy;
            result = ClearEventBuffer(*m_link, slave);
        }
        ShowBufferMessage(ClearResultMessage(result));
    });
}
