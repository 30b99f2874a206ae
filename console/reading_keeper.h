#pragma once

#include "session/readings.h"
#include "store/store_types.h"

#include <QList>
#include <QObject>

class ControllerSession;
class HistoryStore;
class SessionRequest;

// Hands what one controller session reads to the history store, as the console shows it: the
// store only queues it, so the dialogue never waits for the disk.
class ReadingKeeper : public QObject {
    Q_OBJECT
public:
    ReadingKeeper(ControllerSession *session, HistoryStore *store, QObject *parent = nullptr);

    // The station the session is about to dial; its OFE number comes with the configuration reply.
    void setStation(const QString &description, const QString &host);
    // An "MA" request: its readings are kept together, as one inventory, once it has finished.
    void keepSeriesOf(SessionRequest *request);

private:
    void keepMeasurement(const MeasurementReading &reading);
    void keepScheduled(const ScheduledReading &reading);
    void keepConfiguration(const ConfigurationReading &reading);
    void keepBadCheckByte(const QByteArray &frame);
    void keepConnectionLost(const QString &reason);

    HistoryStore *store_;
    StationIdentity station_;
    QList<ScheduledReading> scheduled_;
    bool connected_ = false;
};
