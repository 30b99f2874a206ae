#include "cli/command_runner.h"

#include "cli/exit_codes.h"
#include "cli/request_body.h"
#include "session/controller_session.h"
#include "session/reply_decoding.h"

#include <QDateTime>

CommandRunner::CommandRunner(ControllerSession *session, const CliOptions &options, const StationAddress &address,
                             const QByteArray &password, QObject *parent)
    : QObject(parent), session_(session), options_(options), address_(address), password_(password)
{
    report_.command = options.command;
    report_.station = options.station;
    report_.scheduledDate = options.command == CliCommand::Scheduled ? options.argument : QString();
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
    session_->connectTo(address_.host, address_.port, options_.timeoutMs);
}

void CommandRunner::onConnected()
{
    SessionRequest *opening = session_->openDialogue(password_, options_.timeoutMs);
    connect(opening, &SessionRequest::finished, this, [this, opening] { onDialogueOpened(opening); });
}

void CommandRunner::onConnectionFailed(QAbstractSocket::SocketError error)
{
    if (ending_) {
        stop(exitCode_);
        return;
    }
    if (done_)
        return;
    const QString reason = session_->errorString();
    emit problem(error == QAbstractSocket::SocketTimeoutError ? QStringLiteral("conexão com %1: %2").arg(peer(), reason)
                                                              : QStringLiteral("conexão com %1: falhou (%2)").arg(peer(), reason));
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
    emit problem(QStringLiteral("conexão com %1: %2").arg(peer(), session_->errorString()));
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
    // The usable tanks of an inventory are still worth printing beside the exit status.
    const bool usableTanks = outcome == SessionRequest::Outcome::Unusable && options_.command == CliCommand::Inventory;
    if (outcome == SessionRequest::Outcome::Replied || tankError || usableTanks)
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
        report_.tanks += seriesAnswers(request);
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
    int exitCode = ExitNoConnection;
    switch (request.outcome()) {
    case Outcome::ErrorReply: exitCode = ExitErrorReply; break;
    case Outcome::WrongAddress: exitCode = ExitWrongAddress; break;
    case Outcome::TimedOut: exitCode = ExitNoReply; break;
    case Outcome::Unusable: exitCode = ExitUnusable; break;
    case Outcome::Pending:
    case Outcome::Replied:
    case Outcome::NotConnected:
    case Outcome::Dropped:
    case Outcome::ConnectionLost:
        break;
    }
    const QString text = QStringLiteral("%1: %2").arg(step, request.errorString());
    // Which controller was lost, for a run among many in a script.
    emit problem(exitCode == ExitNoConnection ? QStringLiteral("%1 (%2)").arg(text, peer()) : text);
    return exitCode;
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
