#include "link/Detection.h"

#include "link/SettingsGuard.h"
#include "util/ByteWord.h"
#include "util/ErrorHandling.h"

#include <QCoreApplication>

namespace {
constexpr std::uint8_t AnyPanelAddress = 65;
constexpr std::uint16_t RegSlaveAtAny = 130;
constexpr std::uint16_t RegIdent1 = 132;
constexpr std::uint16_t RegIdent2 = 133;
constexpr std::uint16_t RegVersion = 334;
constexpr std::uint16_t RegValidation = 336;
constexpr std::uint16_t RegSlaveNumber = 1138;

constexpr int TextFoundForClear = 102011;
constexpr int TextFound = 35021;

void processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// One attempt at the current line settings: the panel's own slave number, or
// 0 when nothing valid answered.
std::uint8_t attempt(PanelLink& link, std::uint8_t slave)
{
    QList<std::int16_t> word(1, 0);
    std::uint8_t found = 0;
    if (slave == 0) {
        const bool answered = LitMots(link, AnyPanelAddress, RegSlaveAtAny, word);
        link.FramePause();
        // Nothing answered: the attempt ends with the one pause just made.
        if (!answered)
            return 0;
        if (TestModuleType(link, LoByte(word[0])))
            found = LoByte(word[0]);
    } else if (LitMots(link, slave, RegSlaveNumber, word)) {
        found = LoByte(word[0]);
    }
    link.FramePause();
    // A panel can only be 1..64: any other number would read as "nothing
    // found" (0) or "cancelled" (255), so it does not count as an answer.
    return found >= 1 && found <= 64 ? found : 0;
}
} // namespace

std::uint8_t DetectOrvel(PanelLink& link, SearchWindow& window, std::uint8_t slave, bool search,
                         std::int32_t& version, bool clearMode)
{
    const std::uint8_t result = Trap("CommFunctions.DetectOrvel", [&]() -> std::uint8_t {
        ComCtrl& port = link.port();
        SettingsGuard restore(port);
        const std::int32_t oldBauds = GetCommBauds(port);
        const std::int16_t oldStops = GetCommStops(port);

        if (search)
            window.ShowSearching();
        const QString slaveText = slave == 0 ? QStringLiteral("?") : QString::number(slave);

        std::uint8_t found = 0;
        for (const LineTry& line : LineTries(oldBauds, oldStops, search)) {
            SetCommBauds(port, line.bauds);
            SetCommStops(port, line.stops);
            if (search) {
                if (window.Cancelled())
                    return DetectCancelled;
                window.ShowAttempt(slaveText, line.bauds, line.stops);
            }
            found = attempt(link, slave);
            if (found != 0) {
                if (search)
                    window.ShowAttempt(QString::number(found), line.bauds, line.stops);
                break;
            }
        }

        if (found == 0) {
            // A Cancel pressed during the very last attempt still cancels.
            if (search && window.Cancelled())
                return DetectCancelled;
            return DetectNone;
        }
        // A panel whose version cannot be read is not one to work with: what
        // the transfer reads or writes depends on that version.
        std::int32_t code = 0;
        if (!ReadVersionCode(link, found, code)) {
            version = VersionUnreadable;
            return DetectNone;
        }
        version = code;
        // The port keeps the settings that answered.
        restore.keep();
        if (!window.Confirm(found, clearMode ? TextFoundForClear : TextFound))
            return DetectCancelled;
        return found;
    });
    window.Close();
    processEvents();
    return result;
}

QList<LineTry> LineTries(std::int32_t currentBauds, std::int16_t currentStops, bool search)
{
    if (!search)
        return {{currentBauds, currentStops}};
    const std::int32_t bauds[] = {currentBauds, 19200, 9600, 4800, 2400, 1200};
    const std::int16_t stops[] = {std::int16_t(currentStops == 1 ? 1 : 2),
                                  std::int16_t(currentStops == 1 ? 2 : 1)};
    QList<LineTry> tries;
    for (std::int16_t s : stops) {
        for (std::size_t i = 0; i < std::size(bauds); ++i) {
            // The current rate is tried once per stop count, first.
            if (i > 0 && bauds[i] == currentBauds)
                continue;
            tries.append({bauds[i], s});
        }
    }
    return tries;
}

bool TestModuleType(PanelLink& link, std::uint8_t slave)
{
    return Trap("CommFunctions.TestModuleType", [&] {
        QList<std::int16_t> word(1, 0);
        bool ok = LitMots(link, slave, RegIdent1, word);
        link.FramePause();
        if (!ok || word[0] != 1)
            return false;
        ok = LitMots(link, slave, RegIdent2, word);
        link.FramePause();
        return ok && word[0] == 1;
    });
}

bool ReadVersionCode(PanelLink& link, std::uint8_t slave, std::int32_t& version)
{
    return Trap("CommFunctions.ReadVersion", [&] {
        QList<std::int16_t> words(2, 0);
        if (!LitMots(link, slave, RegVersion, words))
            return false;
        version = LoByte(words[0]) * 256 + HiByte(words[1]);
        return true;
    });
}

std::int32_t ReadVersion(PanelLink& link, std::uint8_t slave)
{
    std::int32_t version = 0;
    return ReadVersionCode(link, slave, version) ? version : 0;
}

bool ValidationOrvel(PanelLink& link, std::uint8_t slave)
{
    return Trap("CommFunctions.ValidationOrvel",
                [&] { return EcritMots(link, slave, RegValidation, {0}); });
}

std::int32_t CurrentVersion()
{
    // Console 1.06.
    return 1 * 256 + 6;
}
