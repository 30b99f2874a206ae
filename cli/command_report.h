#pragma once

#include "cli/cli_options.h"
#include "session/readings.h"
#include "session/series_tanks.h"

#include <QList>
#include <QString>

#include <optional>

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
