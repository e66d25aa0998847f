#include "core/DialogUnits.h"

#include <cmath>

namespace {

// a * b / c rounded half away from zero, as the platform's MulDiv
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = (c > 0 ? c : -c) / 2;
    const long long rounded = product >= 0 ? product + half : product - half;
    return static_cast<int>(rounded / c);
}

} // namespace

int AverageCharWidth(int widthOfAlphabet)
{
    return (widthOfAlphabet / 26 + 1) / 2;
}

int DluToPixelsX(const DialogBaseUnits& units, int dlu)
{
    return mulDiv(dlu, units.cx, 4);
}

int DluToPixelsY(const DialogBaseUnits& units, int dlu)
{
    return mulDiv(dlu, units.cy, 8);
}
