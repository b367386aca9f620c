#include "ReportValues.h"

#include "config/ConfigClass.h"
#include "config/ValueCodecs.h"
#include "texts/DataFunctions.h"

namespace {

// A list of texts on consecutive tags.
struct TagList
{
    int first;
    int count;
};

// tags: 10-11, 31100-31101, 31110-31111, 31120-31122, 31130-31134
constexpr TagList YesNo{10, 2};
constexpr TagList InputSafety{31100, 2};
constexpr TagList InputSequence{31110, 2};
constexpr TagList InputDetection{31120, 3};
// tags: 32010-32015, 32020-32021, 32030-32031
constexpr TagList OutputDriving{32010, 6};
constexpr TagList OutputSafety{32020, 2};
constexpr TagList OutputMode{32030, 2};
// tags: 33110-33112, 33050-33051, 33410-33413, 33510-33511, 33610-33611
// tags: 33810-33811, 33910-33911, 33060-33062, 33070-33073, 33920-33921
// tags: 33031-33033, 34030-34031
constexpr TagList HornRelay{33110, 3};
constexpr TagList RelayAtRest{33050, 2};
constexpr TagList Flashing{33410, 4};
constexpr TagList Acknowledge{33510, 2};
constexpr TagList CommonAlarm{33610, 2};
constexpr TagList LampTest{33810, 2};
constexpr TagList ResetMode{33910, 2};
constexpr TagList CommType{33060, 3};
constexpr TagList ControlBus{33070, 4};
constexpr TagList Protocol{33920, 2};
constexpr TagList PanelLanguage{33031, 3};
constexpr TagList CommonType{34030, 2};

QString FromList(const TagList& list, int value)
{
    if (value < 0 || value >= list.count)
        return QString::number(value);
    return GetText(list.first + value);
}

// A value from a fixed table of texts.
QString FromTable(const QStringList& table, int value)
{
    if (value < 0 || value >= table.size())
        return QString::number(value);
    return table[value];
}

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The horn type texts by stored value: 0..3 are the horn types 1..4, 4 is
// "no horn" (the first entry of the list).
// tags: 31130-31134
QString HornType(int value)
{
    static constexpr int Position[5] = {1, 2, 3, 4, 0};
    if (value < 0 || value > 4)
        return QString::number(value);
    return GetText(31130 + Position[value]);
}

// Line speeds by panel code; every other code prints 0.
int BaudRate(int code)
{
    switch (code) {
    case 240:
        return 1200;
    case 248:
        return 2400;
    case 252:
        return 4800;
    case 254:
        return 9600;
    case 255:
        return 19200;
    default:
        return 0;
    }
}

QString Decimal(int value)
{
    return QString::number(value);
}

} // namespace

const CellAlign InputAlign[15] = {
    CellAlign::Centre, CellAlign::Centre, CellAlign::Right,  CellAlign::Left,   CellAlign::Left,
    CellAlign::Centre, CellAlign::Centre, CellAlign::Centre, CellAlign::Centre, CellAlign::Centre,
    CellAlign::Centre, CellAlign::Centre, CellAlign::Left,   CellAlign::Centre, CellAlign::Centre};

const CellAlign OutputAlign[4] = {CellAlign::Centre, CellAlign::Left, CellAlign::Left,
                                  CellAlign::Left};

QString DelayText(double ticks, bool noSeconds)
{
    const double ms = ticks * 5.0;
    if (ms < 0 || ms >= 256.0 * 3600000.0)
        return QString::number(static_cast<qint64>(ms)) + QStringLiteral("ms");
    TimeParts parts;
    return TimeDecode(ms, parts, noSeconds);
}

QStringList InputCells(const ConfigClass& c, int ch)
{
    return {TwoDigits(ch),
            FromList(InputSafety, c.InSecu(ch)),
            DelayText(c.InTempo(ch), false),
            FromList(InputSequence, c.InSequence(ch)),
            FromList(InputDetection, c.InDetect(ch)),
            FromList(YesNo, c.InRelance(ch)),
            FromList(YesNo, c.InBlocage(ch)),
            Decimal(c.InRedir(ch, 1)),
            Decimal(c.InRedir(ch, 2)),
            Decimal(c.InRedir(ch, 3)),
            Decimal(c.InRedir(ch, 4)),
            FromList(YesNo, c.InSynth(ch)),
            HornType(c.InTypeKL(ch)),
            FromList(YesNo, c.InDisturb(ch)),
            FromList(YesNo, c.InRepBlock(ch))};
}

QStringList OutputCells(const ConfigClass& c, int ch)
{
    return {TwoDigits(ch), FromList(OutputSafety, c.OutSecu(ch)),
            FromList(OutputMode, c.OutMode(ch)), FromList(OutputDriving, c.OutPilot(ch))};
}

QList<ReportLine> GeneralLines(const ConfigClass& c)
{
    static const QStringList Brightness{QStringLiteral("20%"), QStringLiteral("40%"),
                                        QStringLiteral("60%"), QStringLiteral("80%"),
                                        QStringLiteral("100%")};
    static const QStringList SupplyVoltage{QStringLiteral("-"),      QStringLiteral("24Vdc"),
                                           QStringLiteral("24Vac"),  QStringLiteral("48Vdc"),
                                           QStringLiteral("110Vac"), QStringLiteral("125Vdc"),
                                           QStringLiteral("200Vdc"), QStringLiteral("220Vac")};
    static const QStringList PulseDuration{QStringLiteral("1s"), QStringLiteral("2s"),
                                           QStringLiteral("5s"), QStringLiteral("10s")};

    // tags: 43100-43130, 43132
    QList<ReportLine> lines;
    for (int j = 0; j < ConfigClass::GenParamCount; ++j) {
        const int g = c.GenParam(j);
        QString value;
        switch (j) {
        case 0:
            value = FromList(HornRelay, g);
            break;
        case 1:
        case 29:
            value = FromList(YesNo, g);
            break;
        case 2:
        case 6:
            value = FromList(RelayAtRest, g);
            break;
        case 3:
            value = FromList(Flashing, g);
            break;
        case 4:
            value = FromList(Acknowledge, g);
            break;
        case 5:
            value = FromList(CommonAlarm, g);
            break;
        case 7:
        case 8:
        case 9:
        case 10:
            value = Decimal(g + 1);
            break;
        case 11:
            value = FromList(LampTest, g);
            break;
        case 12:
            value = FromList(ResetMode, g);
            break;
        case 13:
            value = DelayText(c.GenTempoRelance(), true);
            break;
        case 20:
            value = FromTable(Brightness, g);
            break;
        case 21:
            value = FromTable(SupplyVoltage, g);
            break;
        case 22:
            value = FromList(CommType, g);
            break;
        case 24:
            value = Decimal(BaudRate(g));
            break;
        case 26:
            value = FromList(ControlBus, g);
            break;
        case 27:
            value = FromList(Protocol, g);
            break;
        case 28:
            value = FromList(PanelLanguage, g);
            break;
        case 30:
            if (c.GenParam(29) == 0)
                continue;
            value = QStringLiteral("%1h %2mn").arg(g).arg(c.GenParam(31));
            break;
        case 31:
            continue;
        case 32:
            value = FromTable(PulseDuration, g);
            break;
        default: // 14 to 19, 23, 25
            value = Decimal(g);
            break;
        }
        lines.append({GetText(43100 + j), value});
    }
    return lines;
}

QList<ReportLine> FactoryLines(const ConfigClass& c)
{
    static const QStringList SupplyTypes{QStringLiteral("24"), QStringLiteral("110"),
                                         QStringLiteral("125")};
    const int supply = c.SupplyType();
    const QString supplyText = supply < SupplyTypes.size()
                                   ? SupplyTypes[supply] + QStringLiteral(" V")
                                   : QString::number(supply);
    return {{GetText(44100), Decimal(c.BrightMin())},
            {GetText(44101), supplyText},
            {GetText(44102), FromList(CommonType, c.CommonType())}};
}
