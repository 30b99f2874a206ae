#include "session/controller_session.h"

#include "codec/windows1252.h"
#include "protocol/control_codes.h"
#include "protocol/frame.h"
#include "protocol/log_lines.h"
#include "protocol/numeric_text.h"
#include "protocol/reply_layouts.h"
#include "protocol/requests.h"
#include "session/link_state_tracker.h"
#include "session/reply_decoding.h"
#include "session/series_tanks.h"
#include "session/session_log.h"
#include "session/session_text.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

QByteArray bytes(const std::string &text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

SessionRequest::Replies repliesOf(const QByteArray &body)
{
    const QByteArray code = body.left(2).toUpper();
    if (body.toUpper() == QByteArray(zelta::CloseDialogue.data(), qsizetype(zelta::CloseDialogue.size())))
        return SessionRequest::Replies::None;
    if (code == "MA")
        return SessionRequest::Replies::TankSeries;
    if (code == "MP")
        return SessionRequest::Replies::Scheduled;
    return SessionRequest::Replies::One;
}

bool isAck(const QByteArray &bytes)
{
    return bytes.size() == 1 && bytes[0] == zelta::ACK;
}

} // namespace

ControllerSession::ControllerSession(QObject *parent)
    : QObject(parent), socket_(new QTcpSocket(this)), linkTracker_(std::make_unique<LinkStateTracker>()),
      connectTimer_(new QTimer(this)), pacer_(new QTimer(this)), replyTimer_(new QTimer(this))
{
    connect(socket_, &QTcpSocket::readyRead, this, &ControllerSession::onReadyRead);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        connectTimer_->stop();
        qCDebug(lcSession).noquote() << "connected to" << peerAddress();
    });
    connect(socket_, &QTcpSocket::connected, this, &ControllerSession::connected);
    connect(socket_, &QTcpSocket::connected, this, &ControllerSession::pump);
    connect(socket_, &QTcpSocket::errorOccurred, this, &ControllerSession::onSocketError);
    connect(socket_, &QTcpSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::HostLookupState)
            linkTracker_->reset();
        // A connection that is not made is reported unconnected just before its error: the error,
        // or this side's own close, settles the state, with no passing "closed" in between.
        const bool attemptEnds = state == QAbstractSocket::UnconnectedState
            && (linkState_ == LinkState::LookingUpHost || linkState_ == LinkState::Connecting);
        if (!attemptEnds)
            updateLinkState();
    });

    connectTimer_->setSingleShot(true);
    connect(connectTimer_, &QTimer::timeout, this, &ControllerSession::onConnectTimeout);

    // The pause between transmissions is what the controller relies on; a coarse timer could
    // stretch it by several milliseconds per frame.
    pacer_->setSingleShot(true);
    pacer_->setTimerType(Qt::PreciseTimer);
    connect(pacer_, &QTimer::timeout, this, &ControllerSession::pump);

    // A coarse timer may fire 5 % early: a reply could then be declared missing while still in time.
    replyTimer_->setSingleShot(true);
    replyTimer_->setTimerType(Qt::PreciseTimer);
    connect(replyTimer_, &QTimer::timeout, this, &ControllerSession::onReplyTimeout);
}

ControllerSession::~ControllerSession()
{
    // Requests still pending are children and go with the session; nobody is told.
    socket_->disconnect(this);
}

void ControllerSession::connectTo(const QString &host, quint16 port, int connectTimeoutMs)
{
    if (socket_->state() != QAbstractSocket::UnconnectedState)
        qCDebug(lcSession).noquote() << "reconnecting: leaving" << socket_->peerName();
    abort();
    // Another controller: its configuration is not known until it says so.
    tankCount_ = 0;
    sensorCount_ = 0;
    connectTimeoutMs_ = connectTimeoutMs;
    qCDebug(lcSession).noquote() << "connecting to" << QStringLiteral("%1:%2").arg(host).arg(port);
    // Started first: a connection may fail before connectToHost() returns.
    if (connectTimeoutMs > 0)
        connectTimer_->start(connectTimeoutMs);
    socket_->connectToHost(host, port);
}

void ControllerSession::abort()
{
    ++generation_;
    dropQueued(SessionRequest::Outcome::Dropped);
    failWaiting(SessionRequest::Outcome::ConnectionLost);
    connectTimer_->stop();
    if (socket_->state() != QAbstractSocket::UnconnectedState)
        qCDebug(lcSession).noquote() << "closing the connection to" << socket_->peerName();
    socket_->abort();
    forgetLink();
    // Half a frame, or frames not yet interpreted, from this controller must never be read as
    // the next controller's.
    assembler_.clear();
    ring_.clear();
    lastTransmitted_.clear();
}

SessionRequest *ControllerSession::openDialogue(const QByteArray &password, int timeoutMs)
{
    password_ = password;
    opening_ = request(QByteArray(zelta::OpenDialogue.data(), qsizetype(zelta::OpenDialogue.size())), timeoutMs);
    return opening_;
}

void ControllerSession::endDialogue()
{
    // A connection that is gone, or not yet made, has no dialogue to end: an "ID02" left queued
    // would go out on the next connection, and close it.
    if (!isConnected()) {
        abort();
        logBytes(toWindows1252(notTransmittedText(SessionRequest::Outcome::NotConnected))
                 + zelta::frameRequest(zelta::CloseDialogue));
        emit dialogueEnded();
        return;
    }
    // The ACKs still owed go out first: the controller is waiting for them.
    dropQueued(SessionRequest::Outcome::Dropped, KeepAcks::Yes);
    Outgoing item;
    item.bytes = bytes(zelta::frameRequest(zelta::CloseDialogue));
    item.closeAfter = true;
    enqueue(item, false);
}

SessionRequest *ControllerSession::request(const QByteArray &body, int timeoutMs)
{
    auto *pending = new SessionRequest(body, repliesOf(body), timeoutMs, this);
    pending->expectedFrames_ = tankCount_;
    Outgoing item;
    item.bytes = bytes(zelta::frameRequest(view(body)));
    item.request = pending;
    enqueue(item, false);
    return pending;
}

void ControllerSession::sendKeepAlive()
{
    if (!isConnected())
        return;
    Outgoing item;
    item.bytes = QByteArray(zelta::KeepAlive.data(), qsizetype(zelta::KeepAlive.size()));
    enqueue(item, false);
}

ControllerSession::LinkState ControllerSession::linkState() const
{
    return linkTracker_->state(socket_->state());
}

QString ControllerSession::errorString() const
{
    if (connectionError_ == QAbstractSocket::UnknownSocketError)
        return {};
    return connectionErrorText(connectionError_, connectTimeoutMs_);
}

QString ControllerSession::peerAddress() const
{
    return socket_->peerAddress().toString();
}

bool ControllerSession::isConnected() const
{
    return socket_->state() == QAbstractSocket::ConnectedState;
}

// Receiving

void ControllerSession::onReadyRead()
{
    const QByteArray received = socket_->readAll();
    const quint64 generation = generation_;
    for (const auto &event : assembler_.feed(view(received))) {
        using Kind = zelta::FrameAssembler::Event::Kind;
        switch (event.kind) {
        case Kind::Ack:
            logBytes(zelta::receivedAckLine());
            break;
        case Kind::Nak:
            logBytes(zelta::receivedNakLine());
            break;
        case Kind::Discarded:
            logDiscarded(event.discarded);
            break;
        case Kind::Frame:
            logBytes(zelta::receivedFrameLine(event.frame));
            acknowledge();
            // A controller that floods replies faster than the event loop turns is read in full:
            // a full ring is drained at once rather than refusing the frame.
            if (ring_.full()) {
                interpretStored();
                // Whoever listened may have closed or moved the session: the rest of this read
                // belongs to a connection that is gone.
                if (generation != generation_)
                    return;
            }
            if (!ring_.push(event.frame))
                logBytes(toWindows1252(receiveRingFullText()));
            break;
        }
    }
    postInterpretation();
}

// Interpreted from the event loop, so that whoever listens may close or reconnect the session
// without pulling the bytes still being read from under it.
void ControllerSession::postInterpretation()
{
    if (ring_.empty() || interpretPosted_)
        return;
    interpretPosted_ = true;
    QMetaObject::invokeMethod(this, &ControllerSession::interpretStored, Qt::QueuedConnection);
}

void ControllerSession::interpretStored()
{
    interpretPosted_ = false;
    while (!ring_.empty())
        interpret(bytes(ring_.take()));
}

void ControllerSession::interpret(const QByteArray &frame)
{
    if (const std::optional<ReplyProblem> problem = checkReply(frame, contextFor(frame))) {
        reject(frame, *problem);
        emit frameInterpreted(frame);
        return;
    }
    if (!checkByteMatches(frame))
        emit checkByteMismatch(frame);

    const QByteArray code = replyCode(frame);
    if (isErrorReply(frame)) {
        emit errorReplied(decodeErrorReply(frame));
    } else if (code == "MT" || code == "LM" || code == "MA") {
        emit measurementRead(decodeMeasurementReading(frame));
    } else if (code == "LR" || code == "AR") {
        emit clockRead(decodeClockReading(frame));
    } else if (code == "LS") {
        emit sensorsRead(decodeSensorReading(frame, sensorCount_));
    } else if (code == "MP") {
        emit scheduledRead(decodeScheduledReading(frame));
    } else if (code == "CF") {
        const ConfigurationReading reading = decodeConfigurationReading(frame);
        tankCount_ = zelta::roundHalfEven(zelta::leadingNumber(toWindows1252(reading.tanks)));
        sensorCount_ = zelta::roundHalfEven(zelta::leadingNumber(toWindows1252(reading.sensors)));
        emit configurationRead(reading);
    } else if (code == "ID") {
        const IdentificationReading reading = decodeIdentificationReading(frame);
        emit identificationRead(reading);
        answerIdentification(reading);
    }
    settleRequests(frame);
    emit frameInterpreted(frame);
}

ReplyContext ControllerSession::contextFor(const QByteArray &frame) const
{
    ReplyContext context;
    context.lastTransmitted = lastTransmitted_;
    context.configuredTanks = tankCount_;
    if (waiting_.empty() || waiting_.front()->awaitedCode_ != replyCode(frame))
        return context;
    const SessionRequest *head = waiting_.front();
    context.awaitingBody = head->body();
    for (const QByteArray &answered : head->frames()) {
        if (const std::optional<int> tank = replyTankNumber(answered); tank && !isErrorReply(answered))
            context.tanksAnswered << *tank;
    }
    context.recordsReceived = int(head->frames().size() + head->rejected().size());
    return context;
}

// An echo ends whatever waits, since no answer is coming; any other unusable reply takes its
// place in a tank series, whose other tanks may still be read.
void ControllerSession::reject(const QByteArray &frame, ReplyProblem problem)
{
    RejectedReply rejected{frame, problem, 0};
    logBytes(toWindows1252(unusableReplyText(rejected)));
    qCWarning(lcSession).noquote() << "reply rejected:" << rejectionText(rejected);
    SessionRequest *head = waiting_.empty() ? nullptr : waiting_.front();
    const bool answersHead = head && (problem == ReplyProblem::Echo || replyCode(frame) == head->awaitedCode_);
    if (answersHead) {
        rejected.position = int(head->frames_.size() + head->rejected_.size());
        head->rejected_ << rejected;
    }
    emit replyRejected(rejected);
    if (!answersHead)
        return;
    const bool seriesGoesOn = problem != ReplyProblem::Echo && head->replies() == SessionRequest::Replies::TankSeries
        && !seriesComplete(*head);
    if (seriesGoesOn)
        restartReplyTimer();
    else
        finish(head, SessionRequest::Outcome::Unusable);
}

// The controller at the expected address gets the configuration request with the password; any
// other is left alone.
void ControllerSession::answerIdentification(const IdentificationReading &reading)
{
    const bool opening = !waiting_.empty() && waiting_.front() == opening_ && opening_->awaitedCode_ == "ID";
    if (opening)
        opening_->identification_ = reading;
    if (reading.address != QLatin1String(ExpectedAddress))
        return;
    const QByteArray body = bytes(zelta::configurationBody(view(password_)));
    if (!opening) {
        request(body);
        return;
    }
    // The opening request now waits for the configuration reply instead. Each reply has its own
    // timeout: the wait starts again now, to cover the paced ACK and "CF", and again as "CF" goes out.
    opening_->awaitedCode_ = "CF";
    restartReplyTimer();
    enqueue({bytes(zelta::frameRequest(view(body))), nullptr, false, true}, false);
}

void ControllerSession::settleRequests(const QByteArray &frame)
{
    if (waiting_.empty())
        return;
    SessionRequest *head = waiting_.front();
    if (replyCode(frame) != head->awaitedCode_)
        return;  // not its reply: a late one, or one nobody asked for

    using Outcome = SessionRequest::Outcome;
    using Replies = SessionRequest::Replies;
    const bool error = isErrorReply(frame);
    if (error && head->replies() == Replies::Scheduled && decodeErrorReply(frame).code == QLatin1String("SL")) {
        head->error_ = decodeErrorReply(frame);
        finish(head, Outcome::Replied);
        return;
    }
    head->frames_ << frame;
    if (head->replies() == Replies::TankSeries) {
        // One reply per tank, errors and unusable ones included; the end-of-reading mark closes a
        // series whose length was not known when it was sent.
        const bool marked = !error && decodeMeasurementReading(frame).lastOfReading;
        if (seriesComplete(*head) || (head->expectedFrames_ <= 0 && marked))
            finish(head, head->rejected_.isEmpty() ? Outcome::Replied : Outcome::Unusable);
        else
            restartReplyTimer();
        return;
    }
    if (error) {
        head->error_ = decodeErrorReply(frame);
        finish(head, Outcome::ErrorReply);
        return;
    }
    if (head == opening_ && head->awaitedCode_ == "ID") {
        // Not "A01": no configuration request was sent.
        finish(head, Outcome::WrongAddress);
        return;
    }
    if (head->replies() == Replies::Scheduled && decodeScheduledReading(frame).moreFollow) {
        restartReplyTimer();
        return;
    }
    finish(head, Outcome::Replied);
}

// An "MA" series has a reply for each configured tank; before the configuration is known, for
// at most as many tanks as a controller measures.
bool ControllerSession::seriesComplete(const SessionRequest &series)
{
    const int length = series.expectedFrames_ > 0 ? series.expectedFrames_ : zelta::MaxTanks;
    return series.frames_.size() + series.rejected_.size() >= length;
}

// Sending

// One ACK per frame, ahead of any request. A controller that sends frames without waiting for
// them would otherwise queue more ACKs than the pauses let out in minutes, and starve requests.
void ControllerSession::acknowledge()
{
    // Once "ID02" waits to go out, a frame that still comes gets no ACK: ACKs go ahead of requests,
    // and a controller that never stops sending would otherwise hold the close back for ever.
    if (std::any_of(outgoing_.begin(), outgoing_.end(), [](const Outgoing &queued) { return queued.closeAfter; }))
        return;
    const auto backlog = std::count_if(outgoing_.begin(), outgoing_.end(),
                                       [](const Outgoing &queued) { return isAck(queued.bytes); });
    if (backlog >= MaxQueuedAcks) {
        logBytes(toWindows1252(excessAcksText()));
        return;
    }
    enqueue({QByteArray(1, zelta::ACK), nullptr, false}, true);
}

void ControllerSession::enqueue(Outgoing item, bool ahead)
{
    if (ahead) {
        // Acknowledgements go out before any request, but in the order of their frames.
        const auto firstRequest = std::find_if(outgoing_.begin(), outgoing_.end(),
                                               [](const Outgoing &queued) { return !isAck(queued.bytes); });
        outgoing_.insert(firstRequest, std::move(item));
    } else {
        outgoing_.push_back(std::move(item));
    }
    pump();
}

void ControllerSession::pump()
{
    // Requests made while the connection is being made go out once it is up.
    const auto state = socket_->state();
    if (state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState)
        return;
    while (!outgoing_.empty()) {
        if (sinceTransmission_.isValid()) {
            const qint64 waitNs = qint64(pauseMs_) * 1000000 - sinceTransmission_.nsecsElapsed();
            if (waitNs > 0) {
                if (!pacer_->isActive())
                    pacer_->start(int((waitNs + 999999) / 1000000));
                return;
            }
        }
        const Outgoing item = std::move(outgoing_.front());
        outgoing_.pop_front();
        transmit(item);
    }
}

void ControllerSession::transmit(const Outgoing &item)
{
    if (!isConnected()) {
        // A command pressed after the connection was lost goes nowhere; say so rather than
        // pretend it was sent.
        if (!zelta::isKeepAlive(view(item.bytes)))
            logBytes(toWindows1252(notTransmittedText(SessionRequest::Outcome::NotConnected)) + item.bytes.toStdString());
        // Told from the event loop: the request may have been made this very moment, before
        // anyone could listen to it.
        if (SessionRequest *request = item.request) {
            QMetaObject::invokeMethod(
                this, [this, request] { finish(request, SessionRequest::Outcome::NotConnected); },
                Qt::QueuedConnection);
        }
        if (item.closeAfter)
            closeAfterDialogue();
        return;
    }
    socket_->write(item.bytes);
    socket_->flush();
    sinceTransmission_.start();
    if (!isAck(item.bytes) && !zelta::isKeepAlive(view(item.bytes)))
        lastTransmitted_ = item.bytes;
    if (const auto line = zelta::transmittedLine(view(item.bytes)))
        logBytes(*line);

    if (item.closeAfter) {
        closeAfterDialogue();
        return;
    }
    if (item.opensConfiguration && opening_ && !waiting_.empty() && waiting_.front() == opening_)
        restartReplyTimer();
    if (!item.request)
        return;
    if (item.request->replies() == SessionRequest::Replies::None) {
        finish(item.request, SessionRequest::Outcome::Replied);
        return;
    }
    item.request->sent_.start();
    waiting_.push_back(item.request);
    if (waiting_.size() == 1)
        restartReplyTimer();
}

// "ID02" has been handed to the socket: let it drain, then close.
void ControllerSession::closeAfterDialogue()
{
    ++generation_;
    failWaiting(SessionRequest::Outcome::ConnectionLost);
    qCDebug(lcSession).noquote() << "dialogue ended: closing the connection to" << socket_->peerName();
    socket_->disconnectFromHost();
    forgetLink();
    assembler_.clear();
    ring_.clear();
    lastTransmitted_.clear();
    emit dialogueEnded();
}

void ControllerSession::restartReplyTimer()
{
    if (waiting_.empty()) {
        replyTimer_->stop();
        return;
    }
    const SessionRequest *head = waiting_.front();
    qint64 waitMs = head->timeoutMs();
    // A scheduled series that trickles in, each record just within the timeout, still ends: no
    // controller keeps more records for a date than this.
    if (head->replies() == SessionRequest::Replies::Scheduled) {
        const qint64 seriesMs = qint64(zelta::MaxScheduledRecords) * head->timeoutMs();
        waitMs = std::clamp<qint64>(seriesMs - head->sent_.elapsed(), 0, waitMs);
    }
    replyTimer_->start(int(waitMs));
}

void ControllerSession::onReplyTimeout()
{
    if (waiting_.empty())
        return;
    SessionRequest *head = waiting_.front();
    qCWarning(lcSession).noquote() << "no" << head->awaitedCode_ << "reply within" << head->timeoutMs() << "ms";
    finish(head, SessionRequest::Outcome::TimedOut);
}

void ControllerSession::finish(SessionRequest *request, SessionRequest::Outcome outcome)
{
    if (request->outcome_ != SessionRequest::Outcome::Pending)
        return;
    request->outcome_ = outcome;
    const auto at = std::find(waiting_.begin(), waiting_.end(), request);
    const bool wasHead = at == waiting_.begin() && at != waiting_.end();
    if (at != waiting_.end())
        waiting_.erase(at);
    if (request == opening_)
        opening_ = nullptr;
    if (wasHead)
        restartReplyTimer();
    emit request->finished();
    request->deleteLater();
}

void ControllerSession::dropQueued(SessionRequest::Outcome outcome, KeepAcks keepAcks)
{
    std::deque<Outgoing> dropped;
    dropped.swap(outgoing_);
    bool endedDialogue = false;
    for (Outgoing &item : dropped) {
        if (isAck(item.bytes) && keepAcks == KeepAcks::Yes) {
            outgoing_.push_back(std::move(item));
            continue;
        }
        // Otherwise acknowledgements and keep-alives belong to the connection that is going away.
        if (isAck(item.bytes) || zelta::isKeepAlive(view(item.bytes)))
            continue;
        logBytes(toWindows1252(notTransmittedText(outcome)) + item.bytes.toStdString());
        if (item.request)
            finish(item.request, outcome);
        endedDialogue = endedDialogue || item.closeAfter;
    }
    if (outgoing_.empty())
        pacer_->stop();
    // The connection an "ID02" was for is being closed all the same.
    if (endedDialogue)
        emit dialogueEnded();
}

void ControllerSession::failWaiting(SessionRequest::Outcome outcome)
{
    replyTimer_->stop();
    while (!waiting_.empty())
        finish(waiting_.front(), outcome);
}

void ControllerSession::onSocketError(QAbstractSocket::SocketError error)
{
    connectTimer_->stop();
    connectionError_ = error;
    linkTracker_->noteError(error);
    updateLinkState();
    if (error == QAbstractSocket::RemoteHostClosedError)
        qCDebug(lcSession).noquote() << socket_->peerName() << "closed the connection";
    else
        qCWarning(lcSession).noquote() << "connection to" << socket_->peerName() << "failed:" << error;
    dropQueued(SessionRequest::Outcome::ConnectionLost);
    failWaiting(SessionRequest::Outcome::ConnectionLost);
    for (const auto &event : assembler_.flush())
        logDiscarded(event.discarded);
    if (error == QAbstractSocket::RemoteHostClosedError)
        emit peerClosed();
    else
        emit connectionFailed(error);
}

// Given up before the system would: reported as any connection that could not be made.
void ControllerSession::onConnectTimeout()
{
    linkTracker_->noteError(QAbstractSocket::SocketTimeoutError);
    socket_->abort();
    onSocketError(QAbstractSocket::SocketTimeoutError);
}

void ControllerSession::updateLinkState()
{
    const LinkState state = linkState();
    if (state == linkState_)
        return;
    linkState_ = state;
    emit linkStateChanged(state);
}

void ControllerSession::forgetLink()
{
    linkTracker_->reset();
    connectionError_ = QAbstractSocket::UnknownSocketError;
    updateLinkState();
}

void ControllerSession::logDiscarded(std::size_t count)
{
    logBytes(toWindows1252(discardedBytesText(count)));
}

void ControllerSession::logBytes(const std::string &line)
{
    emit logLine(bytes(line));
}
