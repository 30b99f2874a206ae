#include "store/history_file.h"

#include "store/schema.h"
#include "store/sql_dialect.h"
#include "store/store_texts.h"
#include "store/write_failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

namespace {

using Kind = HistoryOpenProblem::Kind;
using Opened = Result<void, HistoryOpenProblem>;

Failure<HistoryOpenProblem> unusable(const QSqlError &error, const QString &where = {})
{
    return failure(HistoryOpenProblem{Kind::Unusable, where, writeFailureText(writeFailure(error))});
}

// The schema version of an open history, or why it cannot be used: unreadable, or of a newer
// version than this program knows.
Result<int, HistoryOpenProblem> usableVersion(const QSqlDatabase &db, const DatabaseLocation &location)
{
    const Result<int, QSqlError> version = schemaVersion(db);
    if (!version)
        return unusable(version.error(), location.displayName());
    if (*version > currentSchemaVersion())
        return failure(HistoryOpenProblem{Kind::NewerVersion, location.displayName(), {}, *version, location.isPostgres()});
    return *version;
}

QString connectOptions(int busyTimeoutMs, const QString &more)
{
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (!more.isEmpty())
        options += QLatin1Char(';') + more;
    return options;
}

// Opens a connection to `name` (the file, or a URI naming it).
Opened addAndOpen(const QString &connectionName, const QString &name, const QString &options, const QString &filePath)
{
    if (!QSqlDatabase::isDriverAvailable(sqliteDialect().driver))
        return failure(HistoryOpenProblem{Kind::DriverMissing, {}, sqliteDialect().driver});
    QSqlDatabase db = QSqlDatabase::addDatabase(sqliteDialect().driver, connectionName);
    db.setDatabaseName(name);
    db.setConnectOptions(options);
    if (!db.open())
        return unusable(db.lastError(), filePath);
    return {};
}

// The version of an existing file is read without changing it or leaving files beside it.
// Without a write-ahead log there is nothing but the file to read, and an immutable open creates
// no log or index beside it; with one, the log has to be read too.
Opened checkExisting(const QString &connectionName, const QString &filePath, int busyTimeoutMs)
{
    const QString checkName = connectionName + QStringLiteral("-version");
    const bool logBeside = QFileInfo::exists(filePath + QStringLiteral("-wal"));
    const QString name = logBeside ? filePath
                                   : QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded)
                                         + QStringLiteral("?immutable=1");
    Opened checked = addAndOpen(
        checkName, name,
        connectOptions(busyTimeoutMs, logBeside ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                                : QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI")),
        filePath);
    if (checked) {
        const Result<int, HistoryOpenProblem> version =
            usableVersion(QSqlDatabase::database(checkName, false), DatabaseLocation(filePath));
        if (!version)
            checked = failure(version.error());
    }
    closeConnection(checkName);
    return checked;
}

// The history is the stations' business alone: a new file is its owner's only, and SQLite gives its
// -wal and -shm files the file's own permissions. An empty file is a database with nothing in it
// yet; another program creating it at the same moment leaves it to that one.
void createPrivately(const QString &filePath)
{
    QFile file(filePath);
    (void)file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A connection that failed to open fully is not left behind.
template <typename T>
Result<T, HistoryOpenProblem> closedOnFailure(const QString &connectionName, Result<T, HistoryOpenProblem> opened)
{
    if (!opened)
        closeConnection(connectionName);
    return opened;
}

// libpq passes on the server's own words, which give no error code for a failed connection:
// 'database "x" does not exist', or the same in the server's language.
bool namesMissingDatabase(const QString &said, const QString &databaseName)
{
    return said.contains(QLatin1Char('"') + databaseName + QLatin1Char('"'))
        && (said.contains(QLatin1String("does not exist")) || said.contains(QStringLiteral("não existe")));
}

// One statement whose failure is the reason, at `where` when given.
Opened run(QSqlQuery &query, const QString &statement, const QString &where = {})
{
    if (query.exec(statement))
        return {};
    return unusable(query.lastError(), where);
}

// The migrations the history lacks, unless it is of a newer version.
Opened bringUpToDate(QSqlDatabase &db, const DatabaseLocation &location)
{
    const Result<int, HistoryOpenProblem> version = usableVersion(db, location);
    if (!version)
        return failure(version.error());
    if (const Result<void, QSqlError> migrated = migrate(db, *version); !migrated)
        return unusable(migrated.error());
    return {};
}

Opened prepareForWriting(QSqlDatabase &db, const QString &filePath, const WriteConnectionSettings &settings)
{
    QSqlQuery query(db);
    if (Opened done = run(query, QStringLiteral("PRAGMA journal_mode=WAL"), filePath); !done)
        return done;
    if (Opened done = run(query, QStringLiteral("PRAGMA synchronous=FULL")); !done)
        return done;
    if (Opened done = run(query, QStringLiteral("PRAGMA foreign_keys=ON")); !done)
        return done;
    if (settings.maxPageCount > 0) {
        if (Opened done = run(query, QStringLiteral("PRAGMA max_page_count=%1").arg(settings.maxPageCount)); !done)
            return done;
    }
    // Checked again on this connection: another program may have migrated the file meanwhile.
    return bringUpToDate(db, DatabaseLocation(filePath));
}

Opened openPostgresForWriting(const QString &connectionName, const DatabaseLocation &location)
{
    if (Opened connected = openServerConnection(connectionName, location); !connected)
        return connected;
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    return bringUpToDate(db, location);
}

// Read-only on the server's side too; a database without the version table has no history yet.
Result<OpenedForReading, HistoryOpenProblem> openPostgresForReading(const QString &connectionName,
                                                                    const DatabaseLocation &location)
{
    if (Opened connected = openServerConnection(connectionName, location); !connected)
        return failure(connected.error());
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery query(db);
    const Opened readOnly =
        run(query, QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"), location.displayName());
    if (!readOnly)
        return failure(readOnly.error());
    const Result<int, HistoryOpenProblem> version = usableVersion(db, location);
    if (!version)
        return failure(version.error());
    if (*version == 0) {
        closeConnection(connectionName);
        return OpenedForReading{true};
    }
    return OpenedForReading{};
}

} // namespace

Result<void, HistoryOpenProblem> openServerConnection(const QString &connectionName, const DatabaseLocation &location)
{
    const QString driver = postgresDialect().driver;
    if (!QSqlDatabase::isDriverAvailable(driver))
        return failure(HistoryOpenProblem{Kind::DriverMissing, {}, driver});
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connectionName);
    db.setHostName(location.host);
    if (location.port != -1)
        db.setPort(location.port);
    db.setUserName(location.userName);
    db.setDatabaseName(location.databaseName);
    // An unreachable server is reported, and retried, rather than waited for without end.
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    // libpq's own words say why (no server there, a password refused) better than the driver's.
    if (!db.open()) {
        const QString said = db.lastError().databaseText().simplified();
        const Kind kind = namesMissingDatabase(said, location.databaseName) ? Kind::NoSuchDatabase : Kind::Unreachable;
        return failure(HistoryOpenProblem{kind, location.displayName(), said});
    }
    QSqlQuery query(db);
    return run(query, QStringLiteral("SET TIME ZONE 'UTC'"), location.displayName());
}

Result<void, HistoryOpenProblem> openForWriting(const QString &connectionName, const DatabaseLocation &location,
                                                const WriteConnectionSettings &settings)
{
    if (location.isPostgres())
        return closedOnFailure(connectionName, openPostgresForWriting(connectionName, location));
    const QString &filePath = location.filePath;
    const QFileInfo file(filePath);
    if (!file.dir().exists())
        return failure(HistoryOpenProblem{Kind::FolderMissing, file.absolutePath(), {}});
    if (file.exists()) {
        if (Opened checked = checkExisting(connectionName, filePath, settings.busyTimeoutMs); !checked)
            return checked;
    } else {
        createPrivately(filePath);
    }
    Opened opened = addAndOpen(connectionName, filePath, connectOptions(settings.busyTimeoutMs, settings.connectOptions),
                               filePath);
    if (opened) {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        opened = prepareForWriting(db, filePath, settings);
    }
    return closedOnFailure(connectionName, std::move(opened));
}

Result<OpenedForReading, HistoryOpenProblem> openForReading(const QString &connectionName,
                                                            const DatabaseLocation &location, int busyTimeoutMs)
{
    if (location.isPostgres())
        return closedOnFailure(connectionName, openPostgresForReading(connectionName, location));
    const QString &filePath = location.filePath;
    if (Opened checked = checkExisting(connectionName, filePath, busyTimeoutMs); !checked)
        return failure(checked.error());
    const Opened opened = closedOnFailure(
        connectionName,
        addAndOpen(connectionName, filePath, connectOptions(busyTimeoutMs, QStringLiteral("QSQLITE_OPEN_READONLY")),
                   filePath));
    if (!opened)
        return failure(opened.error());
    return OpenedForReading{};
}

void closeConnection(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    QSqlDatabase::database(connectionName, false).close();
    QSqlDatabase::removeDatabase(connectionName);
}
