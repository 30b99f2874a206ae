#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>

// Everything that differs between the engines the history lives on, in one place: column types,
// how a timestamp is stored, and how a connection is set up. The rest of the store is shared.
struct SqlDialect {
    QString driver;  // the Qt SQL driver
    // SQLite keeps times as UTC text; PostgreSQL has timestamptz, bound and read as QDateTime.
    bool timesAsText;

    // A DDL statement with the placeholders {id} (an auto-numbered key), {real}, {bool}, {time}
    // and {without_rowid} (a key-only table) replaced by this engine's words.
    QString ddl(const QString &statement) const;

    // A UTC time as stored, in whole seconds on both engines: "YYYY-MM-DDTHH:MM:SSZ" text on
    // SQLite, which also sorts as time does, a QDateTime in UTC on PostgreSQL. A null time stays NULL.
    QVariant timeValue(const QDateTime &utc) const;
    // A stored time as milliseconds since 1970 UTC; nothing for NULL or a text of another form.
    std::optional<qint64> timeMs(const QVariant &stored) const;
    QDateTime time(const QVariant &stored) const;  // invalid for NULL

    // One row with one count: 1 when the table :name exists.
    QString tableCountSql;
    // Opens a write transaction. SQLite takes the file's write lock at once, so a transaction
    // that reads before it writes (a station looked up, an alarm's state) can never lose its
    // upgrade to another program's write half-way through.
    QString beginWriteSql;
    // Run after beginWriteSql by a migration: serialises programs migrating one history at once.
    // Empty where beginWriteSql already does (SQLite's write lock).
    QString migrationLockSql;
    // Run inside a write transaction before a station is looked up to be added or changed, so
    // that two programs meeting a new controller at once make one row of it. Empty where the
    // write transaction already holds the only write lock (SQLite).
    QString stationLockSql;

    QString identityType;
    QString realType;
    QString boolType;
    QString timeType;
    QString withoutRowid;
};

const SqlDialect &sqliteDialect();
const SqlDialect &postgresDialect();

// Qt binds a null QString as NULL: text for a NOT NULL column goes through here.
QString notNullText(const QString &text);
// The dialect of an open connection's engine.
const SqlDialect &dialectOf(const QSqlDatabase &db);
