#include "store/write_failure.h"

#include <optional>

namespace {

// SQLite's primary result codes, as the Qt driver reports them in nativeErrorCode().
enum SqliteCode {
    Error = 1,
    Perm = 3,
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Constraint = 19,
    Mismatch = 20,
    Auth = 23,
    Range = 25,
    NotADatabase = 26,
};

// PostgreSQL reports a five-character SQLSTATE, a length no SQLite code reaches; its first two
// characters are the class of the error.
std::optional<WriteFailure> postgresFailure(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    if (state.size() != 5)
        return std::nullopt;
    const QStringView errorClass = QStringView(state).left(2);
    if (state == QLatin1String("53100"))
        return WriteFailure{QStringLiteral("disco do servidor cheio"), false};
    if (state == QLatin1String("25006"))
        return WriteFailure{QStringLiteral("banco somente para leitura"), false};
    if (errorClass == u"28" || state == QLatin1String("42501"))
        return WriteFailure{QStringLiteral("sem permissão para gravar"), false};
    if (errorClass == u"08" || errorClass == u"57")
        return WriteFailure{QStringLiteral("servidor do banco inacessível: %1").arg(error.text()), false};
    // The data breaks a constraint or does not fit its column.
    if (errorClass == u"22" || errorClass == u"23")
        return WriteFailure{QStringLiteral("erro ao gravar: %1").arg(error.text()), true};
    return std::nullopt;
}

} // namespace

WriteFailure writeFailure(const QSqlError &error)
{
    if (std::optional<WriteFailure> failure = postgresFailure(error))
        return *failure;
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    switch (numeric ? code : 0) {
    case Full:
        return {QStringLiteral("disco cheio"), false};
    case ReadOnly:
        return {QStringLiteral("arquivo somente para leitura"), false};
    case Busy:
    case Locked:
        return {QStringLiteral("arquivo bloqueado por outro programa"), false};
    case IoError:
        return {QStringLiteral("erro de leitura ou gravação no disco"), false};
    case CantOpen:
        return {QStringLiteral("não foi possível abrir o arquivo"), false};
    case Corrupt:
    case NotADatabase:
        return {QStringLiteral("o arquivo está danificado ou não é um histórico"), false};
    case Perm:
    case Auth:
        return {QStringLiteral("sem permissão para gravar"), false};
    case Error:
    case Constraint:
    case Mismatch:
    case Range:
        return {QStringLiteral("erro ao gravar: %1").arg(error.text()), true};
    default:
        return {error.text().isEmpty() ? QStringLiteral("erro desconhecido") : error.text(), false};
    }
}
