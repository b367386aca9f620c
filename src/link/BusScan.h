#pragma once

#include "link/CommFunctions.h"

#include <QList>

#include <cstdint>

// What to scan: a range of slave numbers, at the line's current settings or
// at every setting the detection's search tries, and how long a probe waits
// beyond the wire time of its request and reply.
struct ScanOptions
{
    int from = 1;
    int to = 64;
    bool search = false;
    int probeMarginMs = 100;
};

// A panel that answered: its slave number, firmware version code and the line
// settings it answered at.
struct ScannedPanel
{
    std::uint8_t slave = 0;
    std::int32_t version = 0;
    std::int32_t bauds = 0;
    std::int16_t stops = 0;
    bool operator==(const ScannedPanel&) const = default;
};

// What the scan tells as it goes (the console's scan window, orvelctl, tests).
class ScanObserver
{
public:
    virtual ~ScanObserver();
    // Asked before each probe; lets pending events run. True stops the scan.
    virtual bool Cancelled() = 0;
    // The probe about to be sent: slave and settings, and how many of the
    // total probes have been made (a slave already found is not asked again
    // at other settings but counts).
    virtual void Probing(std::uint8_t slave, std::int32_t bauds, std::int16_t stops, int done,
                         int total) = 0;
    // A panel that answered, confirmed and told its version.
    virtual void Found(const ScannedPanel& panel) = 0;
};

struct ScanResult
{
    QList<ScannedPanel> panels; // in the order found
    bool cancelled = false;
};

// Asks every slave number of the range for register 1138 (the panel's slave
// number), at each line setting to try. A probe waits only for the wire time
// of its request and reply plus the margin; a panel that answers it is asked
// again with the link's own deadline and its version is read (ReadVersion),
// a frame delay before each. A panel that fails those (a bad CRC, no version)
// counts as not answering. A probe that got no answer needs no pause: by its
// deadline the line has been silent for longer than the frame delay (when not,
// the exchange waits for the rest). The port's settings are put back at the
// end. Faults of the port are reported (CommFunctions.ScanLine) and end the
// scan with what was found.
ScanResult ScanLine(PanelLink& link, const ScanOptions& options, ScanObserver& observer);

// How long a probe at these settings waits for its reply, in milliseconds:
// the request's wire time (unless half-duplex, whose exchange starts waiting
// once the request has left), the reply's, and the margin.
int ProbeDeadlineMs(const LinkOptions& options, const QString& settings, int marginMs);
