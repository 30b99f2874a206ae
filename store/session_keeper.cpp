#include "store/session_keeper.h"

#include "codec/windows1252.h"
#include "session/controller_session.h"
#include "session/log_masking.h"
#include "session/reply_decoding.h"
#include "session/session_request.h"
#include "session/session_text.h"
#include "store/history_store.h"
#include "store/store_texts.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

SessionKeeper::SessionKeeper(ControllerSession *session, HistoryStore *store, Origin origin, QObject *parent)
    : QObject(parent), session_(session), store_(store), origin_(origin)
{
    connect(session, &ControllerSession::measurementRead, this, &SessionKeeper::keepMeasurement);
    connect(session, &ControllerSession::sensorsRead, this,
            [this](const SensorReading &reading) { kept(store_->keepSensors(station_, reading)); });
    connect(session, &ControllerSession::scheduledRead, this, &SessionKeeper::keepScheduled);
    connect(session, &ControllerSession::clockRead, this, &SessionKeeper::keepClock);
    connect(session, &ControllerSession::errorReplied, this,
            [this](const ErrorReply &reply) { kept(store_->keepErrorReply(station_, reply)); });
    connect(session, &ControllerSession::configurationRead, this, [this](const ConfigurationReading &reading) {
        if (reading.checkByteMatches)
            station_.ofe = reading.ofe.trimmed();
    });
    connect(session, &ControllerSession::checkByteMismatch, this, &SessionKeeper::keepBadCheckByte);
    // A record nobody asked for is no reading; the series it strays from was kept as unusable
    // already, and a controller that goes on sending would fill the history with events.
    connect(session, &ControllerSession::replyRejected, this, [this](const RejectedReply &rejected) {
        if (rejected.problem != ReplyProblem::NotAsked)
            kept(store_->keepEvent(station_, EventKind::UnusableReading, rejectionText(rejected)));
    });
    connect(session, &ControllerSession::connected, this, [this] {
        connected_ = true;
        kept(store_->keepEvent(station_, EventKind::ConnectionOpened, station_.host));
    });
    connect(session, &ControllerSession::connectionFailed, this,
            [this](QAbstractSocket::SocketError error) { keepConnectionLost(socketErrorText(error)); });
    connect(session, &ControllerSession::peerClosed, this,
            [this] { keepConnectionLost(controllerClosedText()); });
    // Closed by this side: not a loss.
    connect(session, &ControllerSession::dialogueEnded, this, [this] { connected_ = false; });
}

void SessionKeeper::setStation(const StationIdentity &station)
{
    station_ = station;
    scheduled_.clear();
    connected_ = false;
}

void SessionKeeper::kept(quint64 sequence)
{
    lastWrite_ = std::max(lastWrite_, sequence);
}

void SessionKeeper::keepSeriesOf(SessionRequest *request)
{
    connect(request, &SessionRequest::finished, this, [this, request] { keepSeries(*request); });
}

void SessionKeeper::keepSeries(const SessionRequest &request)
{
    QList<MeasurementReading> readings;
    for (const QByteArray &frame : request.frames()) {
        if (!isErrorReply(frame) && replyCode(frame) == "MA")
            readings << decodeMeasurementReading(frame);
    }
    if (readings.isEmpty())
        return;
    // An inventory lists every tank; an incomplete one would read as tanks gone.
    if (request.outcome() == SessionRequest::Outcome::Replied) {
        kept(store_->keepInventory(station_, readings, origin_));
        return;
    }
    for (const MeasurementReading &reading : readings)
        kept(store_->keepMeasurement(station_, reading, origin_));
}

// "MA" replies belong to their series, kept by keepSeriesOf.
void SessionKeeper::keepMeasurement(const MeasurementReading &reading)
{
    if (reading.command != QLatin1String("MA"))
        kept(store_->keepMeasurement(station_, reading, origin_));
}

void SessionKeeper::keepScheduled(const ScheduledReading &reading)
{
    scheduled_ << reading;
    if (reading.moreFollow)
        return;
    kept(store_->keepScheduled(station_, std::exchange(scheduled_, {})));
}

// The PC's time is taken as the reply is interpreted, a few milliseconds after it came. A clock
// with a bad check byte is the event keepBadCheckByte keeps.
void SessionKeeper::keepClock(const ClockReading &reading)
{
    if (reading.checkByteMatches)
        kept(store_->keepClock(station_, reading, QDateTime::currentDateTimeUtc()));
}

// Readings and error replies with a bad check byte are kept as events by the store itself. A
// peer that echoes "CF" or "AR" sends the password back.
void SessionKeeper::keepBadCheckByte(const QByteArray &frame)
{
    static const QList<QByteArray> readingCodes{"MT", "LM", "MA", "LS", "MP"};
    if (isErrorReply(frame) || readingCodes.contains(replyCode(frame)))
        return;
    kept(store_->keepEvent(station_, EventKind::BadCheckByte,
                           withoutPassword(fromWindows1252(frame), session_->password())));
}

// A connection that was never made is not a loss.
void SessionKeeper::keepConnectionLost(const QString &reason)
{
    if (!std::exchange(connected_, false))
        return;
    kept(store_->keepEvent(station_, EventKind::ConnectionLost, reason));
}
