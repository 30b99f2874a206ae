#include "session/readings.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/replies.h"

#include <QDate>
#include <QTime>

LeakSensorState SensorReading::state(int sensor) const
{
    zelta::SensorFields fields;
    fields.states = toWindows1252(states);
    return static_cast<LeakSensorState>(zelta::sensorState(fields, sensor));
}

namespace {

QString withoutSurroundingBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Exactly `count` ASCII digits, read as a number.
std::optional<int> digitsValue(const QString &text, int count)
{
    if (text.size() != count)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

std::optional<double> completeNumber(const QString &field)
{
    const QString text = withoutSurroundingBlanks(field);
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    bool seenDigit = false;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isDigit(c))
            seenDigit = true;
        else if (c == QLatin1Char('.') && !seenPoint)
            seenPoint = true;
        else
            return std::nullopt;
    }
    if (!seenDigit)
        return std::nullopt;
    // Only sign, digits and a point are left, which the leading-number rule reads whole.
    return zelta::leadingNumber(text.toStdString());
}

std::optional<QDateTime> controllerDateTime(const QString &date, const QString &time)
{
    const auto day = digitsValue(date.left(2), 2);
    const auto month = digitsValue(date.mid(2, 2), 2);
    const auto year = digitsValue(date.mid(4), 2);
    const auto hours = digitsValue(time.left(2), 2);
    const auto minutes = digitsValue(time.mid(2, 2), 2);
    const auto seconds = digitsValue(time.mid(4), 2);
    if (!day || !month || !year || !hours || !minutes || !seconds)
        return std::nullopt;
    const QDate calendarDate(2000 + *year, *month, *day);
    const QTime clockTime(*hours, *minutes, *seconds);
    if (!calendarDate.isValid() || !clockTime.isValid())
        return std::nullopt;
    const QDateTime at(calendarDate, clockTime, Qt::LocalTime);
    if (!at.isValid())
        return std::nullopt;
    return at;
}

std::optional<double> complementaryValue(const MeasurementReading &reading)
{
    if (reading.lastOfReading)
        return std::nullopt;
    return completeNumber(reading.complementary);
}
