#include "cli/json_report.h"

#include "cli/product_totals.h"
#include "cli/report_values.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue number(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue dateTime(const std::optional<QDateTime> &time)
{
    return time ? QJsonValue(isoDateTime(*time)) : QJsonValue(QJsonValue::Null);
}

QJsonObject tankObject(const TankAnswer &answer)
{
    if (const std::optional<AnswerError> error = answerError(answer)) {
        const QJsonValue code = error->code.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(error->code);
        QJsonObject object{{QStringLiteral("error"),
                            QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("text"), error->text}}}};
        if (const std::optional<double> tank = answerTank(answer))
            object.insert(QStringLiteral("tank"), *tank);
        return object;
    }
    if (!answer.reading)
        return {};
    const MeasurementValues v = measurementValues(*answer.reading);
    return {
        {QStringLiteral("tank"), number(v.tank)},
        {QStringLiteral("product"), v.product},
        {QStringLiteral("measured"), number(v.measured)},
        {QStringLiteral("complementary"), number(v.complementary)},
        {QStringLiteral("volume20"), number(v.volume20)},
        {QStringLiteral("density"), number(v.density)},
        {QStringLiteral("level_mm"), number(v.level)},
        {QStringLiteral("expansion"), number(v.expansion)},
        {QStringLiteral("capacity"), number(v.capacity)},
        {QStringLiteral("unit"), v.unit},
        {QStringLiteral("time"), dateTime(v.time)},
    };
}

QJsonObject inventoryObject(const CommandReport &report)
{
    QJsonArray tanks;
    for (const TankAnswer &answer : report.tanks)
        tanks.append(tankObject(answer));
    QJsonArray totals;
    for (const ProductTotal &total : productTotals(report.tanks)) {
        QJsonArray missing;
        for (const int tank : total.missingTanks)
            missing.append(tank);
        totals.append(QJsonObject{{QStringLiteral("product"), total.product},
                                  {QStringLiteral("unit"), total.unit},
                                  {QStringLiteral("measured"), number(total.measured)},
                                  {QStringLiteral("complementary"), number(total.complementary)},
                                  {QStringLiteral("missing_tanks"), missing}});
    }
    return {{QStringLiteral("station"), report.station},
            {QStringLiteral("tanks"), tanks},
            {QStringLiteral("totals"), totals}};
}

QJsonObject sensorsObject(const SensorReading &reading)
{
    QJsonArray sensors;
    for (int sensor = 1; sensor <= reading.count; ++sensor) {
        const LeakSensorState state = reading.state(sensor);
        if (state == LeakSensorState::None)
            continue;
        sensors.append(QJsonObject{{QStringLiteral("number"), sensor},
                                   {QStringLiteral("state"), sensorStateName(state)},
                                   {QStringLiteral("label"), sensorStateLabel(state)}});
    }
    return {{QStringLiteral("count"), reading.count},
            {QStringLiteral("bar1_active"), reading.bar1Active},
            {QStringLiteral("bar2_active"), reading.bar2Active},
            {QStringLiteral("sensors"), sensors}};
}

QJsonObject clockObject(const ClockReading &reading)
{
    return {{QStringLiteral("time"), dateTime(controllerDateTime(reading.date, reading.time))},
            {QStringLiteral("day"), number(completeNumber(reading.day))}};
}

QJsonObject scheduledObject(const CommandReport &report)
{
    QJsonArray measurements;
    int number = 0;
    for (const ScheduledReading &reading : report.scheduled) {
        measurements.append(QJsonObject{{QStringLiteral("number"), ++number},
                                        {QStringLiteral("tank"), ::number(completeNumber(reading.tank))},
                                        {QStringLiteral("volume"), ::number(completeNumber(reading.volume))},
                                        {QStringLiteral("time"), dateTime(controllerDateTime(reading.date, reading.time))}});
    }
    const std::optional<QDate> date = controllerDate(report.scheduledDate);
    return {{QStringLiteral("date"), date ? QJsonValue(isoDate(*date)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("measurements"), measurements}};
}

QJsonObject identificationObject(const CommandReport &report)
{
    QJsonObject object;
    if (report.identification) {
        object.insert(QStringLiteral("address"), report.identification->address.trimmed());
        object.insert(QStringLiteral("version"), report.identification->version.trimmed());
    }
    if (report.configuration) {
        const ConfigurationReading &c = *report.configuration;
        const QString meterType = meterTypeName(c.meterType);
        object.insert(QStringLiteral("tanks"), number(completeNumber(c.tanks)));
        object.insert(QStringLiteral("ofe"), number(completeNumber(c.ofe)));
        object.insert(QStringLiteral("meter_type"), meterType.isEmpty() ? QJsonValue(QJsonValue::Null) : meterType);
        object.insert(QStringLiteral("sensors"), number(completeNumber(c.sensors)));
    }
    return object;
}

QJsonObject reportObject(const CommandReport &report)
{
    switch (report.command) {
    case CliCommand::Identify:
        return identificationObject(report);
    case CliCommand::Clock:
    case CliCommand::SetClock:
        return report.clock ? clockObject(*report.clock) : QJsonObject();
    case CliCommand::Measure:
    case CliCommand::Memory:
        return report.tanks.isEmpty() ? QJsonObject() : tankObject(report.tanks.first());
    case CliCommand::Inventory:
        return inventoryObject(report);
    case CliCommand::Sensors:
        return report.sensors ? sensorsObject(*report.sensors) : QJsonObject();
    case CliCommand::Scheduled:
        return scheduledObject(report);
    }
    return {};
}

} // namespace

QByteArray jsonReport(const CommandReport &report)
{
    return QJsonDocument(reportObject(report)).toJson(QJsonDocument::Indented);
}
