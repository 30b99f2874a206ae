#include "store/schema.h"

#include "store/sql_dialect.h"

#include <QDateTime>
#include <QSqlQuery>

const std::vector<Migration> &migrations()
{
    static const std::vector<Migration> list{
        {1,
         {
             QStringLiteral("CREATE TABLE schema_version (version INTEGER PRIMARY KEY, applied_at {time} NOT NULL)"),
             QStringLiteral("CREATE TABLE station (id {id}, description TEXT NOT NULL, host TEXT NOT NULL, "
                            "ofe TEXT UNIQUE, time_zone TEXT NOT NULL)"),
             QStringLiteral("CREATE TABLE measurement (id {id}, station_id INTEGER NOT NULL REFERENCES station (id), "
                            "tank INTEGER NOT NULL, product TEXT NOT NULL, "
                            "unit TEXT NOT NULL CHECK (unit IN ('L', 'kg')), "
                            "measured {real}, complementary {real}, volume20 {real}, density {real}, "
                            "level_mm {real}, expansion {real}, capacity {real}, "
                            "measured_at {time}, received_at {time} NOT NULL, "
                            "command TEXT NOT NULL CHECK (command IN ('MT', 'LM', 'MA')), "
                            "origin TEXT NOT NULL CHECK (origin IN ('console', 'cli', 'poll')), "
                            "UNIQUE (station_id, tank, measured_at))"),
             QStringLiteral("CREATE TABLE inventory (id {id}, station_id INTEGER NOT NULL REFERENCES station (id), "
                            "taken_at {time} NOT NULL, "
                            "origin TEXT NOT NULL CHECK (origin IN ('console', 'cli', 'poll')))"),
             QStringLiteral("CREATE TABLE inventory_item (inventory_id INTEGER NOT NULL REFERENCES inventory (id), "
                            "measurement_id INTEGER NOT NULL REFERENCES measurement (id), "
                            "PRIMARY KEY (inventory_id, measurement_id)){without_rowid}"),
             QStringLiteral("CREATE TABLE sensor_reading (id {id}, station_id INTEGER NOT NULL REFERENCES station (id), "
                            "received_at {time} NOT NULL, bar1_active {bool} NOT NULL, bar2_active {bool} NOT NULL, "
                            "states TEXT NOT NULL)"),
             QStringLiteral("CREATE TABLE scheduled_measurement ("
                            "station_id INTEGER NOT NULL REFERENCES station (id), tank INTEGER NOT NULL, "
                            "volume {real}, measured_at {time}, UNIQUE (station_id, tank, measured_at))"),
             QStringLiteral("CREATE TABLE event (id {id}, station_id INTEGER REFERENCES station (id), "
                            "at {time} NOT NULL, kind TEXT NOT NULL, detail TEXT NOT NULL)"),
         }},
        // What happened at a station in a period, for the history window beside its chart.
        {2,
         {
             QStringLiteral("CREATE INDEX event_by_time ON event (station_id, at)"),
         }},
        // What the alarm rules decided, so that no program and no restart raises an alarm twice,
        // and the deliveries they found.
        {3,
         {
             QStringLiteral("CREATE TABLE alarm_state (station_id INTEGER NOT NULL REFERENCES station (id), "
                            "alarm TEXT NOT NULL, subject INTEGER NOT NULL, active {bool} NOT NULL, "
                            "changed_at {time} NOT NULL, count INTEGER NOT NULL DEFAULT 0, "
                            "PRIMARY KEY (station_id, alarm, subject))"),
             QStringLiteral("CREATE TABLE delivery (id {id}, station_id INTEGER NOT NULL REFERENCES station (id), "
                            "tank INTEGER NOT NULL, product TEXT NOT NULL, started_at {time} NOT NULL, "
                            "ended_at {time} NOT NULL, amount {real} NOT NULL, "
                            "UNIQUE (station_id, tank, started_at))"),
         }},
        // On PostgreSQL the references were 32-bit beside 64-bit keys: a central history of a
        // large fleet would run out of measurement numbers in a few years. SQLite's are 64-bit.
        {4,
         {
             QStringLiteral("ALTER TABLE measurement ALTER COLUMN station_id TYPE bigint"),
             QStringLiteral("ALTER TABLE inventory ALTER COLUMN station_id TYPE bigint"),
             QStringLiteral("ALTER TABLE inventory_item ALTER COLUMN inventory_id TYPE bigint, "
                            "ALTER COLUMN measurement_id TYPE bigint"),
             QStringLiteral("ALTER TABLE sensor_reading ALTER COLUMN station_id TYPE bigint"),
             QStringLiteral("ALTER TABLE scheduled_measurement ALTER COLUMN station_id TYPE bigint"),
             QStringLiteral("ALTER TABLE event ALTER COLUMN station_id TYPE bigint"),
             QStringLiteral("ALTER TABLE alarm_state ALTER COLUMN station_id TYPE bigint"),
             QStringLiteral("ALTER TABLE delivery ALTER COLUMN station_id TYPE bigint"),
         },
         Migration::Engines::PostgresOnly},
    };
    return list;
}

namespace {

// One migration in its own transaction, unless another program applied it since the version was
// read: several pollers may open a new history at once, and the first to take the lock migrates.
bool apply(QSqlDatabase &db, const Migration &migration, QSqlError *error)
{
    const SqlDialect &dialect = dialectOf(db);
    QSqlQuery query(db);
    if (!query.exec(dialect.beginWriteSql)) {
        *error = query.lastError();
        return false;
    }
    const auto failed = [&](const QSqlError &reason) {
        *error = reason;
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    if (!dialect.migrationLockSql.isEmpty() && !query.exec(dialect.migrationLockSql))
        return failed(query.lastError());
    QSqlError versionError;
    const std::optional<int> version = schemaVersion(db, &versionError);
    if (!version)
        return failed(versionError);
    if (*version < migration.version) {
        const bool applies = migration.engines == Migration::Engines::Both || &dialect == &postgresDialect();
        for (const QString &statement : applies ? migration.statements : QStringList()) {
            if (!query.exec(dialect.ddl(statement)))
                return failed(query.lastError());
        }
        if (!query.prepare(QStringLiteral("INSERT INTO schema_version (version, applied_at) VALUES (:version, :at)")))
            return failed(query.lastError());
        query.bindValue(QStringLiteral(":version"), migration.version);
        query.bindValue(QStringLiteral(":at"), dialect.timeValue(QDateTime::currentDateTimeUtc()));
        if (!query.exec())
            return failed(query.lastError());
    }
    if (!query.exec(QStringLiteral("COMMIT")))
        return failed(query.lastError());
    return true;
}

} // namespace

int currentSchemaVersion()
{
    return migrations().back().version;
}

std::optional<int> schemaVersion(const QSqlDatabase &db, QSqlError *error)
{
    // Asked with a query rather than QSqlDatabase::tables(), which would take a file that is no
    // database for an empty one.
    QSqlQuery query(db);
    const bool prepared = query.prepare(dialectOf(db).tableCountSql);
    query.bindValue(QStringLiteral(":name"), QStringLiteral("schema_version"));
    if (!prepared || !query.exec() || !query.next()) {
        *error = query.lastError();
        return std::nullopt;
    }
    if (query.value(0).toInt() == 0)
        return 0;
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !query.next()) {
        *error = query.lastError();
        return std::nullopt;
    }
    return query.value(0).toInt();
}

QString newerVersionMessage(const DatabaseLocation &location, int version)
{
    return QStringLiteral("%1 é da versão %2 do histórico, mais nova que a versão %3 que este programa conhece; "
                          "%4 não foi alterado")
        .arg(location.displayName())
        .arg(version)
        .arg(currentSchemaVersion())
        .arg(location.isPostgres() ? QStringLiteral("o banco") : QStringLiteral("o arquivo"));
}

bool migrate(QSqlDatabase &db, int fromVersion, QSqlError *error)
{
    for (const Migration &migration : migrations()) {
        if (migration.version > fromVersion && !apply(db, migration, error))
            return false;
    }
    return true;
}
