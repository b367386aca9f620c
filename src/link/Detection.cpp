#include "link/Detection.h"

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

// Puts the user's line settings back unless told to keep the current ones:
// on every way out, an error included, a search that found nothing leaves the
// line as it was.
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

        QList<std::int32_t> bauds{oldBauds};
        QList<std::int16_t> stops{oldStops};
        if (search) {
            bauds << 19200 << 9600 << 4800 << 2400 << 1200;
            stops = oldStops == 1 ? QList<std::int16_t>{1, 2} : QList<std::int16_t>{2, 1};
            window.ShowSearching();
        }
        const QString slaveText = slave == 0 ? QStringLiteral("?") : QString::number(slave);

        std::uint8_t found = 0;
        for (std::int16_t s : stops) {
            for (qsizetype i = 0; i < bauds.size() && found == 0; ++i) {
                // The remembered rate is tried once per stop count, first.
                if (i > 0 && bauds[i] == oldBauds)
                    continue;
                SetCommBauds(port, bauds[i]);
                SetCommStops(port, s);
                if (search) {
                    if (window.Cancelled())
                        return DetectCancelled;
                    window.ShowAttempt(slaveText, bauds[i], s);
                }
                found = attempt(link, slave);
                if (found != 0 && search)
                    window.ShowAttempt(QString::number(found), bauds[i], s);
            }
            if (found != 0)
                break;
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
