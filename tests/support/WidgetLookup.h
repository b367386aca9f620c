#pragma once

#include <QLatin1String>
#include <QObject>

// The child of a window by object name and type; a missing one stops the test with its name.
template <class T> T* child(QObject* parent, const char* name)
{
    T* c = parent->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}
