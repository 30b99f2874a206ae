#pragma once

#include <QChar>
#include <QString>

// What a tank drawing shows for one reading: the percentage full as written in `Percentual`
// and the height of `Altura_Liquido`, the cover drawn over the empty upper part of the body.
struct FillLevel
{
    QString percentText; // "##0.##" in the given separator, followed by "%"; empty if unknown
    double coverTwips;   // 0 (full tank) to tankHeightTwips (empty tank)
};

// Percentage full of a tank from its measured and complementary volumes (or weights).
// The cover follows the percentage as read back from its text, so with a decimal comma the
// decimals are dropped from the drawing. A reading without volume (measured + complementary
// = 0) has no percentage and is drawn empty; a percentage beyond 0..100 is drawn full or empty.
FillLevel fillLevel(double measured, double complementary, double tankHeightTwips,
                    QChar decimalSeparator);

// The decimal separator of the operator's locale, used for percentages and totals.
QChar operatorDecimalSeparator();
