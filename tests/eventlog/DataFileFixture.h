#pragma once

#include "texts/DataFunctions.h"

#include <QString>

// The data file that the build puts beside the programs, in its default
// language: the decoders and exports take their texts from it.
inline bool OpenBuiltDataFile()
{
    if (!OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")))
        return false;
    SetCurrentLanguage(QString());
    return true;
}
