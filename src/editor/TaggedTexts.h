#pragma once

class QWidget;

// Gives every control under root that carries a "Tag" property the texts of
// its tag in the current language: a combo box's entry i becomes the text of
// tag + i (its entry count is kept), a frame with a title takes the text as
// its title, any other control (label, button, option button) as its text.
// The tag's "|" line marks become line breaks.
void ApplyTaggedTexts(QWidget* root);

#include <QStringList>

// The texts of count consecutive tags from first, as a list's entries.
QStringList TextList(int first, int count);

// The number a field's text starts with, as a value typed in a cell or field
// is read: leading digits only, 0 when there are none.
long long LeadingNumber(const QString& text);
