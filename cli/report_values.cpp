#include "cli/report_values.h"

#include <QLocale>

QString measurementUnit(const MeasurementReading &reading)
{
    return reading.byWeight ? QStringLiteral("kg") : QStringLiteral("L");
}

MeasurementValues measurementValues(const MeasurementReading &reading)
{
    MeasurementValues values;
    values.tank = completeNumber(reading.tank);
    values.product = reading.product.trimmed();
    values.measured = completeNumber(reading.measured);
    values.complementary = complementaryValue(reading);
    values.volume20 = completeNumber(reading.volume20);
    values.density = completeNumber(reading.density);
    values.level = completeNumber(reading.level);
    values.expansion = completeNumber(reading.expansion);
    values.capacity = completeNumber(reading.capacity);
    values.unit = measurementUnit(reading);
    values.time = controllerDateTime(reading.date, reading.time);
    return values;
}

std::optional<double> answerTank(const TankAnswer &answer)
{
    if (answer.reading) {
        if (const std::optional<double> tank = completeNumber(answer.reading->tank))
            return tank;
    }
    if (answer.tank)
        return double(*answer.tank);
    return std::nullopt;
}

std::optional<AnswerError> answerError(const TankAnswer &answer)
{
    if (answer.error)
        return AnswerError{answer.error->code, answer.error->text};
    if (answer.rejected)
        return AnswerError{{}, unusableReplyText(*answer.rejected)};
    return std::nullopt;
}

std::optional<QDate> controllerDate(const QString &date)
{
    // Noon: no change of summer time falls on it, so any real date has that hour.
    const std::optional<QDateTime> noon = controllerDateTime(date, QStringLiteral("120000"));
    if (!noon)
        return std::nullopt;
    return noon->date();
}

QString sensorStateName(LeakSensorState state)
{
    switch (state) {
    case LeakSensorState::Short:
        return QStringLiteral("short");
    case LeakSensorState::Normal:
        return QStringLiteral("normal");
    case LeakSensorState::Leak:
        return QStringLiteral("leak");
    case LeakSensorState::Open:
        return QStringLiteral("open");
    case LeakSensorState::None:
        break;
    }
    return {};
}

QString isoDateTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString isoDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

namespace {

// Six decimals keep every digit a controller or a totaliser has, and drop the binary noise of a
// difference (799.8999999999651).
QString withoutTrailingZeros(QString text, QChar decimalMark)
{
    while (text.contains(decimalMark) && (text.endsWith(QLatin1Char('0')) || text.endsWith(decimalMark)))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace

QString numberText(double value)
{
    return withoutTrailingZeros(QString::number(value, 'f', 6), QLatin1Char('.'));
}

QString brazilianNumberText(double value)
{
    static const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);
    return withoutTrailingZeros(brazilian.toString(value, 'f', 6), QLatin1Char(','));
}
