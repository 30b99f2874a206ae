#pragma once

#include "cli/cli_options.h"
#include "session/readings.h"

#include <QList>
#include <QString>

#include <optional>

// One tank's answer: a measurement, or the error reply given in its place.
struct TankAnswer {
    std::optional<int> tank;  // from the request or the series, when the reply does not say
    std::optional<MeasurementReading> reading;
    std::optional<ErrorReply> error;
};

// What a command brought back, for the output formats.
struct CommandReport {
    CliCommand command = CliCommand::Identify;
    QString station;  // as named on the command line
    std::optional<IdentificationReading> identification;
    std::optional<ConfigurationReading> configuration;
    std::optional<ClockReading> clock;
    QList<TankAnswer> tanks;  // measure and memory: one; inventory: one per tank
    std::optional<SensorReading> sensors;
    QString scheduledDate;  // DDMMAA as asked
    QList<ScheduledReading> scheduled;
};
