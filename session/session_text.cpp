#include "session/session_text.h"

#include "codec/windows1252.h"
#include "protocol/reply_layouts.h"
#include "session/controller_password.h"
#include "session/controller_session.h"
#include "session/readings.h"
#include "session/reply_check.h"
#include "session/series_tanks.h"

#include <QStringList>

namespace {

// As the programs' options give them: "10", "0.5".
QString seconds(int ms)
{
    return QString::number(ms / 1000.0);
}


// Controller text inside a message stays one printable line.
QString printable(const std::string &text)
{
    QString shown;
    for (const QChar c : fromWindows1252(text))
        shown += c.unicode() < 0x20 || c.unicode() == 0x7f ? QStringLiteral("<%1>").arg(c.unicode()) : QString(c);
    return shown;
}

QString expectedLengthsText(ExpectedLength length)
{
    return length.optionalTrailer ? QStringLiteral("%1 ou %2").arg(length.shortest).arg(length.shortest + 1)
                                  : QString::number(length.shortest);
}

QString clockText(const ClockFields &clock)
{
    return QStringLiteral("%1 %2, dia %3").arg(printable(clock.time), printable(clock.date), printable(clock.day));
}

} // namespace

QString socketErrorText(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return QStringLiteral("conexão recusada");
    case QAbstractSocket::RemoteHostClosedError: return QStringLiteral("o controlador encerrou a conexão");
    case QAbstractSocket::HostNotFoundError: return QStringLiteral("host não encontrado");
    case QAbstractSocket::SocketAccessError: return QStringLiteral("acesso à rede negado");
    case QAbstractSocket::SocketResourceError: return QStringLiteral("sem recursos para a conexão (arquivos abertos demais)");
    case QAbstractSocket::SocketTimeoutError: return QStringLiteral("tempo esgotado");
    case QAbstractSocket::NetworkError: return QStringLiteral("erro de rede (cabo, rota ou rede inacessível)");
    case QAbstractSocket::AddressInUseError: return QStringLiteral("endereço em uso");
    case QAbstractSocket::SocketAddressNotAvailableError: return QStringLiteral("endereço indisponível");
    case QAbstractSocket::UnsupportedSocketOperationError: return QStringLiteral("operação não suportada pelo sistema");
    case QAbstractSocket::TemporaryError: return QStringLiteral("erro temporário");
    default: return QStringLiteral("erro de conexão (código %1)").arg(int(error));
    }
}

QString connectionErrorText(QAbstractSocket::SocketError error, int connectTimeoutMs)
{
    if (error == QAbstractSocket::SocketTimeoutError && connectTimeoutMs > 0)
        return QStringLiteral("sem resposta em %1 s").arg(seconds(connectTimeoutMs));
    return socketErrorText(error);
}

QString outcomeText(const SessionRequest &request)
{
    using Outcome = SessionRequest::Outcome;
    switch (request.outcome()) {
    case Outcome::Pending:
    case Outcome::Replied:
        return {};
    case Outcome::ErrorReply: {
        const ErrorReply error = request.error().value_or(ErrorReply{});
        return QStringLiteral("%1 (%2)").arg(error.text.isEmpty() ? QStringLiteral("erro desconhecido") : error.text,
                                             error.code);
    }
    case Outcome::WrongAddress:
        return QStringLiteral("o controlador tem o endereço \"%1\", não %2")
            .arg(request.identification() ? request.identification()->address : QString(),
                 QLatin1String(ControllerSession::ExpectedAddress));
    case Outcome::TimedOut:
        return QStringLiteral("sem resposta em %1 s").arg(seconds(request.timeoutMs()));
    case Outcome::Unusable:
        return QStringLiteral("resposta inválida do controlador (%1)").arg(rejectionText(request.rejected().constFirst()));
    case Outcome::NotConnected:
    case Outcome::Dropped:
    case Outcome::ConnectionLost:
        break;
    }
    return QStringLiteral("a conexão foi perdida");
}

QString notTransmittedText(SessionRequest::Outcome why)
{
    return QStringLiteral("Não transmitiu (%1): ")
        .arg(why == SessionRequest::Outcome::Dropped ? QStringLiteral("conexão encerrada") : QStringLiteral("sem conexão"));
}

QString receiveRingFullText()
{
    return QStringLiteral("Fila de recepção cheia: quadro descartado");
}

QString excessAcksText()
{
    return QStringLiteral("Não transmitiu ACK: confirmações em excesso");
}

QString discardedBytesText(std::size_t count)
{
    return QStringLiteral("Descartou: %1 bytes sem fim de quadro").arg(count);
}

QString passwordProblem(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("a senha contém um caractere de controle");
    }
    if (fromWindows1252(toWindows1252(text)) != text)
        return QStringLiteral("a senha contém um caractere fora do Windows-1252");
    return {};
}

QString errorReplyText(const QString &code)
{
    if (code == QLatin1String("TI"))
        return QStringLiteral("Número do tanque inválido !");
    if (code == QLatin1String("NH"))
        return QStringLiteral("Tanque não habilitado !");
    if (code == QLatin1String("SL"))
        return QStringLiteral("Não há medições para a data !");
    if (code == QLatin1String("OL"))
        return QStringLiteral("Sonda OFF-LINE ou Inexistente !");
    return {};
}

QString sensorStateLabel(LeakSensorState state)
{
    switch (state) {
    case LeakSensorState::Short:
        return QStringLiteral("em Curto");
    case LeakSensorState::Normal:
        return QStringLiteral("Normal");
    case LeakSensorState::Leak:
        return QStringLiteral("Vazamento");
    case LeakSensorState::Open:
        return QStringLiteral("Aberto");
    case LeakSensorState::None:
        break;
    }
    return {};
}

QString meterTypeName(const QString &type)
{
    if (type == QLatin1String("1"))
        return QStringLiteral("Posto");
    if (type == QLatin1String("2"))
        return QStringLiteral("Industrial");
    if (type == QLatin1String("3"))
        return QStringLiteral("Frotista");
    return {};
}

QString rejectionText(const RejectedReply &rejected)
{
    const QByteArray &frame = rejected.frame;
    const QString code = QString::fromLatin1(replyCodeOf(frame).c_str());
    switch (rejected.problem) {
    case ReplyProblem::WrongLength:
        return QStringLiteral("resposta %1 com %2 bytes, em vez de %3").arg(code).arg(frame.size()).arg(expectedLengthsText(expectedLength(frame)));
    case ReplyProblem::Echo:
        return QStringLiteral("a resposta é o próprio pedido %1, byte a byte: a linha devolve o que recebe (eco)").arg(code);
    case ReplyProblem::BadTankNumber:
        return QStringLiteral("resposta %1 com número de tanque inválido (\"%2\")")
            .arg(code, printable(tankField(frame)));
    case ReplyProblem::TankNotAsked:
        return QStringLiteral("resposta %1 do tanque %2, que não foi pedido").arg(code).arg(*replyTankNumber(frame));
    case ReplyProblem::TankRepeated:
        return QStringLiteral("resposta %1 do tanque %2 repetida na série").arg(code).arg(*replyTankNumber(frame));
    case ReplyProblem::ImpossibleClock:
        return QStringLiteral("relógio impossível (%1)").arg(clockText(clockFields(frame)));
    case ReplyProblem::BadConfiguration:
        return QStringLiteral("configuração com números de tanques, de sensores ou OFE ilegíveis");
    case ReplyProblem::TooManyRecords:
        return QStringLiteral("mais de %1 medições programadas numa série").arg(zelta::MaxScheduledRecords);
    case ReplyProblem::NotAsked:
        return QStringLiteral("medição programada que não foi pedida");
    }
    return {};
}

QString noReadingText(const TankAnswer &answer)
{
    if (answer.rejected)
        return unusableReplyText(*answer.rejected);
    if (!answer.error)
        return {};
    return answer.error->text.isEmpty()
        ? QStringLiteral("Erro desconhecido do controlador (%1)").arg(answer.error->code)
        : answer.error->text;
}

QString unusableReplyText(const RejectedReply &rejected)
{
    return QStringLiteral("Resposta inválida do controlador: ") + rejectionText(rejected);
}

QString incompleteTotalText(const QList<int> &missingTanks)
{
    if (missingTanks.isEmpty())
        return {};
    QStringList numbers;
    for (const int tank : missingTanks)
        numbers << QString::number(tank);
    if (numbers.size() == 1)
        return QStringLiteral("incompleto: tanque %1 sem leitura").arg(numbers.first());
    const QString last = numbers.takeLast();
    return QStringLiteral("incompleto: tanques %1 e %2 sem leitura").arg(numbers.join(QStringLiteral(", ")), last);
}
