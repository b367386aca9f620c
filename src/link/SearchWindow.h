#pragma once

#include <QString>

#include <cstdint>

// What the detection needs of its search window (the wSearchSlave dialog in
// the console, progress lines on standard error in the command-line tool, a
// recorder in tests).
class SearchWindow
{
public:
    virtual ~SearchWindow();

    // Shown modeless when the automatic search starts.
    virtual void ShowSearching() = 0;
    // Lets pending events run; true when the user pressed Cancel.
    virtual bool Cancelled() = 0;
    // The attempt in progress: slave text ("?" for 0), baud rate, stop bits.
    virtual void ShowAttempt(const QString& slave, std::int32_t bauds, std::int16_t stops) = 0;
    // A panel was found: beep, enable OK, show the message of the given text
    // tag (102011 when clearing the buffer, 35021 otherwise) modally; true when
    // the user confirmed with OK.
    virtual bool Confirm(std::uint8_t slaveFound, int messageTag) = 0;
    // Detection is over; the window goes away.
    virtual void Close() = 0;
};
