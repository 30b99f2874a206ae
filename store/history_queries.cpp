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
    bool run(QSqlError *error)
    {
        if (prepared_ && query_.exec())
            return true;
        *error = query_.lastError();
        return false;
    }
    bool next() { return query_.next(); }
    QVariant value(int column) const { return query_.value(column); }

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

std::optional<QList<int>> stationTanks(const QSqlDatabase &db, qint64 stationId, QSqlError *error)
{
    QList<int> tanks;
    int after = -1;
    for (;;) {
        Question next(db, HistorySql::nextTank());
        next.bind("station", stationId).bind("after", after);
        if (!next.run(error))
            return std::nullopt;
        if (!next.next())
            return tanks;
        after = next.value(0).toInt();
        tanks.append(after);
    }
}

std::optional<SeriesPoints> tankSeries(const QSqlDatabase &db, const SeriesRequest &request, QSqlError *error)
{
    const SqlDialect &dialect = dialectOf(db);
    Question question(db, HistorySql::tankSeries(request.value));
    bindSelection(question, request, dialect);
    if (!question.run(error))
        return std::nullopt;
    SeriesPoints points;
    while (question.next()) {
        if (const std::optional<qint64> at = dialect.timeMs(question.value(0)))
            points.append(SeriesPoint{*at, question.value(1).toDouble()});
    }
    return points;
}

// Each tank's latest value, and whether that reading is of the product.
struct TankValue {
    bool ofProduct = false;
    double value = 0;
};

std::optional<SeriesPoints> productTotals(const QSqlDatabase &db, const SeriesRequest &request, QSqlError *error)
{
    const SqlDialect &dialect = dialectOf(db);
    const std::optional<QList<int>> tanks = stationTanks(db, request.stationId, error);
    if (!tanks)
        return std::nullopt;
    const int tankLimit = tanks->isEmpty() ? 0 : *std::max_element(tanks->begin(), tanks->end()) + 1;
    std::vector<TankValue> latest(static_cast<std::size_t>(tankLimit));
    for (const int tank : *tanks) {
        Question before(db, HistorySql::tankValueBefore(request.value));
        before.bind("station", request.stationId).bind("tank", tank).bind("from", dialect.timeValue(request.from));
        if (!before.run(error))
            return std::nullopt;
        if (before.next())
            latest[std::size_t(tank)] = TankValue{before.value(0).toString() == request.product, before.value(1).toDouble()};
    }
    const auto total = [&] {
        double sum = 0;
        for (const TankValue &tank : latest)
            sum += tank.ofProduct ? tank.value : 0;
        return sum;
    };

    if (tanks->isEmpty())
        return SeriesPoints{};
    Question rows(db, HistorySql::stationSeries(request.value, *tanks));
    bindPeriod(rows, request, dialect);
    if (!rows.run(error))
        return std::nullopt;
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
                points.append(SeriesPoint{*groupAt, total()});
            groupAt = at;
            touched = false;
        }
        TankValue &value = latest[std::size_t(tank)];
        const bool ofProduct = rows.value(1).toString() == request.product;
        touched = touched || ofProduct || value.ofProduct;
        value = TankValue{ofProduct, rows.value(3).toDouble()};
    }
    if (touched)
        points.append(SeriesPoint{*groupAt, total()});
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

std::optional<QList<StoredStation>> queryStations(const QSqlDatabase &db, QSqlError *error)
{
    Question question(db, HistorySql::stations());
    if (!question.run(error))
        return std::nullopt;
    QList<StoredStation> stations;
    while (question.next())
        stations.append(StoredStation{question.value(0).toLongLong(), question.value(1).toString(),
                                      question.value(2).toString(), question.value(3).toString(),
                                      question.value(4).toString()});
    return stations;
}

std::optional<StationContents> queryStationContents(const QSqlDatabase &db, qint64 stationId, QSqlError *error)
{
    const std::optional<QList<int>> tanks = stationTanks(db, stationId, error);
    if (!tanks)
        return std::nullopt;
    StationContents contents;
    for (const int tank : *tanks) {
        Question latest(db, HistorySql::latestOfTank());
        latest.bind("station", stationId).bind("tank", tank);
        if (!latest.run(error))
            return std::nullopt;
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

std::optional<SeriesPoints> querySeries(const QSqlDatabase &db, const SeriesRequest &request, QSqlError *error)
{
    return request.tank ? tankSeries(db, request, error) : productTotals(db, request, error);
}

std::optional<RowsPage> queryRows(const QSqlDatabase &db, const SeriesRequest &request, int offset, int limit,
                                  QSqlError *error)
{
    const SqlDialect &dialect = dialectOf(db);
    RowsPage page;
    page.offset = offset;
    QList<int> tanks;
    if (!request.tank) {
        const std::optional<QList<int>> stationTankList = stationTanks(db, request.stationId, error);
        if (!stationTankList)
            return std::nullopt;
        if (stationTankList->isEmpty())
            return page;
        tanks = *stationTankList;
    }
    Question count(db, request.tank ? HistorySql::tankRowCount() : HistorySql::productRowCount(tanks));
    bindSelection(count, request, dialect);
    if (!count.run(error) || !count.next())
        return std::nullopt;
    page.total = count.value(0).toInt();

    Question rows(db, request.tank ? HistorySql::tankRows() : HistorySql::productRows(tanks));
    bindSelection(rows, request, dialect);
    rows.bind("limit", limit).bind("offset", offset);
    if (!rows.run(error))
        return std::nullopt;
    while (rows.next())
        page.rows.append(measurementOf(rows, dialect));
    return page;
}

std::optional<QList<StoredEvent>> queryEvents(const QSqlDatabase &db, qint64 stationId, const QDateTime &from,
                                              const QDateTime &to, QSqlError *error)
{
    const SqlDialect &dialect = dialectOf(db);
    Question question(db, HistorySql::events());
    question.bind("station", stationId).bind("from", dialect.timeValue(from)).bind("to", dialect.timeValue(to));
    if (!question.run(error))
        return std::nullopt;
    QList<StoredEvent> events;
    while (question.next())
        events.append(StoredEvent{question.value(0).toLongLong(), dialect.time(question.value(1)),
                                  question.value(2).toString(), question.value(3).toString()});
    return events;
}

std::optional<AlarmsAndDeliveries> queryAlarmsAndDeliveries(const QSqlDatabase &db, qint64 stationId,
                                                            const QDateTime &from, const QDateTime &to,
                                                            QSqlError *error)
{
    const SqlDialect &dialect = dialectOf(db);
    AlarmsAndDeliveries result;
    Question alarms(db, HistorySql::alarmEvents());
    alarms.bind("station", stationId).bind("from", dialect.timeValue(from)).bind("to", dialect.timeValue(to));
    if (!alarms.run(error))
        return std::nullopt;
    while (alarms.next())
        result.alarms.append(StoredEvent{alarms.value(0).toLongLong(), dialect.time(alarms.value(1)),
                                         alarms.value(2).toString(), alarms.value(3).toString()});

    Question deliveries(db, HistorySql::deliveries());
    deliveries.bind("station", stationId).bind("from", dialect.timeValue(from)).bind("to", dialect.timeValue(to));
    if (!deliveries.run(error))
        return std::nullopt;
    while (deliveries.next())
        result.deliveries.append(StoredDelivery{deliveries.value(0).toLongLong(), deliveries.value(1).toInt(),
                                                deliveries.value(2).toString(), dialect.time(deliveries.value(3)),
                                                dialect.time(deliveries.value(4)), deliveries.value(5).toDouble()});
    return result;
}
