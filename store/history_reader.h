#pragma once

#include "store/database_location.h"
#include "store/history_queries.h"

#include <QObject>
#include <QString>
#include <QThread>

class ReaderWorker;

// The history window's and the poller's questions, answered off the caller's thread: each
// request*() returns at once with a request number, and the answer comes later as a signal
// carrying that number, or queryFailed(). Answers come in the order asked. The reader has its own
// thread and its own read-only connection, so it never waits for the writer (a file is in WAL
// mode) and never changes the history. Until a history exists every answer is empty; one of a
// newer version is refused with a message naming it.
class HistoryReader : public QObject {
    Q_OBJECT
public:
    explicit HistoryReader(const DatabaseLocation &location, QObject *parent = nullptr);
    // Waits for the question being answered, if any; the others are dropped.
    ~HistoryReader() override;

    int requestStations();
    int requestClosingHours();
    int requestStationContents(qint64 stationId);
    int requestSeries(const SeriesRequest &request);
    // A page of the rows behind a series.
    int requestRows(const SeriesRequest &request, int offset, int limit);
    int requestEvents(qint64 stationId, const QDateTime &from, const QDateTime &to);
    int requestAlarmsAndDeliveries(qint64 stationId, const QDateTime &from, const QDateTime &to);

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
    template <typename Ask>
    int ask(Ask ask);

    QThread thread_;
    ReaderWorker *worker_;
    int lastRequest_ = 0;
};
