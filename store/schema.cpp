#include "store/schema.h"

#include "store/sql_dialect.h"
#include "store/store_log.h"
#include "store/store_texts.h"

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
        // Two controllers giving one OFE number (a configuration copied from one to the other) are
        // two stations: the second keeps the number in shared_ofe, since ofe stays unique. A
        // number is another host's while that host is listed or answered with it in the last 30
        // days (ofe_heard_at, day-grained); before this version, its station's last event says.
        {5,
         {
             QStringLiteral("ALTER TABLE station ADD COLUMN shared_ofe TEXT"),
             QStringLiteral("ALTER TABLE station ADD COLUMN ofe_heard_at {time}"),
             QStringLiteral("UPDATE station SET ofe_heard_at = (SELECT MAX(at) FROM event WHERE event.station_id = station.id) "
                            "WHERE ofe IS NOT NULL"),
         }},
        // The daily stock book. Days are 'AAAA-MM-DD' texts on both engines: a book day is a date
        // of the station's calendar, not an instant. A closed day keeps its lines as computed;
        // closing_audit keeps every close and reopening, and nothing deletes from it.
        {6,
         {
             QStringLiteral("CREATE TABLE closing_settings (station_id BIGINT PRIMARY KEY REFERENCES station (id), "
                            "closing_minute INTEGER NOT NULL DEFAULT 0, tolerance_percent {real} NOT NULL DEFAULT 0.6, "
                            "tolerance_base TEXT NOT NULL DEFAULT 'available' CHECK (tolerance_base IN ('available', 'physical')), "
                            "volume_basis TEXT NOT NULL DEFAULT 'measured' CHECK (volume_basis IN ('measured', 'volume20')), "
                            "totaliser_digits INTEGER NOT NULL DEFAULT 8, cnpj TEXT)"),
             QStringLiteral("CREATE TABLE nozzle (station_id BIGINT NOT NULL REFERENCES station (id), nozzle INTEGER NOT NULL, "
                            "pump INTEGER, tank INTEGER NOT NULL, active {bool} NOT NULL, PRIMARY KEY (station_id, nozzle))"),
             QStringLiteral("CREATE TABLE totaliser (station_id BIGINT NOT NULL REFERENCES station (id), day TEXT NOT NULL, "
                            "nozzle INTEGER NOT NULL, opening {real}, closing {real}, calibration {real} NOT NULL DEFAULT 0, "
                            "PRIMARY KEY (station_id, day, nozzle))"),
             QStringLiteral("CREATE TABLE sale_price (station_id BIGINT NOT NULL REFERENCES station (id), day TEXT NOT NULL, "
                            "product TEXT NOT NULL, price {real} NOT NULL, PRIMARY KEY (station_id, day, product))"),
             QStringLiteral("CREATE TABLE product_mapping (station_id BIGINT NOT NULL REFERENCES station (id), "
                            "supplier_name TEXT NOT NULL, product TEXT NOT NULL, PRIMARY KEY (station_id, supplier_name))"),
             QStringLiteral("CREATE TABLE invoice (id {id}, station_id BIGINT NOT NULL REFERENCES station (id), "
                            "access_key TEXT NOT NULL UNIQUE, number TEXT NOT NULL, series TEXT NOT NULL, "
                            "issued_at {time} NOT NULL, supplier_name TEXT NOT NULL, supplier_cnpj TEXT NOT NULL, "
                            "day TEXT NOT NULL, imported_at {time} NOT NULL)"),
             QStringLiteral("CREATE TABLE invoice_item (invoice_id BIGINT NOT NULL REFERENCES invoice (id), item INTEGER NOT NULL, "
                            "supplier_product TEXT NOT NULL, anp_code TEXT, product TEXT NOT NULL, litres {real} NOT NULL, "
                            "price_per_litre {real} NOT NULL, PRIMARY KEY (invoice_id, item))"),
             QStringLiteral("CREATE TABLE invoice_tank (invoice_id BIGINT NOT NULL REFERENCES invoice (id), item INTEGER NOT NULL, "
                            "tank INTEGER NOT NULL, litres {real} NOT NULL, typed {bool} NOT NULL, "
                            "PRIMARY KEY (invoice_id, item, tank))"),
             QStringLiteral("CREATE TABLE dipstick (station_id BIGINT NOT NULL REFERENCES station (id), day TEXT NOT NULL, "
                            "tank INTEGER NOT NULL, litres {real} NOT NULL, reason TEXT NOT NULL, entered_at {time} NOT NULL, "
                            "PRIMARY KEY (station_id, day, tank))"),
             QStringLiteral("CREATE TABLE closed_day (station_id BIGINT NOT NULL REFERENCES station (id), day TEXT NOT NULL, "
                            "closed_at {time} NOT NULL, user_name TEXT NOT NULL, machine TEXT NOT NULL, "
                            "divergent_opening {bool} NOT NULL, PRIMARY KEY (station_id, day))"),
             QStringLiteral("CREATE TABLE closed_line (station_id BIGINT NOT NULL REFERENCES station (id), day TEXT NOT NULL, "
                            "kind TEXT NOT NULL CHECK (kind IN ('product', 'tank', 'nozzle')), subject TEXT NOT NULL, "
                            "product TEXT, tank INTEGER, pump INTEGER, opening {real}, receipts {real}, available {real}, "
                            "sales {real}, book_stock {real}, physical_stock {real}, variance_litres {real}, "
                            "variance_percent {real}, beyond_tolerance {bool}, closing_reading {real}, calibration {real}, "
                            "justification TEXT, PRIMARY KEY (station_id, day, kind, subject))"),
             QStringLiteral("CREATE TABLE closing_audit (id {id}, station_id BIGINT NOT NULL REFERENCES station (id), "
                            "day TEXT NOT NULL, action TEXT NOT NULL CHECK (action IN ('close', 'reopen')), at {time} NOT NULL, "
                            "user_name TEXT NOT NULL, machine TEXT NOT NULL, reason TEXT, lines_before TEXT, lines_after TEXT)"),
             QStringLiteral("CREATE INDEX closing_audit_by_day ON closing_audit (station_id, day)"),
         }},
        // The book finds the inventories near a closing hour from their readings, and a day's
        // invoices by station and day: without these, each day of each station read every
        // inventory item and every invoice item of the fleet.
        {7,
         {
             QStringLiteral("CREATE INDEX inventory_item_by_measurement ON inventory_item (measurement_id)"),
             QStringLiteral("CREATE INDEX invoice_by_day ON invoice (station_id, day)"),
         }},
    };
    return list;
}

namespace {

// One migration in its own transaction, unless another program applied it since the version was
// read: several pollers may open a new history at once, and the first to take the lock migrates.
Result<void, QSqlError> apply(QSqlDatabase &db, const Migration &migration)
{
    const SqlDialect &dialect = dialectOf(db);
    QSqlQuery query(db);
    if (!query.exec(dialect.beginWriteSql))
        return failure(query.lastError());
    const auto failed = [&](const QSqlError &reason) -> Result<void, QSqlError> {
        query.exec(QStringLiteral("ROLLBACK"));
        return failure(reason);
    };
    if (!dialect.migrationLockSql.isEmpty() && !query.exec(dialect.migrationLockSql))
        return failed(query.lastError());
    const Result<int, QSqlError> version = schemaVersion(db);
    if (!version)
        return failed(version.error());
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
    if (*version < migration.version)
        qCInfo(lcStore).noquote() << migrationAppliedText(migration.version);
    return {};
}

} // namespace

int currentSchemaVersion()
{
    return migrations().back().version;
}

Result<int, QSqlError> schemaVersion(const QSqlDatabase &db)
{
    // Asked with a query rather than QSqlDatabase::tables(), which would take a file that is no
    // database for an empty one.
    QSqlQuery query(db);
    const bool prepared = query.prepare(dialectOf(db).tableCountSql);
    query.bindValue(QStringLiteral(":name"), QStringLiteral("schema_version"));
    if (!prepared || !query.exec() || !query.next())
        return failure(query.lastError());
    if (query.value(0).toInt() == 0)
        return 0;
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !query.next())
        return failure(query.lastError());
    return query.value(0).toInt();
}

Result<void, QSqlError> migrate(QSqlDatabase &db, int fromVersion)
{
    for (const Migration &migration : migrations()) {
        if (migration.version <= fromVersion)
            continue;
        if (const Result<void, QSqlError> applied = apply(db, migration); !applied)
            return applied;
    }
    return {};
}
