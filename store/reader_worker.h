#pragma once

#include "store/database_location.h"
#include "store/history_queries.h"

#include <QObject>
#include <QString>

// The reader thread's side of a HistoryReader: opens its read-only connection when first asked
// (and again after a failure), runs the queries and emits the answers.
class ReaderWorker : public QObject {
    Q_OBJECT
public:
    explicit ReaderWorker(const DatabaseLocation &location);
    ~ReaderWorker() override;

    void stations(int requestId);
    void closingHours(int requestId);
    void stationContents(int requestId, qint64 stationId);
    void series(int requestId, const SeriesRequest &request);
    void rows(int requestId, const SeriesRequest &request, int offset, int limit);
    void events(int requestId, qint64 stationId, const QDateTime &from, const QDateTime &to);
    void alarmsAndDeliveries(int requestId, qint64 stationId, const QDateTime &from, const QDateTime &to);

signals:
    void stationsReady(int requestId, const QList<StoredStation> &stations);
    void closingHoursReady(int requestId, const QList<StationClosingHour> &hours);
    void stationContentsReady(int requestId, const StationContents &contents);
    void seriesReady(int requestId, const SeriesPoints &points);
    void rowsReady(int requestId, const RowsPage &page);
    void eventsReady(int requestId, const QList<StoredEvent> &events);
    void queryFailed(int requestId, const QString &reason);
    void alarmsAndDeliveriesReady(int requestId, const AlarmsAndDeliveries &found);

private:
    // Runs `query` on the connection and hands its result to `deliver`; an empty result when
    // there is no history yet.
    template <typename Answer, typename Query, typename Deliver>
    void answer(int requestId, Query query, Deliver deliver);
    void close();

    DatabaseLocation location_;
    QString connectionName_;
    bool open_ = false;
};
