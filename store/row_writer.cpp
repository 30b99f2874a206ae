#include "store/row_writer.h"

#include "store/reading_rows.h"
#include "store/sql_dialect.h"
#include "store/write_rules.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <functional>

namespace {

QVariant number(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<double>());
}

QVariant noStation()
{
    return QVariant(QMetaType::fromType<qint64>());
}

bool hasStation(const StationIdentity &identity)
{
    return !identity.host.trimmed().isEmpty() || !identity.ofe.trimmed().isEmpty();
}

} // namespace

struct RowWriter::Context {
    const WriteJob &job;
    QVariant stationId;
    QTimeZone zone;
    const SqlDialect &dialect;
};

RowWriter::RowWriter(const QString &connectionName, std::shared_ptr<const WriteRules> rules)
    : connectionName_(connectionName), rules_(std::move(rules)), statements_(connectionName), stations_(statements_)
{
}

RowWriter::~RowWriter() = default;

bool RowWriter::run(QSqlQuery &query)
{
    if (query.exec())
        return true;
    error_ = query.lastError();
    return false;
}

bool RowWriter::inTransaction(const std::function<bool()> &body, QSqlError *error)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    error_ = QSqlError();
    QSqlQuery control(db);
    if (!control.exec(dialectOf(db).beginWriteSql)) {
        *error = control.lastError();
        return false;
    }
    bool ok = body();
    statements_.finishAll();
    if (ok && !control.exec(QStringLiteral("COMMIT"))) {
        error_ = control.lastError();
        ok = false;
    }
    if (!ok) {
        control.exec(QStringLiteral("ROLLBACK"));
        stations_.forget();
        *error = error_;
    }
    return ok;
}

bool RowWriter::write(const std::vector<WriteJob> &jobs, QSqlError *error, QList<AlarmNotice> *notices)
{
    QList<AlarmNotice> decided;
    const bool ok = inTransaction(
        [&] {
            for (const WriteJob &job : jobs) {
                if (!writeJob(job, &decided))
                    return false;
            }
            return true;
        },
        error);
    if (ok)
        notices->append(decided);
    return ok;
}

bool RowWriter::writeJob(const WriteJob &job, QList<AlarmNotice> *decided)
{
    const SqlDialect &dialect = dialectOf(QSqlDatabase::database(connectionName_, false));
    if (std::holds_alternative<EventWork>(job.work) && !hasStation(job.station))
        return writeWork(Context{job, noStation(), QTimeZone(), dialect}, std::get<EventWork>(job.work));
    const std::optional<StationRegistry::Station> station = stations_.resolve(job.station, &error_);
    if (!station)
        return false;
    const Context context{job, station->id, station->zone, dialect};
    if (!std::visit([&](const auto &work) { return writeWork(context, work); }, job.work))
        return false;
    if (!rules_)
        return true;
    const QVariant at = dialect.timeValue(job.receivedAt);
    const RuleInput input{job,
                          station->id,
                          station->description,
                          station->host,
                          station->ofe,
                          station->zone,
                          statements_,
                          dialect,
                          [&](const QString &kind, const QString &detail) { return writeEvent(station->id, at, kind, detail); }};
    return rules_->apply(input, decided, &error_);
}

bool RowWriter::writeDropped(const DroppedCounts &counts, const QDateTime &at, QSqlError *error)
{
    const QString detail = QStringLiteral("%1 leituras e %2 eventos descartados enquanto o histórico não podia ser gravado")
                               .arg(counts.readings)
                               .arg(counts.events);
    const SqlDialect &dialect = dialectOf(QSqlDatabase::database(connectionName_, false));
    const QString kind = eventKindText(EventKind::ReadingsDropped);
    return inTransaction([&] { return writeEvent(noStation(), dialect.timeValue(at), kind, detail); }, error);
}

bool RowWriter::writeEvent(const QVariant &stationId, const QVariant &at, const QString &kind, const QString &detail)
{
    QSqlQuery *query = statements_.prepared(QStringLiteral("INSERT INTO event (station_id, at, kind, detail) "
                                                              "VALUES (:station, :at, :kind, :detail)"), &error_);
    if (!query)
        return false;
    query->bindValue(QStringLiteral(":station"), stationId);
    query->bindValue(QStringLiteral(":at"), at);
    query->bindValue(QStringLiteral(":kind"), kind);
    query->bindValue(QStringLiteral(":detail"), notNullText(detail));
    return run(*query);
}

bool RowWriter::writeEvent(const Context &context, EventKind kind, const QString &detail)
{
    return writeEvent(context.stationId, context.dialect.timeValue(context.job.receivedAt), eventKindText(kind), detail);
}

std::optional<qint64> RowWriter::writeMeasurement(const Context &context, const MeasurementReading &reading,
                                                  Origin origin, bool *ok)
{
    if (!reading.checkByteMatches) {
        *ok = writeEvent(context, EventKind::BadCheckByte, measurementSummary(reading));
        return std::nullopt;
    }
    const std::optional<MeasurementRow> row = measurementRow(reading, context.zone);
    if (!row) {
        *ok = writeEvent(context, EventKind::UnusableReading, measurementSummary(reading));
        return std::nullopt;
    }
    *ok = false;
    const QVariant measuredAt = context.dialect.timeValue(row->measuredAt);
    QSqlQuery *insert = statements_.prepared(QStringLiteral("INSERT INTO measurement (station_id, tank, product, unit, measured, complementary, volume20, "
                       "density, level_mm, expansion, capacity, measured_at, received_at, command, origin) "
                       "VALUES (:station, :tank, :product, :unit, :measured, :complementary, :volume20, :density, "
                       ":level, :expansion, :capacity, :measured_at, :received_at, :command, :origin) "
                       "ON CONFLICT (station_id, tank, measured_at) DO NOTHING RETURNING id"), &error_);
    if (!insert)
        return std::nullopt;
    insert->bindValue(QStringLiteral(":station"), context.stationId);
    insert->bindValue(QStringLiteral(":tank"), row->tank);
    insert->bindValue(QStringLiteral(":product"), notNullText(row->product));
    insert->bindValue(QStringLiteral(":unit"), row->unit);
    insert->bindValue(QStringLiteral(":measured"), number(row->measured));
    insert->bindValue(QStringLiteral(":complementary"), number(row->complementary));
    insert->bindValue(QStringLiteral(":volume20"), number(row->volume20));
    insert->bindValue(QStringLiteral(":density"), number(row->density));
    insert->bindValue(QStringLiteral(":level"), number(row->levelMm));
    insert->bindValue(QStringLiteral(":expansion"), number(row->expansion));
    insert->bindValue(QStringLiteral(":capacity"), number(row->capacity));
    insert->bindValue(QStringLiteral(":measured_at"), measuredAt);
    insert->bindValue(QStringLiteral(":received_at"), context.dialect.timeValue(context.job.receivedAt));
    insert->bindValue(QStringLiteral(":command"), row->command);
    insert->bindValue(QStringLiteral(":origin"), originText(origin));
    if (!run(*insert))
        return std::nullopt;
    std::optional<qint64> id;
    if (insert->next())
        id = insert->value(0).toLongLong();
    insert->finish();
    if (!id) {
        // Read before (a "Consultar Memória" of a measurement already kept): the row that holds it.
        QSqlQuery *find = statements_.prepared(QStringLiteral("SELECT id FROM measurement WHERE station_id = "
                                                                     ":station AND tank = :tank AND measured_at = :at"), &error_);
        if (!find)
            return std::nullopt;
        find->bindValue(QStringLiteral(":station"), context.stationId);
        find->bindValue(QStringLiteral(":tank"), row->tank);
        find->bindValue(QStringLiteral(":at"), measuredAt);
        if (!run(*find))
            return std::nullopt;
        if (find->next())
            id = find->value(0).toLongLong();
        find->finish();
    }
    *ok = true;
    return id;
}

bool RowWriter::writeWork(const Context &context, const MeasurementWork &work)
{
    bool ok = true;
    writeMeasurement(context, work.reading, work.origin, &ok);
    return ok;
}

bool RowWriter::writeWork(const Context &context, const InventoryWork &work)
{
    QSqlQuery *inventory = statements_.prepared(QStringLiteral("INSERT INTO inventory (station_id, taken_at, "
                                                                      "origin) VALUES (:station, :at, :origin) RETURNING id"), &error_);
    QSqlQuery *item = statements_.prepared(QStringLiteral("INSERT INTO inventory_item (inventory_id, measurement_id) "
                                               "VALUES (:inventory, :measurement) ON CONFLICT DO NOTHING"), &error_);
    if (!inventory || !item)
        return false;
    inventory->bindValue(QStringLiteral(":station"), context.stationId);
    inventory->bindValue(QStringLiteral(":at"), context.dialect.timeValue(context.job.receivedAt));
    inventory->bindValue(QStringLiteral(":origin"), originText(work.origin));
    if (!run(*inventory))
        return false;
    if (!inventory->next()) {
        error_ = inventory->lastError();
        return false;
    }
    const qint64 inventoryId = inventory->value(0).toLongLong();
    inventory->finish();

    for (const MeasurementReading &reading : work.readings) {
        bool ok = true;
        const std::optional<qint64> measurementId = writeMeasurement(context, reading, work.origin, &ok);
        if (!ok)
            return false;
        if (!measurementId)
            continue;
        item->bindValue(QStringLiteral(":inventory"), inventoryId);
        item->bindValue(QStringLiteral(":measurement"), *measurementId);
        if (!run(*item))
            return false;
    }
    return true;
}

bool RowWriter::writeWork(const Context &context, const SensorWork &work)
{
    if (!work.reading.checkByteMatches)
        return writeEvent(context, EventKind::BadCheckByte, QStringLiteral("LS sensores \"%1\"").arg(work.reading.states));
    QSqlQuery *query = statements_.prepared(QStringLiteral("INSERT INTO sensor_reading (station_id, received_at, bar1_active, "
                                                "bar2_active, states) VALUES (:station, :at, :bar1, :bar2, :states)"), &error_);
    if (!query)
        return false;
    query->bindValue(QStringLiteral(":station"), context.stationId);
    query->bindValue(QStringLiteral(":at"), context.dialect.timeValue(context.job.receivedAt));
    query->bindValue(QStringLiteral(":bar1"), work.reading.bar1Active);
    query->bindValue(QStringLiteral(":bar2"), work.reading.bar2Active);
    query->bindValue(QStringLiteral(":states"), notNullText(sensorLetters(work.reading)));
    return run(*query);
}

bool RowWriter::writeWork(const Context &context, const ScheduledWork &work)
{
    QSqlQuery *query = statements_.prepared(QStringLiteral("INSERT INTO scheduled_measurement (station_id, tank, volume, measured_at) "
                                                "VALUES (:station, :tank, :volume, :measured_at) "
                                                "ON CONFLICT (station_id, tank, measured_at) DO NOTHING"), &error_);
    if (!query)
        return false;
    for (const ScheduledReading &reading : work.readings) {
        const std::optional<ScheduledRow> row =
            reading.checkByteMatches ? scheduledRow(reading, context.zone) : std::nullopt;
        if (!row) {
            const EventKind kind = reading.checkByteMatches ? EventKind::UnusableReading : EventKind::BadCheckByte;
            if (!writeEvent(context, kind, scheduledSummary(reading)))
                return false;
            continue;
        }
        query->bindValue(QStringLiteral(":station"), context.stationId);
        query->bindValue(QStringLiteral(":tank"), row->tank);
        query->bindValue(QStringLiteral(":volume"), number(row->volume));
        query->bindValue(QStringLiteral(":measured_at"), context.dialect.timeValue(row->measuredAt));
        if (!run(*query))
            return false;
    }
    return true;
}

bool RowWriter::writeWork(const Context &context, const EventWork &work)
{
    return writeEvent(context, work.kind, work.detail);
}

bool RowWriter::writeWork(const Context &context, const ClockWork &work)
{
    if (!work.reading.checkByteMatches)
        return writeEvent(context, EventKind::BadCheckByte,
                          QStringLiteral("%1 relógio %2 %3").arg(work.reading.command, work.reading.date, work.reading.time));
    return true;
}

bool RowWriter::writeWork(const Context &context, const PollOutcomeWork &work)
{
    return work.succeeded || writeEvent(context, EventKind::PollFailed, work.detail);
}
