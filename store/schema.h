#pragma once

#include "base/result.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <vector>

// The history's tables, as an ordered list of migrations. A file records each migration applied
// in its schema_version table (a table, not an engine setting, so PostgreSQL keeps it the same
// way). Migrations are only ever appended: a released one is never edited.
struct Migration {
    enum class Engines { Both, PostgresOnly };
    int version;
    QStringList statements;  // DDL with the placeholders of SqlDialect::ddl
    // Elsewhere the migration is recorded with no statement, so versions mean the same everywhere.
    Engines engines = Engines::Both;
};

const std::vector<Migration> &migrations();
int currentSchemaVersion();

// The highest migration recorded in the file; 0 for a file without the version table (new).
Result<int, QSqlError> schemaVersion(const QSqlDatabase &db);
// Applies the migrations above the file's version, each in its own transaction with its
// schema_version row.
Result<void, QSqlError> migrate(QSqlDatabase &db, int fromVersion);
