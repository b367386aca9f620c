#include "NationalityAll.h"

#include <QApplication>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace {
bool hasNationality(const QWidget* widget)
{
    return widget->metaObject()->indexOfMethod("Nationality()") >= 0;
}
} // namespace

void NationalityOfAllWindows()
{
    // Collect first: a Nationality may create or delete widgets.
    QList<QPointer<QWidget>> windows;
    QSet<QWidget*> seen;
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* top : tops) {
        QWidgetList candidates{top};
        candidates += top->findChildren<QWidget*>();
        for (QWidget* w : candidates) {
            if (!seen.contains(w) && hasNationality(w)) {
                seen.insert(w);
                windows << w;
            }
        }
    }
    for (const QPointer<QWidget>& w : windows) {
        if (w)
            QMetaObject::invokeMethod(w.data(), "Nationality", Qt::DirectConnection);
    }
}
