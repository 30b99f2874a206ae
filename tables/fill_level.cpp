#include "tables/fill_level.h"

#include "protocol/numeric_text.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

FillLevel fillLevel(double measured, double complementary, double tankHeightTwips,
                    QChar decimalSeparator)
{
    const double percent = 100.0 * measured / (measured + complementary);
    if (!std::isfinite(percent))
        return {QString(), tankHeightTwips};

    // Formatting with '.' and swapping it keeps separators outside Latin-1 intact.
    QString text = QString::fromStdString(zelta::formatPercentPattern(percent, '.'));
    text.replace(QLatin1Char('.'), decimalSeparator);
    const double shown = zelta::leadingNumber(text.toStdString());
    const double cover = (1.0 - std::clamp(shown, 0.0, 100.0) / 100.0) * tankHeightTwips;
    return {text + QLatin1Char('%'), cover};
}

QChar operatorDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.front();
}
