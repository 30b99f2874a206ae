#pragma once

#include "store/database_location.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class CliCommand { Identify, Clock, SetClock, Measure, Memory, Inventory, Sensors, Scheduled };
enum class OutputFormat { Text, Csv, Json };

struct CliOptions {
    QString station;
    CliCommand command = CliCommand::Identify;
    QString argument;  // measure and memory: the tank as two digits; scheduled: DDMMAA
    QString passwordFile;
    OutputFormat format = OutputFormat::Text;
    int timeoutMs = 10000;
    QString dataDirectory;  // empty: the console's default
    std::optional<DatabaseLocation> database;  // none: Historico.sqlite in the data directory
    bool log = false;
};

struct ParsedArguments {
    std::optional<CliOptions> options;
    bool help = false;
    QString error;  // why there are no options, in Portuguese
};

// The arguments after the program name.
ParsedArguments parseArguments(const QStringList &arguments);
QString usageText();
