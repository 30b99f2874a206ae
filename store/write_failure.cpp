#include "store/write_failure.h"

#include <optional>

namespace {

using Kind = WriteFailure::Kind;

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
    // The server's own words; the driver's ("QPSQL: Unable to create query") tell the operator nothing.
    const QString said = error.databaseText().simplified();
    if (state == QLatin1String("53100"))
        return WriteFailure{Kind::ServerDiskFull, said, false};
    if (state == QLatin1String("25006"))
        return WriteFailure{Kind::ServerReadOnly, said, false};
    if (errorClass == u"28" || state == QLatin1String("42501"))
        return WriteFailure{Kind::NoPermission, said, false};
    if (errorClass == u"08" || errorClass == u"57")
        return WriteFailure{Kind::ServerUnreachable, said, false};
    // The data breaks a constraint or does not fit its column.
    if (errorClass == u"22" || errorClass == u"23")
        return WriteFailure{Kind::DataRejected, said, true};
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
        return {Kind::DiskFull, error.text(), false};
    case ReadOnly:
        return {Kind::FileReadOnly, error.text(), false};
    case Busy:
    case Locked:
        return {Kind::FileLocked, error.text(), false};
    case IoError:
        return {Kind::DiskIo, error.text(), false};
    case CantOpen:
        return {Kind::CantOpen, error.text(), false};
    case Corrupt:
    case NotADatabase:
        return {Kind::NotAHistory, error.text(), false};
    case Perm:
    case Auth:
        return {Kind::NoPermission, error.text(), false};
    case Error:
    case Constraint:
    case Mismatch:
    case Range:
        return {Kind::DataRejected, error.text(), true};
    default:
        return {Kind::Other, error.text(), false};
    }
}
