// The event list's tool bar: Refresh, Copy, Save and its formats, and the
// copy of the selected rows.

#include "eventlog/wBuffer.h"

#include "eventlog/EventExport.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/Cp1252.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"
#include "util/SafeFile.h"
#include "util/UiSeam.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTreeWidget>

namespace {
const QString General = QStringLiteral("General");
const QString BufferFiles = QStringLiteral("BufferFiles");

void PutOnClipboard(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}
} // namespace

void wBuffer::tbrTools_ButtonClick(const QString& key)
{
    Trap("wBuffer.tbrTools_ButtonClick", [&] {
        if (key == QLatin1String("mnuEditRefresh"))
            refresh();
        else if (key == QLatin1String("mnuEditCopyBuffer"))
            CopyValues();
        else if (key == QLatin1String("mnuFileSave"))
            // The formats are on the button's menu.
            MsgBox(GetText(102008), MsgIcon::Information);
        else
            Ui().beep();
    });
}

void wBuffer::tbrTools_ButtonMenuClick(const QString& key)
{
    SaveValues(key);
}

void wBuffer::refresh()
{
    // The box takes 1 to 64 only; anything else is not sent to the line.
    bool number = false;
    const int slave = PanelNumber().trimmed().toInt(&number);
    if (!number || slave < 1 || slave > 64) {
        Ui().beep();
        m_txtPnlNum->setFocus();
        m_txtPnlNum->selectAll();
        return;
    }
    ReadBuffer(std::uint8_t(slave));
}

void wBuffer::CopyValues()
{
    Trap("wBuffer.CopyValues", [&] {
        PutOnClipboard(BufferExport(ExportFormat::Text, Preamble(), Headings(), Rows()));
        MsgBox(GetText(102006), MsgIcon::Information);
    });
}

void wBuffer::copySelection()
{
    Trap("wBuffer.CopyValues", [&] {
        QList<EventRow> selected;
        const QList<EventRow> rows = Rows();
        for (int i = 0; i < rows.size(); ++i)
            if (m_lvwBuffer->topLevelItem(i)->isSelected())
                selected.append(rows[i]);
        if (selected.isEmpty()) {
            Ui().beep();
            return;
        }
        PutOnClipboard(TabbedRows(selected));
    });
}

void wBuffer::SaveValues(const QString& key)
{
    Trap("wBuffer.SaveValues", [&] {
        const std::optional<ExportFormat> format = ExportFormatFromKey(key);
        if (!format)
            Raise(ErrNo::InvalidCall, key);
        const QString content = BufferExport(*format, Preamble(), Headings(), Rows());

        FileDialogRequest request;
        request.owner = this;
        request.filter = BufferFileFilter(GetText(102007), *format);
        request.save = true;
        request.initialFolder = GetIniParam(General, BufferFiles);
        const QString path = ShowFileDialog(request);
        if (path.isEmpty())
            return;
        SetIniParam(General, BufferFiles, FolderOf(path));
        // Written whole or not at all: a failed save keeps an earlier export.
        SafeWriteFileOrRaise(path, ToCp1252(content));
    });
}
