#include "store/history_file.h"

#include "store/schema.h"
#include "store/sql_dialect.h"
#include "store/write_failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

namespace {

QString missingDriverMessage(const QString &driver)
{
    return driver == postgresDialect().driver
        ? QStringLiteral("o driver PostgreSQL do Qt não está instalado (pacote libqt6sql6-psql)")
        : QStringLiteral("o driver SQLite do Qt não está instalado (pacote libqt6sql6-sqlite)");
}

QString withFile(const QString &reason, const QString &filePath)
{
    return QStringLiteral("%1 (%2)").arg(reason, QDir::toNativeSeparators(filePath));
}

// The schema version of an open history, or why it cannot be used: unreadable, or of a newer
// version than this program knows.
std::optional<int> usableVersion(const QSqlDatabase &db, const DatabaseLocation &location, QString *refusal)
{
    QSqlError error;
    const std::optional<int> version = schemaVersion(db, &error);
    if (!version) {
        *refusal = withFile(writeFailure(error).reason, location.displayName());
        return std::nullopt;
    }
    if (*version > currentSchemaVersion()) {
        *refusal = newerVersionMessage(location, *version);
        return std::nullopt;
    }
    return version;
}

QString connectOptions(int busyTimeoutMs, const QString &more)
{
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (!more.isEmpty())
        options += QLatin1Char(';') + more;
    return options;
}

// Opens a connection to `name` (the file, or a URI naming it); the reason when it cannot.
std::optional<QString> addAndOpen(const QString &connectionName, const QString &name, const QString &options,
                                  const QString &filePath)
{
    if (!QSqlDatabase::isDriverAvailable(sqliteDialect().driver))
        return missingDriverMessage(sqliteDialect().driver);
    QSqlDatabase db = QSqlDatabase::addDatabase(sqliteDialect().driver, connectionName);
    db.setDatabaseName(name);
    db.setConnectOptions(options);
    if (!db.open())
        return withFile(writeFailure(db.lastError()).reason, filePath);
    return std::nullopt;
}

// The version of an existing file, read without changing it or leaving files beside it; the
// reason when it is refused. Without a write-ahead log there is nothing but the file to read,
// and an immutable open creates no log or index beside it; with one, the log has to be read too.
std::optional<QString> refusalOfExisting(const QString &connectionName, const QString &filePath, int busyTimeoutMs)
{
    const QString checkName = connectionName + QStringLiteral("-version");
    const bool logBeside = QFileInfo::exists(filePath + QStringLiteral("-wal"));
    const QString name = logBeside ? filePath
                                   : QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded)
                                         + QStringLiteral("?immutable=1");
    std::optional<QString> refusal = addAndOpen(
        checkName, name,
        connectOptions(busyTimeoutMs, logBeside ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                                : QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI")),
        filePath);
    if (!refusal) {
        QString reason;
        if (!usableVersion(QSqlDatabase::database(checkName, false), DatabaseLocation(filePath), &reason))
            refusal = reason;
    }
    closeConnection(checkName);
    return refusal;
}

// A connection that failed to open fully is not left behind.
std::optional<QString> closedOnFailure(const QString &connectionName, std::optional<QString> failure)
{
    if (failure)
        closeConnection(connectionName);
    return failure;
}

// One statement whose failure is the operator's reason.
bool run(QSqlQuery &query, const QString &statement, QString *reason)
{
    if (query.exec(statement))
        return true;
    *reason = writeFailure(query.lastError()).reason;
    return false;
}

// The migrations the history lacks, unless it is of a newer version.
std::optional<QString> bringUpToDate(QSqlDatabase &db, const DatabaseLocation &location)
{
    QString refusal;
    const std::optional<int> version = usableVersion(db, location, &refusal);
    if (!version)
        return refusal;
    QSqlError error;
    if (!migrate(db, *version, &error))
        return writeFailure(error).reason;
    return std::nullopt;
}

std::optional<QString> prepareForWriting(QSqlDatabase &db, const QString &filePath, const WriteConnectionSettings &settings)
{
    QSqlQuery query(db);
    QString reason;
    if (!run(query, QStringLiteral("PRAGMA journal_mode=WAL"), &reason))
        return withFile(reason, filePath);
    if (!run(query, QStringLiteral("PRAGMA synchronous=FULL"), &reason)
        || !run(query, QStringLiteral("PRAGMA foreign_keys=ON"), &reason))
        return reason;
    if (settings.maxPageCount > 0
        && !run(query, QStringLiteral("PRAGMA max_page_count=%1").arg(settings.maxPageCount), &reason))
        return reason;
    // Checked again on this connection: another program may have migrated the file meanwhile.
    return bringUpToDate(db, DatabaseLocation(filePath));
}

std::optional<QString> openPostgresForWriting(const QString &connectionName, const DatabaseLocation &location)
{
    std::optional<QString> failure = openServerConnection(connectionName, location);
    if (!failure) {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        failure = bringUpToDate(db, location);
    }
    return failure;
}

// Read-only on the server's side too; a database without the version table has no history yet.
std::optional<QString> openPostgresForReading(const QString &connectionName, const DatabaseLocation &location,
                                              bool *empty)
{
    if (std::optional<QString> failure = openServerConnection(connectionName, location))
        return failure;
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery query(db);
    QString reason;
    if (!run(query, QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"), &reason))
        return withFile(reason, location.displayName());
    QString refusal;
    const std::optional<int> version = usableVersion(db, location, &refusal);
    if (!version)
        return refusal;
    if (*version == 0 && empty) {
        *empty = true;
        closeConnection(connectionName);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> openServerConnection(const QString &connectionName, const DatabaseLocation &location)
{
    const QString driver = postgresDialect().driver;
    if (!QSqlDatabase::isDriverAvailable(driver))
        return missingDriverMessage(driver);
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connectionName);
    db.setHostName(location.host);
    if (location.port != -1)
        db.setPort(location.port);
    db.setUserName(location.userName);
    db.setDatabaseName(location.databaseName);
    // An unreachable server is reported, and retried, rather than waited for without end.
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    // libpq's own words say why (no server there, a password refused) better than the driver's.
    if (!db.open())
        return withFile(QStringLiteral("não foi possível conectar ao banco: %1")
                            .arg(db.lastError().databaseText().simplified()),
                        location.displayName());
    QSqlQuery query(db);
    QString reason;
    if (!run(query, QStringLiteral("SET TIME ZONE 'UTC'"), &reason))
        return withFile(reason, location.displayName());
    return std::nullopt;
}

std::optional<QString> openForWriting(const QString &connectionName, const DatabaseLocation &location,
                                      const WriteConnectionSettings &settings)
{
    if (location.isPostgres())
        return closedOnFailure(connectionName, openPostgresForWriting(connectionName, location));
    const QString &filePath = location.filePath;
    const QFileInfo file(filePath);
    if (!file.dir().exists())
        return QStringLiteral("a pasta do histórico não existe (%1)").arg(QDir::toNativeSeparators(file.absolutePath()));
    if (file.exists()) {
        if (std::optional<QString> refusal = refusalOfExisting(connectionName, filePath, settings.busyTimeoutMs))
            return refusal;
    }
    std::optional<QString> failure = addAndOpen(connectionName, filePath,
                                                connectOptions(settings.busyTimeoutMs, settings.connectOptions), filePath);
    if (!failure) {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        failure = prepareForWriting(db, filePath, settings);
    }
    if (failure)
        closeConnection(connectionName);
    return failure;
}

std::optional<QString> openForReading(const QString &connectionName, const DatabaseLocation &location,
                                      int busyTimeoutMs, bool *empty)
{
    if (empty)
        *empty = false;
    if (location.isPostgres())
        return closedOnFailure(connectionName, openPostgresForReading(connectionName, location, empty));
    const QString &filePath = location.filePath;
    if (std::optional<QString> refusal = refusalOfExisting(connectionName, filePath, busyTimeoutMs))
        return refusal;
    std::optional<QString> failure = addAndOpen(
        connectionName, filePath, connectOptions(busyTimeoutMs, QStringLiteral("QSQLITE_OPEN_READONLY")), filePath);
    if (failure)
        closeConnection(connectionName);
    return failure;
}

void closeConnection(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    QSqlDatabase::database(connectionName, false).close();
    QSqlDatabase::removeDatabase(connectionName);
}
