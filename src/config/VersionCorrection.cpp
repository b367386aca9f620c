#include "config/VersionCorrection.h"

#include "util/ErrorHandling.h"

namespace {
constexpr std::uint8_t HornTypeNoHorn = 4;
constexpr std::uint8_t HornTypeFirst = 0;
constexpr std::uint8_t DrivingKindNew = 5;
constexpr std::uint8_t DrivingKindOld = 2;
} // namespace

void CorrigeVersion(ConfigClass& config, std::int32_t version)
{
    Trap("wPanneau.CorrigeVersion", [&] {
        if (version >= FirstFullVersion)
            return;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            config.SetInDisturb(ch, 0);
            config.SetInRepBlock(ch, 0);
            if (config.InTypeKL(ch) == HornTypeNoHorn)
                config.SetInTypeKL(ch, HornTypeFirst);
            if (config.OutPilot(ch) == DrivingKindNew)
                config.SetOutPilot(ch, DrivingKindOld);
        }
        config.SetGenParam(21, 0); // no supply voltage reference
        config.SetGenParam(27, 0); // first protocol
    });
}

QString VersionText(std::int32_t version)
{
    return QStringLiteral("%1.%2").arg(version / 256).arg(version % 256);
}

QString OlderFirmwareText(QString text, std::int32_t panelVersion, std::int32_t consoleVersion)
{
    text.replace(QStringLiteral("###1###"), VersionText(panelVersion));
    text.replace(QStringLiteral("###2###"), VersionText(consoleVersion));
    return text;
}
