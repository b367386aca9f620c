#pragma once

#include "UiSeam.h"

#include <QString>

// Translates a filter "description|pattern|description|pattern" (patterns
// separated by ";") into Qt's "description (pattern pattern);;..." form.
QString FilterToQt(const QString& filter);

// Shows the open or save dialog through the UI seam. Returns "" when cancelled,
// the path for one file and, when several files are chosen, the folder followed
// by each file name, separated by NUL characters.
QString ShowFileDialog(const FileDialogRequest& request);

// Splits a result of ShowFileDialog into full paths.
QStringList SplitFileDialogResult(const QString& result);
