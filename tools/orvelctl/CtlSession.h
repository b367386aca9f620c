#pragma once

#include "CtlOptions.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"

#include <QString>

#include <cstdint>
#include <memory>

class LineMonitor;

// The line and the panel of one command: the line settings resolved from the
// command line, the INI file and the console's defaults, the port opened with
// them, and the detection of the panel.
class CtlSession
{
public:
    struct Line
    {
        QString port;
        std::int32_t bauds = 9600;
        std::int16_t stops = 1;
        QString parity = QStringLiteral("n");
        LinkOptions link;
        std::uint8_t slave = 1; // 0: search for the slave number
        bool search = false;
        bool trace = false; // every frame to standard error
    };

    // Resolves the settings; an INI value that does not convert raises the
    // conversion error.
    static Line ResolveLine(const CtlOptions& options);
    // "9600,N,8,1".
    static QString SettingsText(const Line& line);

    explicit CtlSession(const Line& line);
    ~CtlSession();
    CtlSession(const CtlSession&) = delete;
    CtlSession& operator=(const CtlSession&) = delete;

    // Opens the port (Detect does it first), with the trace on the link when
    // asked; on failure the error is reported and the result is false.
    bool Open();
    // The link of the open port.
    PanelLink& link() { return *m_link; }
    const Line& line() const { return m_line; }

    // Opens the port, detects the panel and returns an exit code: success
    // with slave() and version() set; no panel (or a port that cannot be
    // opened), with its message shown; a transfer failure when the panel
    // answered but its version could not be read (noAnswerText shown);
    // cancelled.
    // noAnswerText is the message when the given slave did not answer; a
    // search for the slave number that found nothing shows text 10102 instead
    // unless forceNoAnswerText.
    int Detect(bool clearMode, const QString& noAnswerText, bool forceNoAnswerText = false);
    std::uint8_t slave() const { return m_slave; }
    std::int32_t version() const { return m_version; }

private:
    Line m_line;
    std::unique_ptr<LineMonitor> m_monitor;
    std::unique_ptr<SerialComCtrl> m_port;
    std::unique_ptr<PanelLink> m_link;
    std::uint8_t m_slave = 0;
    std::int32_t m_version = 0;
};
