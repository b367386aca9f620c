#pragma once

#include "util/UiSeam.h"

// One command on the panel line at a time: the slave search lets events run,
// so the user could start another one meanwhile. The first command holds the
// line for its life; one started during it is refused with a beep.
class LinkCommand
{
public:
    LinkCommand() : m_alone(!s_running) { s_running = true; }
    ~LinkCommand()
    {
        if (m_alone)
            s_running = false;
    }
    LinkCommand(const LinkCommand&) = delete;
    LinkCommand& operator=(const LinkCommand&) = delete;

    // True (after a beep) when another command holds the line.
    bool refused() const
    {
        if (!m_alone)
            Ui().beep();
        return !m_alone;
    }

private:
    static inline bool s_running = false;
    bool m_alone;
};
