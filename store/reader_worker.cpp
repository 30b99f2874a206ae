#include "store/reader_worker.h"

#include "store/history_file.h"
#include "store/store_texts.h"
#include "store/write_failure.h"

#include <QFileInfo>

namespace {

constexpr int BusyTimeoutMs = 3000;

} // namespace

ReaderWorker::ReaderWorker(const DatabaseLocation &location)
    : location_(location), connectionName_(QStringLiteral("comzelta-history-reader-%1").arg(quintptr(this), 0, 16))
{
}

ReaderWorker::~ReaderWorker()
{
    close();
}

void ReaderWorker::close()
{
    closeConnection(connectionName_);
    open_ = false;
}

template <typename Answer, typename Query, typename Deliver>
void ReaderWorker::answer(int requestId, Query query, Deliver deliver)
{
    if (!open_) {
        if (!location_.isPostgres() && !QFileInfo::exists(location_.filePath)) {
            deliver(Answer{});
            return;
        }
        const Result<OpenedForReading, HistoryOpenProblem> opened = openForReading(connectionName_, location_, BusyTimeoutMs);
        if (!opened) {
            emit queryFailed(requestId, historyOpenProblemText(opened.error()));
            return;
        }
        if (opened->empty) {
            deliver(Answer{});
            return;
        }
        open_ = true;
    }
    const Result<Answer, QSqlError> result = query(QSqlDatabase::database(connectionName_, false));
    if (!result) {
        close();
        emit queryFailed(requestId, writeFailureText(writeFailure(result.error())));
        return;
    }
    deliver(*result);
}

void ReaderWorker::stations(int requestId)
{
    answer<QList<StoredStation>>(
        requestId, [](const QSqlDatabase &db) { return queryStations(db); },
        [&](const QList<StoredStation> &stations) { emit stationsReady(requestId, stations); });
}

void ReaderWorker::closingHours(int requestId)
{
    answer<QList<StationClosingHour>>(
        requestId, [](const QSqlDatabase &db) { return queryClosingHours(db); },
        [&](const QList<StationClosingHour> &hours) { emit closingHoursReady(requestId, hours); });
}

void ReaderWorker::stationContents(int requestId, qint64 stationId)
{
    answer<StationContents>(
        requestId,
        [&](const QSqlDatabase &db) { return queryStationContents(db, stationId); },
        [&](const StationContents &contents) { emit stationContentsReady(requestId, contents); });
}

void ReaderWorker::series(int requestId, const SeriesRequest &request)
{
    answer<SeriesPoints>(
        requestId, [&](const QSqlDatabase &db) { return querySeries(db, request); },
        [&](const SeriesPoints &points) { emit seriesReady(requestId, points); });
}

void ReaderWorker::rows(int requestId, const SeriesRequest &request, int offset, int limit)
{
    answer<RowsPage>(
        requestId,
        [&](const QSqlDatabase &db) { return queryRows(db, request, offset, limit); },
        [&](RowsPage page) {
            page.offset = offset;
            emit rowsReady(requestId, page);
        });
}

void ReaderWorker::events(int requestId, qint64 stationId, const QDateTime &from, const QDateTime &to)
{
    answer<QList<StoredEvent>>(
        requestId,
        [&](const QSqlDatabase &db) { return queryEvents(db, stationId, from, to); },
        [&](const QList<StoredEvent> &events) { emit eventsReady(requestId, events); });
}

void ReaderWorker::alarmsAndDeliveries(int requestId, qint64 stationId, const QDateTime &from, const QDateTime &to)
{
    answer<AlarmsAndDeliveries>(
        requestId,
        [&](const QSqlDatabase &db) {
            return queryAlarmsAndDeliveries(db, stationId, from, to);
        },
        [&](const AlarmsAndDeliveries &found) { emit alarmsAndDeliveriesReady(requestId, found); });
}
