#pragma once

#include "CellAlign.h"

#include <QList>
#include <QString>
#include <QStringList>

class ConfigClass;

// What the printed report shows of a configuration, cell by cell and line by
// line, in the current language. A coded value outside its list prints as the
// number itself, so that an odd value shows instead of a neighbouring text.

// One line of the general or factory list: the label and the value.
struct ReportLine
{
    QString label;
    QString value;
    bool operator==(const ReportLine&) const = default;
};

// The fifteen cells of input ch (1..12) and the alignment of each column.
QStringList InputCells(const ConfigClass& config, int ch);
extern const CellAlign InputAlign[15];
// The four cells of output ch.
QStringList OutputCells(const ConfigClass& config, int ch);
extern const CellAlign OutputAlign[4];
// The general parameters, one line each (29 = 0 leaves out the auto-stop
// delay; 31 never has a line of its own).
QList<ReportLine> GeneralLines(const ConfigClass& config);
// The three factory lines.
QList<ReportLine> FactoryLines(const ConfigClass& config);

// A delay of ticks 5 ms counts: "01h02m03s004ms" (or "01h02m" without the
// seconds); a count the text cannot hold (below 0, 256 hours or more) prints
// as its milliseconds, "-25ms".
QString DelayText(double ticks, bool noSeconds);
