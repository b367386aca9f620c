#pragma once

#include "config/ConfigClass.h"

#include <QString>

// Loads a configuration file as the console's Open does: into a record that
// holds the data file's defaults, so that a short file leaves the fields it
// lacks at their defaults. Returns an exit status: success, or a file error
// (missing or damaged file, reported).
int LoadDocument(const QString& path, ConfigClass& config);
