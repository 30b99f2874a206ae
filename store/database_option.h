#pragma once

#include "base/result.h"
#include "store/database_location.h"

#include <QCommandLineOption>

#include <optional>

class QCommandLineParser;

// --database, as every program that keeps a history takes it.
QCommandLineOption databaseOption();

// The database --database names; none without the option, the history then being the data
// directory's file. The reason is the store's own words for the URL.
Result<std::optional<DatabaseLocation>, QString> databaseOptionValue(const QCommandLineParser &parser,
                                                                     const QCommandLineOption &option);
