#pragma once

#include "link/ComCtrl.h"

// Puts the port's settings text back as it was when the guard was made,
// unless told to keep the current one: on every way out, an error included,
// a search that changed the line's speed or stop bits leaves it as it was.
class SettingsGuard
{
public:
    explicit SettingsGuard(ComCtrl& port) : m_port(port), m_settings(port.Settings()) {}
    ~SettingsGuard()
    {
        if (m_keep)
            return;
        try {
            if (m_port.Settings() != m_settings)
                m_port.SetSettings(m_settings);
        } catch (...) {
            // The error that brought us here is the one reported.
        }
    }
    void keep() { m_keep = true; }

private:
    ComCtrl& m_port;
    QString m_settings;
    bool m_keep = false;
};
