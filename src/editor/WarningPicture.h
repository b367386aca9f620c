#pragma once

#include <QPixmap>

// The warning sign of the output page, drawn at size x size pixels.
QPixmap WarningPicture(int size);
