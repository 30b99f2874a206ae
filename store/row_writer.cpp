#include "store/row_writer.h"

#include "codec/counted.h"
#include "session/kept_text.h"
#include "store/reading_rows.h"
#include "store/sql_dialect.h"
#include "store/store_texts.h"
#include "store/write_rules.h"

#include <QMultiHash>
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

RowWriter::RowWriter(const QString &connectionName, std::shared_ptr<const WriteRules> rules,
                     std::shared_ptr<const ListedHosts> listed)
    : connectionName_(connectionName),
      rules_(std::move(rules)),
      statements_(connectionName),
      stations_(statements_, std::move(listed))
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

QSqlQuery *RowWriter::prepared(const QString &sql)
{
    const Result<QSqlQuery *, QSqlError> query = statements_.prepared(sql);
    if (!query) {
        error_ = query.error();
        return nullptr;
    }
    return *query;
}

QSqlQuery *RowWriter::runStatement(const QString &sql, std::initializer_list<QVariant> values)
{
    const Result<QSqlQuery *, QSqlError> query = statements_.run(sql, values);
    if (!query) {
        error_ = query.error();
        return nullptr;
    }
    return *query;
}

Result<void, QSqlError> RowWriter::inTransaction(const std::function<bool()> &body)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    error_ = QSqlError();
    QSqlQuery control(db);
    if (!control.exec(dialectOf(db).beginWriteSql))
        return failure(control.lastError());
    bool ok = body();
    statements_.finishAll();
    if (ok && !control.exec(QStringLiteral("COMMIT"))) {
        error_ = control.lastError();
        ok = false;
    }
    if (ok)
        return {};
    control.exec(QStringLiteral("ROLLBACK"));
    stations_.forget();
    return failure(error_);
}

Result<QList<AlarmNotice>, QSqlError> RowWriter::write(const std::vector<WriteJob> &jobs)
{
    QList<AlarmNotice> decided;
    const Result<void, QSqlError> written = inTransaction([&] {
        for (const WriteJob &job : jobs) {
            if (!writeJob(job, &decided))
                return false;
        }
        return true;
    });
    if (!written)
        return failure(written.error());
    return decided;
}

bool RowWriter::writeJob(const WriteJob &job, QList<AlarmNotice> *decided)
{
    const SqlDialect &dialect = dialectOf(QSqlDatabase::database(connectionName_, false));
    if (std::holds_alternative<EventWork>(job.work) && !hasStation(job.station))
        return writeWork(Context{job, noStation(), QTimeZone(), dialect}, std::get<EventWork>(job.work));
    const Result<StationRegistry::Station, QSqlError> station = stations_.resolve(job.station, job.receivedAt);
    if (!station) {
        error_ = station.error();
        return false;
    }
    if (!station->keptApartFrom.isEmpty() && !writeKeptApart(job, *station, dialect, decided))
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
                          [&](const QString &kind, const QString &detail) -> Result<void, QSqlError> {
                              if (!writeEvent(station->id, at, kind, detail))
                                  return failure(error_);
                              return {};
                          }};
    const Result<QList<AlarmNotice>, QSqlError> applied = rules_->apply(input);
    if (!applied) {
        error_ = applied.error();
        return false;
    }
    decided->append(*applied);
    return true;
}

bool RowWriter::writeKeptApart(const WriteJob &job, const StationRegistry::Station &station,
                               const SqlDialect &dialect, QList<AlarmNotice> *decided)
{
    const QString kind = eventKindText(EventKind::OfeConflict);
    const QString detail = keptApartText(station.ofe, station.keptApartFrom, station.host);
    if (!writeEvent(station.id, dialect.timeValue(job.receivedAt), kind, detail))
        return false;
    decided->append(AlarmNotice{station.description, station.host, kind, 0, true, detail, job.receivedAt});
    return true;
}

Result<void, QSqlError> RowWriter::writeDropped(const DroppedCounts &counts, const QDateTime &at)
{
    const QString detail = droppedWhileUnwritableText(counts);
    const SqlDialect &dialect = dialectOf(QSqlDatabase::database(connectionName_, false));
    const QString kind = eventKindText(EventKind::ReadingsDropped);
    return inTransaction([&] { return writeEvent(noStation(), dialect.timeValue(at), kind, detail); });
}

bool RowWriter::writeEvent(const QVariant &stationId, const QVariant &at, const QString &kind, const QString &detail)
{
    QSqlQuery *query = prepared(QStringLiteral("INSERT INTO event (station_id, at, kind, detail) "
                                                              "VALUES (:station, :at, :kind, :detail)"));
    if (!query)
        return false;
    query->bindValue(QStringLiteral(":station"), stationId);
    query->bindValue(QStringLiteral(":at"), at);
    query->bindValue(QStringLiteral(":kind"), kind);
    // Details quote what the controller sent: its fields, a spoiled frame, a product in an alarm.
    query->bindValue(QStringLiteral(":detail"), notNullText(keptText(detail)));
    return run(*query);
}

bool RowWriter::writeEvent(const Context &context, EventKind kind, const QString &detail)
{
    return writeEvent(context.stationId, context.dialect.timeValue(context.job.receivedAt), eventKindText(kind), detail);
}

std::optional<QList<qint64>> RowWriter::writeMeasurements(const Context &context,
                                                          const QList<MeasurementReading> &readings, Origin origin)
{
    QList<MeasurementRow> rows;
    for (const MeasurementReading &reading : readings) {
        const std::optional<MeasurementRow> row =
            reading.checkByteMatches ? measurementRow(reading, context.zone) : std::nullopt;
        if (row) {
            rows << *row;
            continue;
        }
        const EventKind kind = reading.checkByteMatches ? EventKind::UnusableReading : EventKind::BadCheckByte;
        if (!writeEvent(context, kind, measurementSummary(reading)))
            return std::nullopt;
    }
    QList<qint64> ids;
    if (rows.isEmpty())
        return ids;

    // A whole series in one statement: on a server, each statement is a round trip.
    static const QString Columns = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    QStringList valueLists;
    for (qsizetype i = 0; i < rows.size(); ++i)
        valueLists << Columns;
    QSqlQuery *insert = prepared(
        QStringLiteral("INSERT INTO measurement (station_id, tank, product, unit, measured, complementary, volume20, "
                       "density, level_mm, expansion, capacity, measured_at, received_at, command, origin) VALUES ")
            + valueLists.join(QStringLiteral(", "))
            + QStringLiteral(" ON CONFLICT (station_id, tank, measured_at) DO NOTHING RETURNING id, tank, measured_at"));
    if (!insert)
        return std::nullopt;
    const QVariant receivedAt = context.dialect.timeValue(context.job.receivedAt);
    int position = 0;
    for (const MeasurementRow &row : std::as_const(rows)) {
        for (const QVariant &value : std::initializer_list<QVariant>{
                 context.stationId, QVariant(row.tank), notNullText(row.product), QVariant(row.unit), number(row.measured),
              number(row.complementary), number(row.volume20), number(row.density), number(row.levelMm),
              number(row.expansion), number(row.capacity), context.dialect.timeValue(row.measuredAt), receivedAt,
              QVariant(row.command), QVariant(originText(origin))})
            insert->bindValue(position++, value);
    }
    if (!run(*insert))
        return std::nullopt;
    // The rows made now, by tank and time; NULL times never collide, so each is new.
    QMultiHash<QPair<int, qint64>, qint64> made;
    while (insert->next()) {
        const qint64 at = context.dialect.timeMs(insert->value(2)).value_or(-1);
        made.insert({insert->value(1).toInt(), at}, insert->value(0).toLongLong());
    }
    insert->finish();

    for (const MeasurementRow &row : std::as_const(rows)) {
        const QVariant measuredAt = context.dialect.timeValue(row.measuredAt);
        const auto found = made.find({row.tank, context.dialect.timeMs(measuredAt).value_or(-1)});
        if (found != made.end()) {
            ids << found.value();
            made.erase(found);
            continue;
        }
        // Read before (a "Consultar Memória" of a measurement already kept): the row that holds it.
        QSqlQuery *find = runStatement(
            QStringLiteral("SELECT id FROM measurement WHERE station_id = ? AND tank = ? AND measured_at = ?"),
            {context.stationId, row.tank, measuredAt});
        if (!find)
            return std::nullopt;
        if (find->next())
            ids << find->value(0).toLongLong();
        find->finish();
    }
    return ids;
}

bool RowWriter::writeWork(const Context &context, const MeasurementWork &work)
{
    return writeMeasurements(context, {work.reading}, work.origin).has_value();
}

bool RowWriter::writeWork(const Context &context, const InventoryWork &work)
{
    // An inventory of which no reading could be kept (every check byte wrong) is no inventory.
    const std::optional<QList<qint64>> measurementIds = writeMeasurements(context, work.readings, work.origin);
    if (!measurementIds)
        return false;
    if (measurementIds->isEmpty())
        return true;
    QSqlQuery *inventory =
        runStatement(QStringLiteral("INSERT INTO inventory (station_id, taken_at, origin) VALUES (?, ?, ?) RETURNING id"),
                        {context.stationId, context.dialect.timeValue(context.job.receivedAt), originText(work.origin)});
    if (!inventory)
        return false;
    if (!inventory->next()) {
        error_ = inventory->lastError();
        return false;
    }
    const qint64 inventoryId = inventory->value(0).toLongLong();
    inventory->finish();

    QStringList valueLists;
    for (qsizetype i = 0; i < measurementIds->size(); ++i)
        valueLists << QStringLiteral("(?, ?)");
    QSqlQuery *items = prepared(QStringLiteral("INSERT INTO inventory_item (inventory_id, measurement_id) VALUES ")
                                                + valueLists.join(QStringLiteral(", "))
                                                + QStringLiteral(" ON CONFLICT DO NOTHING"));
    if (!items)
        return false;
    int position = 0;
    for (const qint64 measurementId : *measurementIds) {
        items->bindValue(position++, inventoryId);
        items->bindValue(position++, measurementId);
    }
    return run(*items);
}

bool RowWriter::writeWork(const Context &context, const SensorWork &work)
{
    if (!work.reading.checkByteMatches)
        return writeEvent(context, EventKind::BadCheckByte, badSensorsText(work.reading.states));
    QSqlQuery *query = prepared(QStringLiteral("INSERT INTO sensor_reading (station_id, received_at, bar1_active, "
                                                "bar2_active, states) VALUES (:station, :at, :bar1, :bar2, :states)"));
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
    QSqlQuery *query = prepared(QStringLiteral("INSERT INTO scheduled_measurement (station_id, tank, volume, measured_at) "
                                                "VALUES (:station, :tank, :volume, :measured_at) "
                                                "ON CONFLICT (station_id, tank, measured_at) DO NOTHING"));
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
                          badClockText(work.reading.command, work.reading.date, work.reading.time));
    return true;
}

bool RowWriter::writeWork(const Context &context, const PollOutcomeWork &work)
{
    return work.succeeded || writeEvent(context, EventKind::PollFailed, work.detail);
}
