#pragma once

#include <QString>

// The text with every occurrence of find replaced (an empty find changes nothing).
QString TextReplace(const QString& text, const QString& find, const QString& replacement);

// A display text made safe as a menu caption: "&" is doubled so the menu shows
// it instead of taking it as an access key. The separator is accepted for the
// recent-files list, whose captions pass through here when they contain it.
QString CaptionTransform(const QString& display, const QString& separator);
