#include "store/history_queries.h"

#include "store/history_sql.h"
#include "store/sql_dialect.h"

#include <QSqlQuery>

#include <algorithm>
#include <vector>

namespace {

// A prepared, forward-only query with its parameters bound.
class Question {
public:
    Question(const QSqlDatabase &db, const QString &sql) : query_(db)
    {
        query_.setForwardOnly(true);
        prepared_ = query_.prepare(sql);
    }
    Question &bind(const char *name, const QVariant &value)
    {
        query_.bindValue(QLatin1Char(':') + QLatin1String(name), value);
        return *this;
    }
    Result<void, QSqlError> run()
    {
        if (prepared_ && query_.exec())
            return {};
        return failure(query_.lastError());
    }
    bool next() { return query_.next(); }
    QVariant value(int column) const { return query_.value(column); }
    QSqlError lastError() const { return query_.lastError(); }

private:
    QSqlQuery query_;
    bool prepared_ = false;
};

std::optional<double> number(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toDouble();
}

// The period and the station, or the tank, of a request.
void bindPeriod(Question &question, const SeriesRequest &request, const SqlDialect &dialect)
{
    question.bind("station", request.stationId)
        .bind("from", dialect.timeValue(request.from))
        .bind("to", dialect.timeValue(request.to));
}

void bindSelection(Question &question, const SeriesRequest &request, const SqlDialect &dialect)
{
    bindPeriod(question, request, dialect);
    if (request.tank)
        question.bind("tank", *request.tank);
    else
        question.bind("product", request.product);
}

Result<QList<int>, QSqlError> stationTanks(const QSqlDatabase &db, qint64 stationId)
{
    QList<int> tanks;
    int after = -1;
    for (;;) {
        Question next(db, HistorySql::nextTank());
        next.bind("station", stationId).bind("after", after);
        if (const Result<void, QSqlError> ran = next.run(); !ran)
            return failure(ran.error());
        if (!next.next())
            return tanks;
        after = next.value(0).toInt();
        tanks.append(after);
    }
}

Result<SeriesPoints, QSqlError> tankSeries(const QSqlDatabase &db, const SeriesRequest &request)
{
    const SqlDialect &dialect = dialectOf(db);
    Question question(db, HistorySql::tankSeries(request.value));
    bindSelection(question, request, dialect);
    if (const Result<void, QSqlError> ran = question.run(); !ran)
        return failure(ran.error());
    SeriesPoints points;
    while (question.next()) {
        if (const std::optional<qint64> at = dialect.timeMs(question.value(0)))
            points.append(SeriesPoint{*at, question.value(1).toDouble()});
    }
    return points;
}

// Each tank's latest value, and whether that reading is of the product.
struct TankValue {
    bool known = false;
    bool ofProduct = false;
    double value = 0;
};

Result<bool, QSqlError> holdsProductSince(const QSqlDatabase &db, const SeriesRequest &request, int tank)
{
    Question holds(db, HistorySql::tankHoldsProductSince(request.value));
    holds.bind("station", request.stationId)
        .bind("tank", tank)
        .bind("from", dialectOf(db).timeValue(request.from))
        .bind("product", request.product);
    if (const Result<void, QSqlError> ran = holds.run(); !ran)
        return failure(ran.error());
    return holds.next();
}

Result<SeriesPoints, QSqlError> productTotals(const QSqlDatabase &db, const SeriesRequest &request)
{
    const SqlDialect &dialect = dialectOf(db);
    const Result<QList<int>, QSqlError> tanks = stationTanks(db, request.stationId);
    if (!tanks)
        return failure(tanks.error());
    const int tankLimit = tanks->isEmpty() ? 0 : *std::max_element(tanks->begin(), tanks->end()) + 1;
    std::vector<TankValue> latest(static_cast<std::size_t>(tankLimit));
    QList<int> productTanks;  // holding the product before the period, in it, or later
    for (const int tank : *tanks) {
        Question before(db, HistorySql::tankValueBefore(request.value));
        before.bind("station", request.stationId).bind("tank", tank).bind("from", dialect.timeValue(request.from));
        if (const Result<void, QSqlError> ran = before.run(); !ran)
            return failure(ran.error());
        if (before.next())
            latest[std::size_t(tank)] = TankValue{true, before.value(0).toString() == request.product, before.value(1).toDouble()};
        const Result<bool, QSqlError> holds = holdsProductSince(db, request, tank);
        if (!holds)
            return failure(holds.error());
        if (latest[std::size_t(tank)].ofProduct || *holds)
            productTanks << tank;
    }
    // Until every tank of the product has been read, a sum would be that of only some of them:
    // one tank measured alone, before the first inventory, is no total.
    const auto total = [&]() -> std::optional<double> {
        double sum = 0;
        for (const int tank : productTanks) {
            const TankValue &value = latest[std::size_t(tank)];
            if (!value.known)
                return std::nullopt;
            sum += value.ofProduct ? value.value : 0;
        }
        return sum;
    };
    const auto appendTotal = [&](SeriesPoints &points, qint64 at) {
        if (const std::optional<double> sum = total())
            points.append(SeriesPoint{at, *sum});
    };

    if (tanks->isEmpty())
        return SeriesPoints{};
    Question rows(db, HistorySql::stationSeries(request.value, *tanks));
    bindPeriod(rows, request, dialect);
    if (const Result<void, QSqlError> ran = rows.run(); !ran)
        return failure(ran.error());
    SeriesPoints points;
    std::optional<qint64> groupAt;  // the reading time being summed
    bool touched = false;           // a reading of that time concerns the product
    while (rows.next()) {
        const std::optional<qint64> at = dialect.timeMs(rows.value(2));
        const int tank = rows.value(0).toInt();
        if (!at || tank < 0 || tank >= tankLimit)
            continue;
        if (groupAt != at) {
            if (touched)
                appendTotal(points, *groupAt);
            groupAt = at;
            touched = false;
        }
        TankValue &value = latest[std::size_t(tank)];
        const bool ofProduct = rows.value(1).toString() == request.product;
        touched = touched || ofProduct || value.ofProduct;
        value = TankValue{true, ofProduct, rows.value(3).toDouble()};
    }
    if (touched)
        appendTotal(points, *groupAt);
    return points;
}

StoredMeasurement measurementOf(const Question &row, const SqlDialect &dialect)
{
    StoredMeasurement m;
    m.id = row.value(0).toLongLong();
    m.tank = row.value(1).toInt();
    m.product = row.value(2).toString();
    m.unit = row.value(3).toString();
    m.measured = number(row.value(4));
    m.complementary = number(row.value(5));
    m.volume20 = number(row.value(6));
    m.density = number(row.value(7));
    m.levelMm = number(row.value(8));
    m.expansion = number(row.value(9));
    m.capacity = number(row.value(10));
    m.measuredAt = dialect.time(row.value(11));
    m.receivedAt = dialect.time(row.value(12));
    m.command = row.value(13).toString();
    m.origin = row.value(14).toString();
    return m;
}

} // namespace

Result<QList<StoredStation>, QSqlError> queryStations(const QSqlDatabase &db)
{
    Question question(db, HistorySql::stations());
    if (const Result<void, QSqlError> ran = question.run(); !ran)
        return failure(ran.error());
    QList<StoredStation> stations;
    while (question.next())
        stations.append(StoredStation{question.value(0).toLongLong(), question.value(1).toString(),
                                      question.value(2).toString(), question.value(3).toString(),
                                      question.value(4).toString()});
    return stations;
}

Result<QList<StationClosingHour>, QSqlError> queryClosingHours(const QSqlDatabase &db)
{
    Question question(db, HistorySql::closingHours());
    if (const Result<void, QSqlError> ran = question.run(); !ran)
        return failure(ran.error());
    QList<StationClosingHour> hours;
    while (question.next()) {
        const int minute = question.value(1).toInt();
        hours.append(StationClosingHour{question.value(0).toString(), QTime(minute / 60, minute % 60)});
    }
    return hours;
}

Result<StationContents, QSqlError> queryStationContents(const QSqlDatabase &db, qint64 stationId)
{
    const Result<QList<int>, QSqlError> tanks = stationTanks(db, stationId);
    if (!tanks)
        return failure(tanks.error());
    StationContents contents;
    for (const int tank : *tanks) {
        Question latest(db, HistorySql::latestOfTank());
        latest.bind("station", stationId).bind("tank", tank);
        if (const Result<void, QSqlError> ran = latest.run(); !ran)
            return failure(ran.error());
        if (!latest.next())
            continue;
        const QString product = latest.value(0).toString();
        contents.tanks.append(StoredTank{tank, product, latest.value(1).toString()});
        if (!contents.products.contains(product))
            contents.products.append(product);
    }
    contents.products.sort();
    return contents;
}

Result<SeriesPoints, QSqlError> querySeries(const QSqlDatabase &db, const SeriesRequest &request)
{
    return request.tank ? tankSeries(db, request) : productTotals(db, request);
}

Result<RowsPage, QSqlError> queryRows(const QSqlDatabase &db, const SeriesRequest &request, int offset, int limit)
{
    const SqlDialect &dialect = dialectOf(db);
    RowsPage page;
    page.offset = offset;
    QList<int> tanks;
    if (!request.tank) {
        const Result<QList<int>, QSqlError> stationTankList = stationTanks(db, request.stationId);
        if (!stationTankList)
            return failure(stationTankList.error());
        if (stationTankList->isEmpty())
            return page;
        tanks = *stationTankList;
    }
    Question count(db, request.tank ? HistorySql::tankRowCount() : HistorySql::productRowCount(tanks));
    bindSelection(count, request, dialect);
    if (const Result<void, QSqlError> counted = count.run(); !counted)
        return failure(counted.error());
    if (!count.next())
        return failure(count.lastError());
    page.total = count.value(0).toInt();

    Question rows(db, request.tank ? HistorySql::tankRows() : HistorySql::productRows(tanks));
    bindSelection(rows, request, dialect);
    rows.bind("limit", limit).bind("offset", offset);
    if (const Result<void, QSqlError> ran = rows.run(); !ran)
        return failure(ran.error());
    while (rows.next())
        page.rows.append(measurementOf(rows, dialect));
    return page;
}

Result<QList<StoredEvent>, QSqlError> queryEvents(const QSqlDatabase &db, qint64 stationId, const QDateTime &from,
                                                  const QDateTime &to)
{
    const SqlDialect &dialect = dialectOf(db);
    Question question(db, HistorySql::events());
    question.bind("station", stationId).bind("from", dialect.timeValue(from)).bind("to", dialect.timeValue(to));
    if (const Result<void, QSqlError> ran = question.run(); !ran)
        return failure(ran.error());
    QList<StoredEvent> events;
    while (question.next())
        events.append(StoredEvent{question.value(0).toLongLong(), dialect.time(question.value(1)),
                                  question.value(2).toString(), question.value(3).toString()});
    return events;
}

Result<AlarmsAndDeliveries, QSqlError> queryAlarmsAndDeliveries(const QSqlDatabase &db, qint64 stationId,
                                                                const QDateTime &from, const QDateTime &to)
{
    const SqlDialect &dialect = dialectOf(db);
    AlarmsAndDeliveries result;
    Question alarms(db, HistorySql::alarmEvents());
    alarms.bind("station", stationId).bind("from", dialect.timeValue(from)).bind("to", dialect.timeValue(to));
    if (const Result<void, QSqlError> ran = alarms.run(); !ran)
        return failure(ran.error());
    while (alarms.next())
        result.alarms.append(StoredEvent{alarms.value(0).toLongLong(), dialect.time(alarms.value(1)),
                                         alarms.value(2).toString(), alarms.value(3).toString()});

    Question deliveries(db, HistorySql::deliveries());
    deliveries.bind("station", stationId).bind("from", dialect.timeValue(from)).bind("to", dialect.timeValue(to));
    if (const Result<void, QSqlError> ran = deliveries.run(); !ran)
        return failure(ran.error());
    while (deliveries.next())
        result.deliveries.append(StoredDelivery{deliveries.value(0).toLongLong(), deliveries.value(1).toInt(),
                                                deliveries.value(2).toString(), dialect.time(deliveries.value(3)),
                                                dialect.time(deliveries.value(4)), deliveries.value(5).toDouble()});
    return result;
}
