#include "PrintSettings.h"

#include "settings/IniStore.h"
#include "util/RuntimeError.h"

namespace PrintKeys {
const QString Section = QStringLiteral("Print");
const QString PrinterName = QStringLiteral("PrinterName");
const QString Orientation = QStringLiteral("Orientation");
const QString FontSize = QStringLiteral("FontSize");
const QString LeftMargin = QStringLiteral("LeftMargin");
const QString RightMargin = QStringLiteral("RightMargin");
const QString TopMargin = QStringLiteral("TopMargin");
const QString BottomMargin = QStringLiteral("BottomMargin");
const QString ValueMargin = QStringLiteral("ValueMargin");
} // namespace PrintKeys

const QString PdfDestination = QStringLiteral("<PDF>");

PrintSettings ReadPrintSettings()
{
    using namespace PrintKeys;
    PrintSettings s;
    s.printerName = GetIniParam(Section, PrinterName).trimmed();
    s.orientation = GetIniInt(Section, Orientation, std::int16_t(s.orientation));
    s.fontSize = GetIniDouble(Section, FontSize, s.fontSize);
    s.leftMargin = GetIniDouble(Section, LeftMargin, s.leftMargin);
    s.rightMargin = GetIniDouble(Section, RightMargin, s.rightMargin);
    s.topMargin = GetIniDouble(Section, TopMargin, s.topMargin);
    s.bottomMargin = GetIniDouble(Section, BottomMargin, s.bottomMargin);
    s.valueMargin = GetIniDouble(Section, ValueMargin, s.valueMargin);

    if (s.orientation != 1 && s.orientation != 2)
        Raise(ErrNo::InvalidPropertyValue, Orientation);
    if (s.fontSize < 4 || s.fontSize > 72)
        Raise(ErrNo::InvalidPropertyValue, FontSize);
    for (double length : {s.leftMargin, s.rightMargin, s.topMargin, s.bottomMargin, s.valueMargin})
        if (length < 0)
            Raise(ErrNo::InvalidPropertyValue, QStringLiteral("margin"));
    return s;
}
