#pragma once

#include <QLatin1String>
#include <QObject>

// The child of a window by object name and type. A window test that looks for
// a control the window does not have stops at once with the name, instead of
// failing later on a null pointer.
template <class T> T* child(QObject* parent, const char* name)
{
    T* c = parent->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}
