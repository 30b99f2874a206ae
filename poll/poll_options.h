#pragma once

#include "base/result.h"
#include "process/command_line.h"
#include "store/database_location.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

struct PollOptions {
    bool help = false;       // the usage and nothing else
    QString dataDirectory;   // empty: the console's default
    QString stationsFile;    // empty: the station list of the data directory
    std::optional<DatabaseLocation> database;  // none: Historico.sqlite in the data directory
    int everyMs = 0;         // 0: one round (--once)
    int parallel = 0;        // stations at once; 0: all
    int connectTimeoutMs = 5000;
    int replyTimeoutMs = 10000;
    int retries = 2;
    int backoffMs = 2000;    // before the first retry, doubling for each further one
    QString logFile;
    QString alarmCommand;
    int alarmTimeoutMs = 30000;
    int historyWaitMs = 60000;  // at the end of --once, for a history that cannot write
};

// Why the arguments make no run, beyond what keeps the command line from being read.
struct PollProblem {
    enum class Kind {
        Interval,  // `value`: --every's, as given
        Database,  // `value`: the store's words for the URL
        EmptyAlarmCommand,
        OnceAndEvery,
    };
    Kind kind;
    QString value;
};
using PollUsageProblem = std::variant<CommandLineProblem, PollProblem>;

// The arguments after the program name.
Result<PollOptions, PollUsageProblem> parsePollArguments(const QStringList &arguments);
// The words for it, as usageProblemText() (process/command_line.h) gives them.
QString problemText(const PollProblem &problem);
QString pollUsageText();
