#include "eventlog/EventBuffer.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <algorithm>

namespace {

constexpr int ExtraRecordCount = 2;

void appendRecords(const QList<std::int16_t>& words, int records, QList<EventRow>& rows)
{
    for (int k = 0; k < records; ++k)
        rows.append(DecodeEvent(int(rows.size()) + 1, words[2 * k], words[2 * k + 1]));
}

} // namespace

BufferReadResult ReadEventBuffer(PanelLink& link, std::uint8_t slave, QList<EventRow>& rows)
{
    return Trap("wBuffer.ReadBuffer", [&] {
        QList<std::int16_t> countWord(1, 0);
        if (!LitMots(link, slave, EventRegisters::Count, countWord))
            return BufferReadResult::Failed;
        const std::int16_t count = countWord[0];
        if (count <= 0)
            return BufferReadResult::Empty;

        const int records = std::min(MaxRecordsInOneRequest, count & 0xFF);
        if (records == 0)
            return BufferReadResult::Empty;
        QList<std::int16_t> words(2 * records, 0);
        if (!LitMots(link, slave, EventRegisters::Records, words))
            return BufferReadResult::Failed;
        appendRecords(words, records, rows);

        if (count == MaxRecordsInOneRequest) {
            QList<std::int16_t> extra(2 * ExtraRecordCount, 0);
            if (!LitMots(link, slave, EventRegisters::ExtraRecords, extra))
                return BufferReadResult::Failed;
            for (int j = 0; j < ExtraRecordCount; ++j) {
                if (extra[2 * j] != 0 && extra[2 * j + 1] != 0)
                    rows.append(DecodeEvent(int(rows.size()) + 1, extra[2 * j], extra[2 * j + 1]));
            }
        }
        return BufferReadResult::Read;
    });
}

BufferClearResult ClearEventBuffer(PanelLink& link, std::uint8_t slave, int roundLimit)
{
    return Trap("wMain.mnuToolsClearBuffer_Click", [&] {
        QList<std::int16_t> word(1, 0);
        std::int16_t count = 0;
        bool lastDiscardOk = false;
        int rounds = 0;
        do {
            if (rounds == roundLimit)
                return BufferClearResult::NotCompleted; // the count never falls
            ++rounds;
            if (!LitMots(link, slave, EventRegisters::Count, word))
                return BufferClearResult::ReadFailed;
            count = word[0];
            if (count > 0 && link.StopRequested())
                break;
            if (count > 0)
                lastDiscardOk = EcritMots(link, slave, EventRegisters::Discard, word);
        } while (count > 0);

        // A clear stopped part-way still ends with the end-of-clear once
        // events went, so that the panel is not left in the middle of a clear.
        if (count == 0 || lastDiscardOk) {
            word[0] = 0;
            if (EcritMots(link, slave, EventRegisters::EndOfClear, word) && count <= 0)
                return BufferClearResult::Completed;
        }
        return count > 0 ? BufferClearResult::Interrupted : BufferClearResult::NotCompleted;
    });
}

// tags: 102001, 102003-102005 (outcome messages of reading and clearing)
BufferMessage ReadResultMessage(BufferReadResult result)
{
    switch (result) {
    case BufferReadResult::Failed:
        return {102001, MsgIcon::Critical};
    case BufferReadResult::Empty:
        return {102003, MsgIcon::Exclamation};
    case BufferReadResult::Read:
        break;
    }
    return {0, MsgIcon::None};
}

BufferMessage ClearResultMessage(BufferClearResult result)
{
    switch (result) {
    case BufferClearResult::ReadFailed:
        return {102001, MsgIcon::Critical};
    case BufferClearResult::NotCompleted:
    case BufferClearResult::Interrupted:
        return {102004, MsgIcon::Critical};
    case BufferClearResult::Completed:
        return {102005, MsgIcon::Information};
    }
    return {102004, MsgIcon::Critical};
}

void ShowBufferMessage(const BufferMessage& message)
{
    if (message.tag != 0)
        MsgBox(GetText(message.tag), message.icon);
}
