#pragma once

#include "store/database_location.h"

#include <QString>
#include <QStringList>

#include <optional>

struct PollOptions {
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

struct ParsedPollArguments {
    std::optional<PollOptions> options;
    bool help = false;
    QString error;  // why there are no options, in Portuguese
};

// The arguments after the program name.
ParsedPollArguments parsePollArguments(const QStringList &arguments);
QString pollUsageText();
