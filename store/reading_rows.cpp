#include "store/reading_rows.h"

#include "session/kept_text.h"

#include <algorithm>
#include <cmath>

namespace {

std::optional<int> wholeNumber(const QString &field)
{
    const std::optional<double> value = completeNumber(field);
    if (!value || *value < 0 || *value > 999 || std::floor(*value) != *value)
        return std::nullopt;
    return int(*value);
}

QChar sensorLetter(LeakSensorState state)
{
    switch (state) {
    case LeakSensorState::Short:
        return QLatin1Char('C');
    case LeakSensorState::Normal:
        return QLatin1Char('N');
    case LeakSensorState::Leak:
        return QLatin1Char('V');
    case LeakSensorState::Open:
        return QLatin1Char('A');
    case LeakSensorState::None:
        break;
    }
    return QLatin1Char('-');
}

} // namespace

QDateTime stationTimeUtc(const QString &date, const QString &time, const QTimeZone &zone)
{
    const std::optional<QDateTime> local = controllerDateTime(date, time);
    if (!local)
        return {};
    return QDateTime(local->date(), local->time(), zone).toUTC();
}

std::optional<MeasurementRow> measurementRow(const MeasurementReading &reading, const QTimeZone &zone)
{
    const std::optional<int> tank = wholeNumber(reading.tank);
    if (!tank)
        return std::nullopt;
    MeasurementRow row;
    row.tank = *tank;
    row.product = keptText(reading.product).trimmed();
    row.unit = reading.byWeight ? QStringLiteral("kg") : QStringLiteral("L");
    row.measured = completeNumber(reading.measured);
    row.complementary = complementaryValue(reading);
    row.volume20 = completeNumber(reading.volume20);
    row.density = completeNumber(reading.density);
    row.levelMm = completeNumber(reading.level);
    row.expansion = completeNumber(reading.expansion);
    row.capacity = completeNumber(reading.capacity);
    row.measuredAt = stationTimeUtc(reading.date, reading.time, zone);
    row.command = keptText(reading.command);
    return row;
}

std::optional<ScheduledRow> scheduledRow(const ScheduledReading &reading, const QTimeZone &zone)
{
    const std::optional<int> tank = wholeNumber(reading.tank);
    if (!tank)
        return std::nullopt;
    return ScheduledRow{*tank, completeNumber(reading.volume), stationTimeUtc(reading.date, reading.time, zone)};
}

QString sensorLetters(const SensorReading &reading)
{
    QString letters;
    const int count = std::min(reading.count, int(reading.states.size()));
    for (int sensor = 1; sensor <= count; ++sensor)
        letters += sensorLetter(reading.state(sensor));
    return letters;
}

QString measurementSummary(const MeasurementReading &reading)
{
    return QStringLiteral("%1 tanque \"%2\" produto \"%3\" medido \"%4\" complementar \"%5\" a 20°C \"%6\" "
                          "nível \"%7\" em %8 %9")
        .arg(reading.command, reading.tank, reading.product, reading.measured, reading.complementary, reading.volume20,
             reading.level, reading.date, reading.time);
}

QString scheduledSummary(const ScheduledReading &reading)
{
    return QStringLiteral("MP tanque \"%1\" volume \"%2\" em %3 %4")
        .arg(reading.tank, reading.volume, reading.date, reading.time);
}
