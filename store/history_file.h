#pragma once

#include "base/result.h"
#include "store/database_location.h"
#include "store/history_open_problem.h"

#include <QSqlDatabase>
#include <QString>

// Opening the history: Historico.sqlite, or a PostgreSQL database. Each connection belongs to the thread that opens it and is named,
// as Qt SQL wants; closeConnection() closes and forgets it on that same thread.

// SQLite only: a PostgreSQL server has its own locks and limits.
struct WriteConnectionSettings {
    int busyTimeoutMs = 3000;   // how long a write waits for another program's write lock
    QString connectOptions;     // further QSQLITE connect options, such as QSQLITE_OPEN_READONLY
    int maxPageCount = 0;       // a cap on the file's size in pages; 0 for none
};

// For writing: a history of a newer version is refused before any statement that could change it
// (a file's version is read on a read-only connection first); then, for a file, WAL with
// synchronous=FULL and foreign keys; and the migrations the history lacks.
Result<void, HistoryOpenProblem> openForWriting(const QString &connectionName, const DatabaseLocation &location,
                                                const WriteConnectionSettings &settings);

struct OpenedForReading {
    // A PostgreSQL database no program has written to yet: not left open.
    bool empty = false;
};
// For queries: read-only, refusing a newer version as openForWriting does. A file must exist.
Result<OpenedForReading, HistoryOpenProblem> openForReading(const QString &connectionName,
                                                            const DatabaseLocation &location, int busyTimeoutMs);

// A PostgreSQL connection in UTC, so that times come back as they were written, with no history
// of its own to check (for advisory locks); libpq finds the password itself.
Result<void, HistoryOpenProblem> openServerConnection(const QString &connectionName, const DatabaseLocation &location);

void closeConnection(const QString &connectionName);
