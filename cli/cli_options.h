#pragma once

#include "base/result.h"
#include "cli/book_options.h"
#include "process/command_line.h"
#include "store/database_location.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

enum class CliCommand { Identify, Clock, SetClock, Measure, Memory, Inventory, Sensors, Scheduled };
enum class OutputFormat { Text, Csv, Json };

struct CliOptions {
    bool help = false;  // the usage and nothing else
    QString station;
    CliCommand command = CliCommand::Identify;
    QString argument;  // measure and memory: the tank as two digits; scheduled: DDMMAA
    QString passwordFile;
    OutputFormat format = OutputFormat::Text;
    int timeoutMs = 10000;
    QString dataDirectory;  // empty: the console's default
    std::optional<DatabaseLocation> database;  // none: Historico.sqlite in the data directory
    bool log = false;
    // One of the daily book's commands (book_options.h) instead of `command`: never dialled.
    std::optional<BookOptions> book;
};

// Why the arguments make no command, beyond what keeps the command line from being read.
struct CliProblem {
    enum class Kind {
        Database,  // `value`: the store's words for the URL
        UnknownFormat,
        Timeout,
        NoStation,
        NoCommand,
        UnknownCommand,
        ExtraArgument,
        NoDate,
        NoTank,  // `value`: the command
        Date,
        NoSuchDate,
        Tank,
    };
    Kind kind;
    QString value;  // the argument at fault, as given
};
using CliUsageProblem = std::variant<CommandLineProblem, CliProblem, BookProblem>;

// The arguments after the program name.
Result<CliOptions, CliUsageProblem> parseArguments(const QStringList &arguments);
// The words for it, as usageProblemText() (process/command_line.h) gives them.
QString problemText(const CliProblem &problem);
QString usageText();
