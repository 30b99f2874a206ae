#pragma once

#include <QtGlobal>

// Layouts are designed in twips; the screen has 15 twips per pixel.
inline constexpr double TwipsPerPixel = 15.0;

inline int twipsToPixels(double twips)
{
    return qRound(twips / TwipsPerPixel);
}
