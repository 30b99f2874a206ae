#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

// Opening Historico.sqlite. Each connection belongs to the thread that opens it and is named,
// as Qt SQL wants; closeConnection() closes and forgets it on that same thread.

struct WriteConnectionSettings {
    int busyTimeoutMs = 3000;   // how long a write waits for another program's write lock
    QString connectOptions;     // further QSQLITE connect options, such as QSQLITE_OPEN_READONLY
    int maxPageCount = 0;       // a cap on the file's size in pages; 0 for none
};

// For writing: a file of a newer version is refused before any statement that could change it
// (its version is read on a read-only connection first); then WAL with synchronous=FULL, foreign
// keys, and the migrations the file lacks. The reason for the operator when it fails.
std::optional<QString> openForWriting(const QString &connectionName, const QString &filePath,
                                      const WriteConnectionSettings &settings);
// For queries: read-only, refusing a newer version as openForWriting does. The file must exist.
std::optional<QString> openForReading(const QString &connectionName, const QString &filePath, int busyTimeoutMs);

void closeConnection(const QString &connectionName);
