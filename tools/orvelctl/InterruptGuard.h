#pragma once

#include <csignal>

// While a transfer that changes the panel runs (write, buffer clear), Ctrl+C
// (SIGINT) or SIGTERM does not kill the program half-way: the first one asks
// the transfer to stop at the next block boundary, so the program can say what
// state the panel is in; a second one ends the program at once. The previous
// handlers come back when the guard goes.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // True once a signal has come.
    static bool Requested();

private:
    struct sigaction m_previousInt
    {
    };
    struct sigaction m_previousTerm
    {
    };
};
