#include "store/store_texts.h"

#include "codec/counted.h"
#include "store/history_open_problem.h"
#include "store/schema.h"
#include "store/sql_dialect.h"

#include <QDir>

namespace {

QString countsText(const DroppedCounts &counts)
{
    return QStringLiteral("%1 e %2").arg(counted(counts.readings, "leitura", "leituras"),
                                         counted(counts.events, "evento", "eventos"));
}

QString withPlace(const QString &reason, const QString &where)
{
    return QStringLiteral("%1 (%2)").arg(reason, QDir::toNativeSeparators(where));
}

} // namespace

QString historyOpenProblemText(const HistoryOpenProblem &problem)
{
    using Kind = HistoryOpenProblem::Kind;
    switch (problem.kind) {
    case Kind::DriverMissing:
        return problem.detail == postgresDialect().driver
            ? QStringLiteral("o driver PostgreSQL do Qt não está instalado (pacote libqt6sql6-psql)")
            : QStringLiteral("o driver SQLite do Qt não está instalado (pacote libqt6sql6-sqlite)");
    case Kind::FolderMissing:
        return QStringLiteral("a pasta do histórico não existe (%1)").arg(QDir::toNativeSeparators(problem.where));
    case Kind::Unusable:
        return problem.where.isEmpty() ? problem.detail : withPlace(problem.detail, problem.where);
    case Kind::NewerVersion:
        return QStringLiteral("%1 é da versão %2 do histórico, mais nova que a versão %3 que este programa conhece; "
                              "%4 não foi alterado")
            .arg(problem.where)
            .arg(problem.version)
            .arg(currentSchemaVersion())
            .arg(problem.onServer ? QStringLiteral("o banco") : QStringLiteral("o arquivo"));
    case Kind::Unreachable:
    case Kind::NoSuchDatabase:
        return withPlace(QStringLiteral("não foi possível conectar ao banco: %1").arg(problem.detail), problem.where);
    }
    return {};
}

QString databaseUrlProblemText(const DatabaseUrlProblem &problem)
{
    using Kind = DatabaseUrlProblem::Kind;
    const QString reason = [&problem] {
        switch (problem.kind) {
        case Kind::Malformed: return problem.atFault;
        case Kind::NotPostgres: return QStringLiteral("%1 não começa com postgresql://").arg(problem.atFault);
        case Kind::PasswordGiven: return QStringLiteral("a senha não vai no endereço; use ~/.pgpass ou PGPASSFILE");
        case Kind::Fragment: return QStringLiteral("%1 tem um fragmento (#)").arg(problem.atFault);
        case Kind::NoDatabase:
            return QStringLiteral("%1 não nomeia um banco (postgresql://usuário@servidor/banco)").arg(problem.atFault);
        case Kind::UnknownOption: return QStringLiteral("opção %1 desconhecida (só host=)").arg(problem.atFault);
        case Kind::HostTwice: return QStringLiteral("o servidor foi dado duas vezes, ou host= vazio");
        }
        return QString();
    }();
    return QStringLiteral("endereço do banco inválido: %1").arg(reason);
}

QString writeFailureText(const WriteFailure &failure)
{
    using Kind = WriteFailure::Kind;
    switch (failure.kind) {
    case Kind::ServerDiskFull: return QStringLiteral("disco do servidor cheio");
    case Kind::ServerReadOnly: return QStringLiteral("banco somente para leitura");
    case Kind::NoPermission: return QStringLiteral("sem permissão para gravar");
    case Kind::ServerUnreachable: return QStringLiteral("servidor do banco inacessível: %1").arg(failure.said);
    case Kind::DataRejected: return QStringLiteral("erro ao gravar: %1").arg(failure.said);
    case Kind::DiskFull: return QStringLiteral("disco cheio");
    case Kind::FileReadOnly: return QStringLiteral("arquivo somente para leitura");
    case Kind::FileLocked: return QStringLiteral("arquivo bloqueado por outro programa");
    case Kind::DiskIo: return QStringLiteral("erro de leitura ou gravação no disco");
    case Kind::CantOpen: return QStringLiteral("não foi possível abrir o arquivo");
    case Kind::NotAHistory: return QStringLiteral("o arquivo está danificado ou não é um histórico");
    case Kind::Other: break;
    }
    return failure.said.isEmpty() ? QStringLiteral("erro desconhecido") : failure.said;
}

QString controllerClosedText()
{
    return QStringLiteral("O controlador encerrou a conexão");
}

QString unwrittenOnCloseText(const DroppedCounts &lost, const QString &reason)
{
    return QStringLiteral("Histórico: %1 não gravados ao fechar: %2").arg(countsText(lost), reason);
}

QString jobDroppedText(const QString &reason)
{
    return QStringLiteral("Histórico: registro descartado: %1").arg(reason);
}

QString writeRetryText(const QString &reason, int retryMs)
{
    return QStringLiteral("Histórico: gravação falhou (%1); nova tentativa em %2 ms").arg(reason).arg(retryMs);
}

QString migrationAppliedText(int version)
{
    return QStringLiteral("Histórico: migração %1 aplicada").arg(version);
}

QString lockServerUnavailableText(const QString &reason, int retryMs)
{
    return QStringLiteral("Travas dos postos: %1; nova tentativa em %2 ms").arg(reason).arg(retryMs);
}

QString claimRefusedText(const QString &controller)
{
    return QStringLiteral("Travas dos postos: %1 já é consultado por outro programa").arg(controller);
}

QString keptApartText(const QString &ofe, const QString &heldBy, const QString &host)
{
    return QStringLiteral("OFE %1 já é do posto em %2: leituras de %3 mantidas à parte").arg(ofe, heldBy, host);
}

QString droppedWhileUnwritableText(const DroppedCounts &dropped)
{
    return QStringLiteral("%1 descartados enquanto o histórico não podia ser gravado").arg(countsText(dropped));
}

QString badSensorsText(const QString &states)
{
    return QStringLiteral("LS sensores \"%1\"").arg(states);
}

QString badClockText(const QString &command, const QString &date, const QString &time)
{
    return QStringLiteral("%1 relógio %2 %3").arg(command, date, time);
}
