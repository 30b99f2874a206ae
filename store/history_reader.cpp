#include "store/history_reader.h"

#include "store/reader_worker.h"
#include "store/sql_driver_preload.h"

HistoryReader::HistoryReader(const DatabaseLocation &location, QObject *parent)
    : QObject(parent), worker_(new ReaderWorker(location))
{
    thread_.setObjectName(QStringLiteral("HistoryReader"));
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &ReaderWorker::stationsReady, this, &HistoryReader::stationsReady);
    connect(worker_, &ReaderWorker::closingHoursReady, this, &HistoryReader::closingHoursReady);
    connect(worker_, &ReaderWorker::stationContentsReady, this, &HistoryReader::stationContentsReady);
    connect(worker_, &ReaderWorker::seriesReady, this, &HistoryReader::seriesReady);
    connect(worker_, &ReaderWorker::rowsReady, this, &HistoryReader::rowsReady);
    connect(worker_, &ReaderWorker::eventsReady, this, &HistoryReader::eventsReady);
    connect(worker_, &ReaderWorker::queryFailed, this, &HistoryReader::queryFailed);
    connect(worker_, &ReaderWorker::alarmsAndDeliveriesReady, this, &HistoryReader::alarmsAndDeliveriesReady);
    preloadSqlDriver(location);
    thread_.start();
}

HistoryReader::~HistoryReader()
{
    disconnect(worker_, nullptr, this, nullptr);
    thread_.quit();
    thread_.wait();
}

template <typename Ask>
int HistoryReader::ask(Ask ask)
{
    const int requestId = ++lastRequest_;
    QMetaObject::invokeMethod(worker_, [worker = worker_, ask, requestId] { ask(worker, requestId); },
                              Qt::QueuedConnection);
    return requestId;
}

int HistoryReader::requestStations()
{
    return ask([](ReaderWorker *worker, int id) { worker->stations(id); });
}

int HistoryReader::requestClosingHours()
{
    return ask([](ReaderWorker *worker, int id) { worker->closingHours(id); });
}

int HistoryReader::requestStationContents(qint64 stationId)
{
    return ask([stationId](ReaderWorker *worker, int id) { worker->stationContents(id, stationId); });
}

int HistoryReader::requestSeries(const SeriesRequest &request)
{
    return ask([request](ReaderWorker *worker, int id) { worker->series(id, request); });
}

int HistoryReader::requestRows(const SeriesRequest &request, int offset, int limit)
{
    return ask([request, offset, limit](ReaderWorker *worker, int id) { worker->rows(id, request, offset, limit); });
}

int HistoryReader::requestEvents(qint64 stationId, const QDateTime &from, const QDateTime &to)
{
    return ask([stationId, from, to](ReaderWorker *worker, int id) { worker->events(id, stationId, from, to); });
}

int HistoryReader::requestAlarmsAndDeliveries(qint64 stationId, const QDateTime &from, const QDateTime &to)
{
    return ask([stationId, from, to](ReaderWorker *worker, int id) {
        worker->alarmsAndDeliveries(id, stationId, from, to);
    });
}
