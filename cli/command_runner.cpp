#include "cli/command_runner.h"

#include "cli/exit_codes.h"
#include "cli/request_body.h"
#include "session/controller_session.h"
#include "session/reply_decoding.h"

#include <QDateTime>
#include <QTimer>

CommandRunner::CommandRunner(ControllerSession *session, const CliOptions &options, const StationAddress &address,
                             const QByteArray &password, QObject *parent)
    : QObject(parent), session_(session), options_(options), address_(address), password_(password),
      connectTimer_(new QTimer(this))
{
    report_.command = options.command;
    report_.station = options.station;
    report_.scheduledDate = options.command == CliCommand::Scheduled ? options.argument : QString();
    connectTimer_->setSingleShot(true);
    connect(connectTimer_, &QTimer::timeout, this, &CommandRunner::onConnectTimeout);
}

void CommandRunner::start()
{
    connect(session_, &ControllerSession::connected, this, &CommandRunner::onConnected);
    connect(session_, &ControllerSession::connectionFailed, this, &CommandRunner::onConnectionFailed);
    connect(session_, &ControllerSession::peerClosed, this, &CommandRunner::onPeerClosed);
    connect(session_, &ControllerSession::dialogueEnded, this, [this] { stop(exitCode_); });
    connect(session_, &ControllerSession::checkByteMismatch, this, [this] {
        emit problem(QStringLiteral("aviso: resposta com byte de verificação incorreto, interpretada assim mesmo"));
    });
    connectTimer_->start(options_.timeoutMs);
    session_->connectTo(address_.host, address_.port);
}

void CommandRunner::onConnected()
{
    connected_ = true;
    connectTimer_->stop();
    SessionRequest *opening = session_->openDialogue(password_, options_.timeoutMs);
    connect(opening, &SessionRequest::finished, this, [this, opening] { onDialogueOpened(opening); });
}

void CommandRunner::onConnectionFailed(const QString &reason)
{
    if (ending_) {
        stop(exitCode_);
        return;
    }
    if (done_)
        return;
    emit problem(QStringLiteral("conexão com %1: falhou (%2)").arg(peer(), reason));
    stop(ExitNoConnection);
}

void CommandRunner::onPeerClosed()
{
    if (ending_) {
        stop(exitCode_);
        return;
    }
    if (done_)
        return;
    emit problem(QStringLiteral("conexão com %1: o controlador fechou a conexão").arg(peer()));
    stop(ExitNoConnection);
}

void CommandRunner::onConnectTimeout()
{
    if (connected_ || done_)
        return;
    emit problem(QStringLiteral("conexão com %1: sem resposta em %2 s").arg(peer(), seconds()));
    session_->abort();
    stop(ExitNoConnection);
}

void CommandRunner::onDialogueOpened(SessionRequest *request)
{
    if (ending_ || done_)
        return;
    report_.identification = request->identification();
    if (request->outcome() != SessionRequest::Outcome::Replied) {
        const bool identified = request->identification()
            && request->outcome() != SessionRequest::Outcome::WrongAddress;
        const QString step = identified ? QStringLiteral("configuração (CF)") : QStringLiteral("identificação (ID01)");
        const int exitCode = failure(*request, step);
        if (exitCode == ExitNoConnection)
            stop(exitCode);
        else
            endDialogue(exitCode);
        return;
    }
    for (const QByteArray &frame : request->frames()) {
        if (replyCode(frame) == "CF")
            report_.configuration = decodeConfigurationReading(frame);
    }
    if (options_.command == CliCommand::Identify) {
        hasReport_ = true;
        endDialogue(ExitDone);
        return;
    }
    body_ = requestBody(options_, password_, QDateTime::currentDateTime());
    SessionRequest *command = session_->request(body_, options_.timeoutMs);
    connect(command, &SessionRequest::finished, this, [this, command] { onCommandFinished(command); });
    emit commandSent(command);
}

void CommandRunner::onCommandFinished(SessionRequest *request)
{
    if (ending_ || done_)
        return;
    const SessionRequest::Outcome outcome = request->outcome();
    const bool tankError = outcome == SessionRequest::Outcome::ErrorReply
        && (options_.command == CliCommand::Measure || options_.command == CliCommand::Memory);
    if (outcome == SessionRequest::Outcome::Replied || tankError)
        collect(*request);
    if (outcome != SessionRequest::Outcome::Replied) {
        const int exitCode = failure(*request, commandStep());
        if (exitCode == ExitNoConnection)
            stop(exitCode);
        else
            endDialogue(exitCode);
        return;
    }
    int erroring = 0;
    for (const TankAnswer &answer : report_.tanks) {
        if (!answer.error)
            continue;
        ++erroring;
        emit problem(QStringLiteral("%1: tanque %2: %3 (%4)")
                         .arg(commandStep())
                         .arg(answer.tank.value_or(0), 2, 10, QLatin1Char('0'))
                         .arg(answer.error->text, answer.error->code));
    }
    endDialogue(erroring > 0 ? ExitPartial : ExitDone);
}

void CommandRunner::collect(const SessionRequest &request)
{
    hasReport_ = true;
    const QList<QByteArray> &frames = request.frames();
    switch (options_.command) {
    case CliCommand::Identify:
        break;
    case CliCommand::Clock:
    case CliCommand::SetClock:
        if (!frames.isEmpty())
            report_.clock = decodeClockReading(frames.first());
        break;
    case CliCommand::Measure:
    case CliCommand::Memory: {
        TankAnswer answer;
        answer.tank = options_.argument.toInt();
        if (request.error())
            answer.error = request.error();
        else if (!frames.isEmpty())
            answer.reading = decodeMeasurementReading(frames.first());
        report_.tanks << answer;
        break;
    }
    case CliCommand::Inventory:
        // The controller answers tanks 1, 2, ... in order, one reply each.
        for (int i = 0; i < frames.size(); ++i) {
            TankAnswer answer;
            answer.tank = i + 1;
            if (isErrorReply(frames.at(i)))
                answer.error = decodeErrorReply(frames.at(i));
            else
                answer.reading = decodeMeasurementReading(frames.at(i));
            report_.tanks << answer;
        }
        break;
    case CliCommand::Sensors:
        if (!frames.isEmpty())
            report_.sensors = decodeSensorReading(frames.first(), session_->sensorCount());
        break;
    case CliCommand::Scheduled:
        for (const QByteArray &frame : frames)
            report_.scheduled << decodeScheduledReading(frame);
        break;
    }
}

int CommandRunner::failure(const SessionRequest &request, const QString &step)
{
    using Outcome = SessionRequest::Outcome;
    switch (request.outcome()) {
    case Outcome::ErrorReply: {
        const ErrorReply error = request.error().value_or(ErrorReply{});
        const QString text = error.text.isEmpty() ? QStringLiteral("erro desconhecido") : error.text;
        emit problem(QStringLiteral("%1: %2 (%3)").arg(step, text, error.code));
        return ExitErrorReply;
    }
    case Outcome::WrongAddress: {
        const QString address = request.identification() ? request.identification()->address : QString();
        emit problem(QStringLiteral("%1: o controlador tem o endereço \"%2\", não %3")
                         .arg(step, address, QLatin1String(ControllerSession::ExpectedAddress)));
        return ExitWrongAddress;
    }
    case Outcome::TimedOut:
        emit problem(QStringLiteral("%1: sem resposta em %2 s").arg(step, seconds()));
        return ExitNoReply;
    case Outcome::Pending:
    case Outcome::Replied:
    case Outcome::NotConnected:
    case Outcome::Dropped:
    case Outcome::ConnectionLost:
        break;
    }
    emit problem(QStringLiteral("%1: a conexão com %2 foi perdida").arg(step, peer()));
    return ExitNoConnection;
}

void CommandRunner::endDialogue(int exitCode)
{
    exitCode_ = exitCode;
    ending_ = true;
    session_->endDialogue();
}

void CommandRunner::stop(int exitCode)
{
    if (done_)
        return;
    done_ = true;
    connectTimer_->stop();
    emit finished(exitCode);
}

QString CommandRunner::commandStep() const
{
    switch (options_.command) {
    case CliCommand::Identify:
        break;
    case CliCommand::Clock:
        return QStringLiteral("leitura do relógio (LR)");
    case CliCommand::SetClock:
        return QStringLiteral("acerto do relógio (AR)");
    case CliCommand::Measure:
        return QStringLiteral("medição do tanque %1 (MT)").arg(options_.argument);
    case CliCommand::Memory:
        return QStringLiteral("memória do tanque %1 (LM)").arg(options_.argument);
    case CliCommand::Inventory:
        return QStringLiteral("inventário (MA)");
    case CliCommand::Sensors:
        return QStringLiteral("leitura dos sensores (LS)");
    case CliCommand::Scheduled:
        return QStringLiteral("medições programadas de %1 (MP)").arg(options_.argument);
    }
    return {};
}

QString CommandRunner::peer() const
{
    return QStringLiteral("%1:%2").arg(address_.host).arg(address_.port);
}

QString CommandRunner::seconds() const
{
    return QString::number(options_.timeoutMs / 1000.0);
}
