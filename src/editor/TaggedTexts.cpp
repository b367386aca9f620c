#include "TaggedTexts.h"

#include "texts/DataFunctions.h"

#include <QComboBox>
#include <QGroupBox>
#include <QWidget>

void ApplyTaggedTexts(QWidget* root)
{
    for (QWidget* control : root->findChildren<QWidget*>()) {
        const int tag = control->property("Tag").toInt();
        if (tag == 0)
            continue;
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            for (int i = 0; i < combo->count(); ++i)
                combo->setItemText(i, GetCaption(tag + i));
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            frame->setTitle(GetCaption(tag));
        } else {
            control->setProperty("text", GetCaption(tag));
        }
    }
}

QStringList TextList(int first, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << GetCaption(first + i);
    return list;
}

long long LeadingNumber(const QString& text)
{
    long long value = 0;
    for (QChar c : text.trimmed()) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 999999999LL)
            break;
    }
    return value;
}
