#include "poll/station_poll.h"

#include "codec/counted.h"
#include "session/controller_session.h"
#include "session/reply_decoding.h"
#include "store/history_store.h"
#include "store/reading_rows.h"
#include "store/session_keeper.h"

#include <QDateTime>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qint64 LongestBackoffMs = 24 * 60 * 60 * 1000;

QTimer *singleShotTimer(QObject *parent)
{
    auto *timer = new QTimer(parent);
    timer->setSingleShot(true);
    return timer;
}

QString clockText(qint64 offsetSeconds)
{
    if (offsetSeconds == 0)
        return QStringLiteral("relógio certo");
    return QStringLiteral("relógio %1 s %2")
        .arg(std::abs(offsetSeconds))
        .arg(offsetSeconds > 0 ? QStringLiteral("adiantado") : QStringLiteral("atrasado"));
}

} // namespace

StationPoll::StationPoll(const PolledStation &station, const QByteArray &password, const PollTiming &timing,
                         HistoryStore *store, QObject *parent)
    : QObject(parent), station_(station), password_(password), timing_(timing),
      session_(new ControllerSession(this)), store_(store),
      keeper_(new SessionKeeper(session_, store, Origin::Poll, this)),
      backoffTimer_(singleShotTimer(this)), closeTimer_(singleShotTimer(this))
{
    keeper_->setStation(stationIdentity(station));
    connect(backoffTimer_, &QTimer::timeout, this, &StationPoll::beginAttempt);
    // A close that never came about: give up on a polite one.
    connect(closeTimer_, &QTimer::timeout, this, [this] {
        session_->abort();
        onDialogueEnded();
    });
    connect(session_, &ControllerSession::connected, this, &StationPoll::onConnected);
    connect(session_, &ControllerSession::connectionFailed, this, &StationPoll::onConnectionProblem);
    connect(session_, &ControllerSession::peerClosed, this,
            [this] { onConnectionProblem(QAbstractSocket::RemoteHostClosedError); });
    connect(session_, &ControllerSession::dialogueEnded, this, &StationPoll::onDialogueEnded);
    connect(session_, &ControllerSession::clockRead, this, [this](const ClockReading &reading) {
        if (reading.command != QLatin1String("LR") || !reading.checkByteMatches)
            return;
        const QTimeZone zone = station_.timeZone.isEmpty() ? QTimeZone::systemTimeZone()
                                                           : QTimeZone(station_.timeZone.toUtf8());
        const QDateTime controller = stationTimeUtc(reading.date, reading.time, zone);
        if (controller.isValid())
            clockOffsetSeconds_ = QDateTime::currentDateTimeUtc().secsTo(controller);
    });
}

quint64 StationPoll::lastWrite() const
{
    return std::max(keeper_->lastWrite(), outcomeWrite_);
}

void StationPoll::start()
{
    if (busy())
        return;
    attempt_ = 0;
    readingsDone_ = 0;
    stopping_ = false;
    tanksRead_ = 0;
    readingKept_ = false;
    errorReplies_ = 0;
    clockOffsetSeconds_.reset();
    beginAttempt();
}

void StationPoll::stop()
{
    stopping_ = true;
    switch (step_) {
    case Step::Idle:
        return;
    case Step::Closing:
        return;  // stopped() follows dialogueEnded
    case Step::Opening:
    case Step::Inventory:
    case Step::Sensors:
    case Step::Clock:
        if (session_->isConnected()) {
            closeThen();
            return;
        }
        break;
    case Step::Connecting:
    case Step::BackingOff:
        break;
    }
    backoffTimer_->stop();
    session_->abort();
    step_ = Step::Idle;
    // Told from the event loop, as after a close: whoever stops several polls is still looping.
    QMetaObject::invokeMethod(this, &StationPoll::stopped, Qt::QueuedConnection);
}

void StationPoll::beginAttempt()
{
    ++attempt_;
    failure_.clear();
    worthRetrying_ = true;
    lostConnection_ = false;
    connectionProblem_.clear();
    step_ = Step::Connecting;
    session_->connectTo(station_.address.host, station_.address.port, timing_.connectTimeoutMs);
}

void StationPoll::onConnected()
{
    if (step_ != Step::Connecting)
        return;
    step_ = Step::Opening;
    SessionRequest *opening = session_->openDialogue(password_, timing_.replyTimeoutMs);
    current_ = opening;
    connect(opening, &SessionRequest::finished, this, [this, opening] { onOpened(opening); });
}

void StationPoll::onConnectionProblem(QAbstractSocket::SocketError error)
{
    connectionProblem_ = session_->errorString();
    // Later, the request waiting for a reply tells of the loss itself.
    if (step_ != Step::Connecting)
        return;
    const QString peer = QStringLiteral("conexão com %1:%2").arg(station_.address.host).arg(station_.address.port);
    fail(error == QAbstractSocket::SocketTimeoutError ? QStringLiteral("%1: %2").arg(peer, connectionProblem_)
                                                      : QStringLiteral("%1 falhou (%2)").arg(peer, connectionProblem_),
         true);
}

void StationPoll::onOpened(SessionRequest *request)
{
    if (request != current_ || step_ != Step::Opening)
        return;
    using Outcome = SessionRequest::Outcome;
    const bool identified = request->identification().has_value();
    switch (request->outcome()) {
    case Outcome::Replied:
        readNext();
        return;
    case Outcome::WrongAddress:
        // Another address will not become "A01" by asking again.
        fail(QStringLiteral("o controlador tem o endereço \"%1\", não %2")
                 .arg(request->identification()->address, QLatin1String(ControllerSession::ExpectedAddress)),
             false);
        return;
    case Outcome::ErrorReply:
        fail(requestProblem(*request, identified ? QStringLiteral("configuração (CF)")
                                                 : QStringLiteral("identificação (ID01)")),
             false);
        return;
    case Outcome::Unusable:
        fail(requestProblem(*request, identified ? QStringLiteral("configuração (CF)")
                                                 : QStringLiteral("identificação (ID01)")),
             true);
        return;
    case Outcome::TimedOut:
        // A wrong password goes unanswered.
        fail(identified ? requestProblem(*request, QStringLiteral("configuração (CF)")) + QStringLiteral(" (a senha está certa?)")
                        : requestProblem(*request, QStringLiteral("identificação (ID01)")),
             true);
        return;
    case Outcome::Pending:
    case Outcome::NotConnected:
    case Outcome::Dropped:
    case Outcome::ConnectionLost:
        break;
    }
    fail(requestProblem(*request, QStringLiteral("identificação (ID01)")), true);
}

void StationPoll::readNext()
{
    static const char *const Bodies[Readings] = {"MA", "LS", "LR"};
    static const Step Steps[Readings] = {Step::Inventory, Step::Sensors, Step::Clock};
    if (readingsDone_ == Readings) {
        // A controller that answered everything and gave nothing the history can keep was not read.
        if (!readingKept_) {
            fail(QStringLiteral("nenhuma leitura gravada: as respostas vieram com byte de verificação incorreto"), true);
            return;
        }
        closeThen();
        return;
    }
    step_ = Steps[readingsDone_];
    SessionRequest *request = session_->request(Bodies[readingsDone_], timing_.replyTimeoutMs);
    current_ = request;
    if (step_ == Step::Inventory)
        keeper_->keepSeriesOf(request);
    connect(request, &SessionRequest::finished, this, [this, request] { onRead(request); });
}

void StationPoll::onRead(SessionRequest *request)
{
    if (request != current_)
        return;
    current_ = nullptr;
    using Outcome = SessionRequest::Outcome;
    // Only what the store keeps as a reading counts: a reply with a bad check byte is kept as an
    // event, and an unusable one not at all.
    const bool replied = request->outcome() == Outcome::Replied;
    if (request->code() == "MA" && (replied || request->outcome() == Outcome::Unusable)) {
        for (const QByteArray &frame : request->frames()) {
            const bool reading = !isErrorReply(frame) && checkByteMatches(frame);
            readingKept_ = readingKept_ || reading;
            if (replied && isErrorReply(frame))
                ++errorReplies_;
            else if (replied && reading)
                ++tanksRead_;
        }
    }
    if (request->code() == "LS" && replied && checkByteMatches(request->frames().constFirst()))
        readingKept_ = true;
    // Stopped meanwhile: what came is kept, nothing more is asked.
    if (step_ == Step::Closing)
        return;
    if (request->outcome() == Outcome::Replied || request->outcome() == Outcome::ErrorReply) {
        // An error reply is the controller's answer: asking again would bring the same.
        if (request->outcome() == Outcome::ErrorReply)
            ++errorReplies_;
        ++readingsDone_;
        readNext();
        return;
    }
    const QString step = step_ == Step::Inventory ? QStringLiteral("inventário (MA)")
        : step_ == Step::Sensors                  ? QStringLiteral("sensores (LS)")
                                                  : QStringLiteral("relógio (LR)");
    fail(requestProblem(*request, step), true);
}

// The first failure of an attempt is the one reported. The connection is closed from the event
// loop: this may be called from inside the session's own handling of its socket.
void StationPoll::fail(const QString &reason, bool worthRetrying)
{
    if (!failure_.isEmpty())
        return;
    failure_ = reason;
    worthRetrying_ = worthRetrying;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (stopping_ || step_ == Step::Closing || step_ == Step::Idle)
                return;
            if (lostConnection_ && !connectionProblem_.isEmpty())
                failure_ += QStringLiteral(" (%1)").arg(connectionProblem_);
            if (session_->isConnected()) {
                closeThen();
                return;
            }
            session_->abort();
            afterAttempt();
        },
        Qt::QueuedConnection);
}

// "ID02", then the close; onDialogueEnded() carries on.
void StationPoll::closeThen()
{
    step_ = Step::Closing;
    // The ACKs still owed go first, each after its pause.
    closeTimer_->start(timing_.replyTimeoutMs + (ControllerSession::MaxQueuedAcks + 1) * session_->pauseMs());
    session_->endDialogue();
}

void StationPoll::onDialogueEnded()
{
    if (step_ != Step::Closing)
        return;
    closeTimer_->stop();
    if (stopping_) {
        step_ = Step::Idle;
        emit stopped();
        return;
    }
    afterAttempt();
}

void StationPoll::afterAttempt()
{
    if (failure_.isEmpty()) {
        finish(true, successDetail());
        return;
    }
    if (worthRetrying_ && attempt_ <= timing_.retries) {
        step_ = Step::BackingOff;
        const qint64 delay = std::min(LongestBackoffMs, qint64(timing_.backoffMs) << (attempt_ - 1));
        emit retrying(QStringLiteral("%1: tentativa %2 de %3 falhou: %4; nova tentativa em %5 ms")
                          .arg(station_.description)
                          .arg(attempt_)
                          .arg(timing_.retries + 1)
                          .arg(failure_)
                          .arg(delay));
        backoffTimer_->start(int(delay));
        return;
    }
    finish(false, attempt_ > 1 ? QStringLiteral("%1 (%2 tentativas)").arg(failure_).arg(attempt_) : failure_);
}

void StationPoll::finish(bool succeeded, const QString &detail)
{
    step_ = Step::Idle;
    outcomeWrite_ = store_->keepPollOutcome(keeper_->station(), succeeded, detail);
    emit finished(succeeded, detail);
}

QString StationPoll::requestProblem(const SessionRequest &request, const QString &step)
{
    using Outcome = SessionRequest::Outcome;
    const Outcome outcome = request.outcome();
    lostConnection_ = lostConnection_ || outcome == Outcome::NotConnected || outcome == Outcome::Dropped
        || outcome == Outcome::ConnectionLost;
    return QStringLiteral("%1: %2").arg(step, request.errorString());
}

QString StationPoll::successDetail() const
{
    QStringList pieces{counted(tanksRead_, "tanque lido", "tanques lidos")};
    if (errorReplies_ > 0)
        pieces << counted(errorReplies_, "resposta de erro", "respostas de erro");
    if (clockOffsetSeconds_)
        pieces << clockText(*clockOffsetSeconds_);
    return pieces.join(QStringLiteral(", "));
}
