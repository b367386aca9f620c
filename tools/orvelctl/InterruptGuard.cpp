#include "InterruptGuard.h"

namespace {

volatile std::sig_atomic_t signalsSeen = 0;

void onSignal(int number)
{
    if (signalsSeen > 0) {
        // The second signal: the default action, at once.
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    signalsSeen = 1;
}

} // namespace

InterruptGuard::InterruptGuard()
{
    signalsSeen = 0;
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &m_previousInt);
    sigaction(SIGTERM, &action, &m_previousTerm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &m_previousInt, nullptr);
    sigaction(SIGTERM, &m_previousTerm, nullptr);
}

bool InterruptGuard::Requested()
{
    return signalsSeen != 0;
}
