#include "ConsoleSearchWindow.h"

#include "texts/DataFunctions.h"

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

// The first line of a text of the search window (the second one speaks of
// its buttons).
QString firstLine(int tag)
{
    const QString text = GetText(tag);
    return text.left(text.indexOf(QLatin1Char('\r')));
}

void progress(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

ConsoleSearchWindow::~ConsoleSearchWindow()
{
    restoreInterrupt();
}

void ConsoleSearchWindow::ShowSearching()
{
    interrupted = 0;
    if (!m_searching) {
        m_previousHandler = std::signal(SIGINT, onInterrupt);
        m_searching = true;
    }
    progress(firstLine(35022) + QStringLiteral(" (Ctrl+C)"));
}

bool ConsoleSearchWindow::Cancelled()
{
    return interrupted != 0;
}

void ConsoleSearchWindow::ShowAttempt(const QString& slave, std::int32_t bauds, std::int16_t stops)
{
    progress(QStringLiteral("%1 %2  %3 %4  %5 %6")
                 .arg(GetText(35031), slave, GetText(35032))
                 .arg(bauds)
                 .arg(GetText(35034))
                 .arg(stops));
}

bool ConsoleSearchWindow::Confirm(std::uint8_t slaveFound, int messageTag)
{
    progress(QStringLiteral("%1 %2 %3").arg(firstLine(messageTag), GetText(35031)).arg(slaveFound));
    return true;
}

void ConsoleSearchWindow::Close()
{
    restoreInterrupt();
}

void ConsoleSearchWindow::restoreInterrupt()
{
    if (!m_searching)
        return;
    std::signal(SIGINT, m_previousHandler == SIG_ERR ? SIG_DFL : m_previousHandler);
    m_searching = false;
}
