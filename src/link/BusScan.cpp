#include "link/BusScan.h"

#include "link/Detection.h"
#include "link/LineTiming.h"
#include "link/SettingsGuard.h"
#include "util/ErrorHandling.h"

#include <algorithm>

namespace {
constexpr std::uint16_t RegSlaveNumber = 1138;
constexpr int ProbeRequestLength = 8; // read request
constexpr int ProbeReplyLength = 7;   // read reply of one word

// A panel that answered a probe: asked again with the link's deadline, then
// its version. False when either fails.
bool confirm(PanelLink& link, std::uint8_t slave, std::int32_t& version)
{
    QList<std::int16_t> word(1, 0);
    link.FramePause();
    const bool answered = LitMots(link, slave, RegSlaveNumber, word);
    link.FramePause();
    if (!answered || !ReadVersionCode(link, slave, version))
        return false;
    link.FramePause();
    return true;
}
} // namespace

ScanObserver::~ScanObserver() = default;

int ProbeDeadlineMs(const LinkOptions& options, const QString& settings, int marginMs)
{
    const int characters = ProbeReplyLength + (options.halfDuplex ? 0 : ProbeRequestLength);
    const qint64 wireUs = WireTimeUs(characters, settings);
    return static_cast<int>((wireUs + 999) / 1000) + marginMs;
}

ScanResult ScanLine(PanelLink& link, const ScanOptions& options, ScanObserver& observer)
{
    ScanResult result;
    Trap("CommFunctions.ScanLine", [&] {
        ComCtrl& port = link.port();
        const SettingsGuard restore(port);
        const int from = std::max(options.from, 1);
        const int to = std::min(options.to, 64);
        const QList<LineTry> tries =
            LineTries(GetCommBauds(port), GetCommStops(port), options.search);
        const int total = static_cast<int>(tries.size()) * std::max(to - from + 1, 0);
        int done = 0;
        QList<bool> found(65, false);
        for (const LineTry& line : tries) {
            SetCommBauds(port, line.bauds);
            SetCommStops(port, line.stops);
            // The exchange needs no silence beyond the frame delay after a
            // probe without answer: the next request goes to another slave.
            const ReplyWait probe{
                ProbeDeadlineMs(link.options(), port.Settings(), options.probeMarginMs),
                link.options().frameDelayMs, true};
            for (int slave = from; slave <= to; ++slave, ++done) {
                if (found[slave])
                    continue;
                if (observer.Cancelled()) {
                    result.cancelled = true;
                    return;
                }
                observer.Probing(std::uint8_t(slave), line.bauds, line.stops, done, total);
                QList<std::int16_t> word(1, 0);
                if (!LitMots(link, std::uint8_t(slave), RegSlaveNumber, word, probe))
                    continue;
                ScannedPanel panel{std::uint8_t(slave), 0, line.bauds, line.stops};
                if (!confirm(link, panel.slave, panel.version))
                    continue;
                found[slave] = true;
                result.panels.append(panel);
                observer.Found(panel);
            }
        }
        // A Cancel pressed during the very last probe still cancels.
        result.cancelled = observer.Cancelled();
    });
    return result;
}
