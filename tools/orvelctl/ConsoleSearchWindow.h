#pragma once

#include "link/SearchWindow.h"

// The search window of the command-line tool: one progress line per attempt
// on standard error. Ctrl+C during the search cancels it (the attempt in
// progress ends first), as the Cancel button of the console's window does;
// the final confirmation is given without asking.
class ConsoleSearchWindow : public SearchWindow
{
public:
    ConsoleSearchWindow() = default;
    ~ConsoleSearchWindow() override;
    ConsoleSearchWindow(const ConsoleSearchWindow&) = delete;
    ConsoleSearchWindow& operator=(const ConsoleSearchWindow&) = delete;

    void ShowSearching() override;
    bool Cancelled() override;
    void ShowAttempt(const QString& slave, std::int32_t bauds, std::int16_t stops) override;
    bool Confirm(std::uint8_t slaveFound, int messageTag) override;
    void Close() override;

private:
    void restoreInterrupt();

    bool m_searching = false;
    void (*m_previousHandler)(int) = nullptr;
};
