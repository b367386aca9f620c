// buffer read and buffer clear: the panel's event log.
#include "Commands.h"
#include "CtlOutput.h"
#include "CtlSession.h"
#include "eventlog/EventBuffer.h"
#include "eventlog/EventExport.h"
#include "ExitCode.h"
#include "InterruptGuard.h"
#include "texts/DataFunctions.h"
#include "util/Cp1252.h"

#include <QDateTime>

namespace {

ExportFormat formatOf(const QString& option)
{
    if (option == QLatin1String("csv-fr"))
        return ExportFormat::CsvFr;
    if (option == QLatin1String("csv-en"))
        return ExportFormat::CsvEn;
    return ExportFormat::Text;
}

} // namespace

int RunBufferRead(const CtlOptions& options, CtlSession& session)
{
    if (!options.output.isEmpty() && !CheckOutputFile(options.output))
        return ExitFile;
    const int status = session.Detect(false, TextLines(10100));
    if (status != ExitSuccess)
        return status;
    const QDateTime readAt = QDateTime::currentDateTime();

    QList<EventRow> rows;
    const BufferReadResult result = ReadEventBuffer(session.link(), session.slave(), rows);
    if (result != BufferReadResult::Read) {
        ShowBufferMessage(ReadResultMessage(result));
        return result == BufferReadResult::Empty ? ExitSuccess : ExitTransfer;
    }

    const QString content = BufferExport(
        formatOf(options.format),
        BufferPreamble(GetText(102102), QString::number(session.slave()), BufferStatusLine(readAt)),
        BufferHeadings(), rows);
    if (options.output.isEmpty())
        return WriteStdout(content.toUtf8()) ? ExitSuccess : ExitFile;
    // As the console saves it: 8-bit text in the Windows code page.
    return WriteFileBytes(options.output, ToCp1252(content)) ? ExitSuccess : ExitFile;
}

int RunBufferClear(const CtlOptions&, CtlSession& session)
{
    InterruptGuard interrupt;
    const int status = session.Detect(true, TextLines(10100));
    if (status != ExitSuccess)
        return status;
    session.link().SetStopRequest(&InterruptGuard::Requested);
    const BufferClearResult result = ClearEventBuffer(session.link(), session.slave());
    const BufferMessage message = ClearResultMessage(result);
    if (result == BufferClearResult::Interrupted)
        MsgBox(TextLines(10123, message.tag), message.icon);
    else
        ShowBufferMessage(message);
    return result == BufferClearResult::Completed ? ExitSuccess : ExitTransfer;
}
