#include "simulator/field_format.h"

#include <algorithm>
#include <cmath>

namespace {

qint64 largestWithDigits(int digits)
{
    qint64 largest = 0;
    for (int i = 0; i < digits; ++i)
        largest = largest * 10 + 9;
    return largest;
}

} // namespace

bool allDigits(const QByteArray &text)
{
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

QByteArray zeroPadded(qint64 value, int width)
{
    const qint64 clamped = std::clamp<qint64>(value, 0, largestWithDigits(width));
    return QByteArray::number(clamped).rightJustified(width, '0');
}

QByteArray rightAlignedDecimal(double value, int width, int decimals)
{
    // Room for "0." before the decimals; the integer part takes what is left.
    const int integerDigits = std::max(1, width - decimals - 1);
    const double largest = double(largestWithDigits(integerDigits)) + 1.0 - std::pow(10.0, -decimals);
    // Rounded before clamping, so 9.996 cannot print as "10.00" and overflow the field.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::isnan(value) ? 0.0 : std::round(value * scale) / scale;
    const double clamped = std::clamp(rounded, 0.0, largest);
    return QByteArray::number(clamped, 'f', decimals).rightJustified(width, ' ', true);
}

QByteArray leftAligned(const QByteArray &text, int width)
{
    return text.leftJustified(width, ' ', true);
}

QByteArray dateField(const QDate &date)
{
    return zeroPadded(date.day(), 2) + zeroPadded(date.month(), 2) + zeroPadded(date.year() % 100, 2);
}

QByteArray timeField(const QTime &time)
{
    return zeroPadded(time.hour(), 2) + zeroPadded(time.minute(), 2) + zeroPadded(time.second(), 2);
}

QDate dateFromField(const QByteArray &ddmmaa)
{
    if (ddmmaa.size() != 6 || !allDigits(ddmmaa))
        return {};
    return QDate(2000 + ddmmaa.mid(4, 2).toInt(), ddmmaa.mid(2, 2).toInt(), ddmmaa.left(2).toInt());
}
