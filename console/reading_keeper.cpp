#include "console/reading_keeper.h"

#include "session/controller_session.h"
#include "session/reply_decoding.h"
#include "session/session_request.h"
#include "store/history_store.h"

ReadingKeeper::ReadingKeeper(ControllerSession *session, HistoryStore *store, QObject *parent)
    : QObject(parent), store_(store)
{
    connect(session, &ControllerSession::measurementRead, this, &ReadingKeeper::keepMeasurement);
    connect(session, &ControllerSession::sensorsRead, this,
            [this](const SensorReading &reading) { store_->keepSensors(station_, reading); });
    connect(session, &ControllerSession::scheduledRead, this, &ReadingKeeper::keepScheduled);
    connect(session, &ControllerSession::errorReplied, this,
            [this](const ErrorReply &reply) { store_->keepErrorReply(station_, reply); });
    connect(session, &ControllerSession::configurationRead, this, &ReadingKeeper::keepConfiguration);
    connect(session, &ControllerSession::checkByteMismatch, this, &ReadingKeeper::keepBadCheckByte);
    connect(session, &ControllerSession::connected, this, [this] {
        connected_ = true;
        store_->keepEvent(station_, EventKind::ConnectionOpened, station_.host);
    });
    connect(session, &ControllerSession::connectionFailed, this, &ReadingKeeper::keepConnectionLost);
    connect(session, &ControllerSession::peerClosed, this,
            [this] { keepConnectionLost(QStringLiteral("O controlador encerrou a conexão")); });
}

void ReadingKeeper::setStation(const QString &description, const QString &host)
{
    station_ = {description, host, {}, {}};
    scheduled_.clear();
    connected_ = false;
}

void ReadingKeeper::keepSeriesOf(SessionRequest *request)
{
    connect(request, &SessionRequest::finished, this, [this, request] {
        QList<MeasurementReading> readings;
        for (const QByteArray &frame : request->frames()) {
            if (!isErrorReply(frame) && replyCode(frame) == "MA")
                readings << decodeMeasurementReading(frame);
        }
        if (!readings.isEmpty())
            store_->keepInventory(station_, readings, Origin::Console);
    });
}

// "MA" replies belong to their series, kept whole by keepSeriesOf.
void ReadingKeeper::keepMeasurement(const MeasurementReading &reading)
{
    if (reading.command != QStringLiteral("MA"))
        store_->keepMeasurement(station_, reading, Origin::Console);
}

void ReadingKeeper::keepScheduled(const ScheduledReading &reading)
{
    scheduled_ << reading;
    if (reading.moreFollow)
        return;
    store_->keepScheduled(station_, scheduled_);
    scheduled_.clear();
}

void ReadingKeeper::keepConfiguration(const ConfigurationReading &reading)
{
    if (reading.checkByteMatches)
        station_.ofe = reading.ofe.trimmed();
}

// Readings and error replies with a bad check byte are kept as events by the store itself.
void ReadingKeeper::keepBadCheckByte(const QByteArray &frame)
{
    static const QList<QByteArray> readingCodes{"MT", "LM", "MA", "LS", "MP"};
    if (isErrorReply(frame) || readingCodes.contains(replyCode(frame)))
        return;
    store_->keepEvent(station_, EventKind::BadCheckByte, QString::fromLatin1(frame));
}

// A connection that was never made is not a loss.
void ReadingKeeper::keepConnectionLost(const QString &reason)
{
    if (!connected_)
        return;
    connected_ = false;
    store_->keepEvent(station_, EventKind::ConnectionLost, reason);
}
