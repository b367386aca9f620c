#pragma once

#include "util/RuntimeError.h"

#include <QString>

#include <cmath>
#include <limits>

// A stored number taken as a whole number of type T: rounded to the nearest
// whole number with halves to even (2.5 gives 2, 3.5 gives 4, -2.5 gives -2);
// a value outside T, or one that is not finite, raises Overflow with detail.
template <class T> T WholeNumber(double value, const QString& detail)
{
    // The default rounding mode rounds halves to even; no code changes it.
    const double whole = std::nearbyint(value);
    if (!(whole >= static_cast<double>(std::numeric_limits<T>::min()) &&
          whole <= static_cast<double>(std::numeric_limits<T>::max())))
        Raise(ErrNo::Overflow, detail);
    return static_cast<T>(whole);
}
