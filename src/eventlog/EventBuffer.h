#pragma once

#include "eventlog/EventDecoder.h"
#include "link/CommFunctions.h"
#include "util/UiSeam.h"

#include <QList>

#include <cstdint>

// The event log registers of a panel.
namespace EventRegisters {
constexpr std::uint16_t Count = 144;        // count word, signed
constexpr std::uint16_t Records = 146;      // up to 62 records of 2 words
constexpr std::uint16_t ExtraRecords = 270; // 2 further records, read only when the count is 62
constexpr std::uint16_t Discard = 288;      // the clear writes back the count just read
constexpr std::uint16_t EndOfClear = 289;   // written with 0 once the count has fallen to 0
} // namespace EventRegisters

constexpr int MaxRecordsInOneRequest = 62;

enum class BufferReadResult
{
    Failed, // a read failed (text 102001); rows added before the failure stay
    Empty,  // the panel holds no event (text 102003)
    Read,   // rows were appended
};

// Reads the panel's event log and appends one decoded row per record to rows,
// numbered from rows.size() + 1: the count word, one request for up to 62
// records, and the block of two further records only when the count word is
// exactly 62 (a record holding a zero word is skipped there). A positive count
// whose low byte is 0 leaves nothing to read and counts as empty.
BufferReadResult ReadEventBuffer(PanelLink& link, std::uint8_t slave, QList<EventRow>& rows);

enum class BufferClearResult
{
    ReadFailed,   // reading the count failed (text 102001)
    NotCompleted, // the panel did not confirm, or its count never fell (text 102004)
    Completed,    // the count fell to 0 and the end of the clear was written (text 102005)
    Interrupted,  // a stop was asked while events remained (text 102004)
};

// A panel empties its log in one round; a few more are needed only while new
// events keep arriving. A count that is still positive after this many rounds
// never falls, and the clear ends as not completed.
constexpr int ClearRoundLimit = 64;

// Empties the panel's event log: reads the count and writes it back to the
// discard register until the count is 0, then writes 0 to the end-of-clear
// register. A stop asked of the link ends the rounds after the read in
// progress; the end-of-clear is still written when events went.
BufferClearResult ClearEventBuffer(PanelLink& link, std::uint8_t slave,
                                   int roundLimit = ClearRoundLimit);

// The message that reports a result: its text tag and its icon.
struct BufferMessage
{
    int tag;
    MsgIcon icon;
};
BufferMessage ReadResultMessage(BufferReadResult result);
BufferMessage ClearResultMessage(BufferClearResult result);
// Shows such a message through the UI seam; tag 0 (rows were read) shows none.
void ShowBufferMessage(const BufferMessage& message);
