#include "cli/report_table.h"

#include "cli/product_totals.h"
#include "cli/report_values.h"

namespace {

ReportColumn column(const char *key, const QString &header, bool numeric = false)
{
    return {QLatin1String(key), header, numeric};
}

Cell number(const std::optional<double> &value)
{
    return value;
}

Cell text(const QString &value)
{
    return value;
}

ReportTable measurementTable(const QList<TankAnswer> &answers)
{
    ReportTable table;
    table.main = true;
    table.columns = {column("tank", QStringLiteral("Tanque"), true),
                     column("product", QStringLiteral("Produto")),
                     column("measured", QStringLiteral("Medido"), true),
                     column("complementary", QStringLiteral("Complementar"), true),
                     column("volume20", QStringLiteral("Vol. a 20 °C"), true),
                     column("density", QStringLiteral("Densidade"), true),
                     column("level_mm", QStringLiteral("Nível (mm)"), true),
                     column("expansion", QStringLiteral("Coef. dilatação"), true),
                     column("capacity", QStringLiteral("Capacidade"), true),
                     column("unit", QStringLiteral("Unidade")),
                     column("time", QStringLiteral("Data e hora")),
                     column("error_code", QStringLiteral("Erro")),
                     column("error_text", QStringLiteral("Mensagem"))};
    for (const TankAnswer &answer : answers) {
        if (const std::optional<AnswerError> error = answerError(answer)) {
            // The error stands in for the values: the row keeps the tank and says why.
            QList<Cell> row(table.columns.size(), text({}));
            row.first() = number(answerTank(answer));
            row[row.size() - 2] = text(error->code);
            row.last() = text(error->text);
            table.rows << row;
        } else if (answer.reading) {
            const MeasurementValues v = measurementValues(*answer.reading);
            table.rows << QList<Cell>{number(v.tank),          text(v.product),    number(v.measured),
                                      number(v.complementary), number(v.volume20), number(v.density),
                                      number(v.level),         number(v.expansion), number(v.capacity),
                                      text(v.unit),            v.time,             text({}),
                                      text({})};
        }
    }
    return table;
}

ReportTable totalsTable(const QList<TankAnswer> &answers)
{
    ReportTable table;
    table.title = QStringLiteral("Totais por produto");
    table.columns = {column("product", QStringLiteral("Produto")), column("unit", QStringLiteral("Unidade")),
                     column("measured", QStringLiteral("Medido"), true),
                     column("complementary", QStringLiteral("Complementar"), true),
                     column("missing_tanks", QStringLiteral("Situação"))};
    for (const ProductTotal &total : productTotals(answers)) {
        table.rows << QList<Cell>{text(total.product), text(total.unit), number(total.measured),
                                  number(total.complementary), text(incompleteTotalText(total.missingTanks))};
    }
    return table;
}

QList<ReportTable> sensorTables(const SensorReading &reading)
{
    ReportTable bars;
    bars.columns = {column("count", QStringLiteral("Sensores"), true),
                    column("bar1_active", QStringLiteral("Barra 1 ativa")),
                    column("bar2_active", QStringLiteral("Barra 2 ativa"))};
    bars.rows << QList<Cell>{number(reading.count), Flag{reading.bar1Active}, Flag{reading.bar2Active}};

    ReportTable sensors;
    sensors.main = true;
    sensors.columns = {column("number", QStringLiteral("Sensor"), true), column("state", QStringLiteral("Estado")),
                       column("label", QStringLiteral("Situação"))};
    for (int sensor = 1; sensor <= reading.count; ++sensor) {
        const LeakSensorState state = reading.state(sensor);
        if (state != LeakSensorState::None)
            sensors.rows << QList<Cell>{number(sensor), text(sensorStateName(state)), text(sensorStateLabel(state))};
    }
    return {bars, sensors};
}

// "Domingo" for "01" ... "Sábado" for "07", as the controller numbers the days.
QString weekdayName(const QString &day)
{
    static const char *const Names[] = {"Domingo", "Segunda-feira", "Terça-feira", "Quarta-feira",
                                        "Quinta-feira", "Sexta-feira", "Sábado"};
    const std::optional<double> number = completeNumber(day);
    for (int i = 0; i < 7; ++i) {
        if (number && *number == i + 1)
            return QString::fromUtf8(Names[i]);
    }
    return {};
}

ReportTable clockTable(const ClockReading &reading)
{
    ReportTable table;
    table.main = true;
    table.columns = {column("time", QStringLiteral("Data e hora")), column("day", QStringLiteral("Dia"), true),
                     column("weekday", QStringLiteral("Dia da semana"))};
    table.rows << QList<Cell>{controllerDateTime(reading.date, reading.time), number(completeNumber(reading.day)),
                              text(weekdayName(reading.day))};
    return table;
}

ReportTable scheduledTable(const CommandReport &report)
{
    ReportTable table;
    table.main = true;
    const std::optional<QDate> date = controllerDate(report.scheduledDate);
    table.title = date ? QStringLiteral("Medições na data %1").arg(date->toString(QStringLiteral("dd/MM/yyyy")))
                       : QStringLiteral("Medições na data %1").arg(report.scheduledDate);
    table.columns = {column("number", QStringLiteral("No."), true), column("tank", QStringLiteral("Tanque"), true),
                     column("volume", QStringLiteral("Volume"), true), column("time", QStringLiteral("Data e hora"))};
    int number = 0;
    for (const ScheduledReading &reading : report.scheduled) {
        table.rows << QList<Cell>{::number(++number), ::number(completeNumber(reading.tank)),
                                  ::number(completeNumber(reading.volume)),
                                  controllerDateTime(reading.date, reading.time)};
    }
    return table;
}

ReportTable identificationTable(const CommandReport &report)
{
    ReportTable table;
    table.main = true;
    table.columns = {column("address", QStringLiteral("Endereço")),  column("version", QStringLiteral("Versão")),
                     column("tanks", QStringLiteral("Tanques"), true),   column("ofe", QStringLiteral("No. OFE"), true),
                     column("meter_type", QStringLiteral("Tipo de medidor")),
                     column("sensors", QStringLiteral("Sensores"), true)};
    const IdentificationReading id = report.identification.value_or(IdentificationReading{});
    const ConfigurationReading cf = report.configuration.value_or(ConfigurationReading{});
    table.rows << QList<Cell>{text(id.address.trimmed()), text(id.version.trimmed()), number(completeNumber(cf.tanks)),
                              number(completeNumber(cf.ofe)), text(meterTypeName(cf.meterType)),
                              number(completeNumber(cf.sensors))};
    return table;
}

} // namespace

QList<ReportTable> reportTables(const CommandReport &report)
{
    switch (report.command) {
    case CliCommand::Identify:
        return {identificationTable(report)};
    case CliCommand::Clock:
    case CliCommand::SetClock:
        if (report.clock)
            return {clockTable(*report.clock)};
        break;
    case CliCommand::Measure:
    case CliCommand::Memory:
        return {measurementTable(report.tanks)};
    case CliCommand::Inventory: {
        ReportTable tanks = measurementTable(report.tanks);
        tanks.title = QStringLiteral("Inventário - %1").arg(report.station);
        return {tanks, totalsTable(report.tanks)};
    }
    case CliCommand::Sensors:
        if (report.sensors)
            return sensorTables(*report.sensors);
        break;
    case CliCommand::Scheduled:
        return {scheduledTable(report)};
    }
    return {};
}
