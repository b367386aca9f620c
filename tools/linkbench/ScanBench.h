#pragma once

#include <QString>

// The scan cases of orvel-linkbench, against an orvel-sim of their own
// (program: its path): a full 1..64 scan at 9600 baud where no panel listens,
// against the physical limit of 64 probes' wire time plus their margins, and
// a scan at 19200 baud of three panels that take 80 ms to answer, at the
// default margin. False when orvel-sim cannot be started or a panel is missed.
bool RunScanCases(const QString& program);
