#pragma once

#include "session/readings.h"
#include "store/store_types.h"

#include <QList>
#include <QObject>

class ControllerSession;
class HistoryStore;
class SessionRequest;

// Hands what one controller session reads to the history store, for whichever program holds the
// session: readings, the clock, error replies and the connection's events as they come, an "MP"
// series once its last reply is in, an "MA" series once its request has finished. The store only
// queues each call, so the dialogue never waits for the disk.
class SessionKeeper : public QObject {
    Q_OBJECT
public:
    SessionKeeper(ControllerSession *session, HistoryStore *store, Origin origin, QObject *parent = nullptr);

    // The station the session is about to dial; its OFE number comes with the configuration reply.
    void setStation(const StationIdentity &station);
    const StationIdentity &station() const { return station_; }

    // An "MA" request: once it has finished, its readings as one inventory when the series is
    // whole, each on its own when it was cut short.
    void keepSeriesOf(SessionRequest *request);
    // The sequence number of the last call handed to the store; 0 before any.
    quint64 lastWrite() const { return lastWrite_; }

private:
    void kept(quint64 sequence);
    void keepSeries(const SessionRequest &request);
    void keepMeasurement(const MeasurementReading &reading);
    void keepScheduled(const ScheduledReading &reading);
    void keepClock(const ClockReading &reading);
    void keepBadCheckByte(const QByteArray &frame);
    void keepConnectionLost(const QString &reason);

    ControllerSession *session_;
    HistoryStore *store_;
    Origin origin_;
    StationIdentity station_;
    QList<ScheduledReading> scheduled_;
    bool connected_ = false;
    quint64 lastWrite_ = 0;
};
