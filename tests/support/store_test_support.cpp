#include "store_test_support.h"

#include "protocol/bcc.h"
#include "session/reply_decoding.h"
#include "store/sql_dialect.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

QString postgresUrlFile()
{
    return qEnvironmentVariable("COMZELTA_POSTGRES_URL_FILE");
}

// The server's database, as the fixture wrote it down; nothing when it was not started.
std::optional<DatabaseLocation> serverDatabase()
{
    QFile file(postgresUrlFile());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const Result<DatabaseLocation, DatabaseUrlProblem> parsed = parseDatabaseUrl(QString::fromUtf8(file.readAll().trimmed()));
    return parsed ? std::optional<DatabaseLocation>(*parsed) : std::nullopt;
}

// A connection of the test's own to the location, under `name`, not yet open.
QSqlDatabase connectTo(const DatabaseLocation &location, const QString &name, bool readOnly)
{
    if (!location.isPostgres()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(sqliteDialect().driver, name);
        db.setDatabaseName(location.filePath);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(postgresDialect().driver, name);
    db.setHostName(location.host);
    if (location.port != -1)
        db.setPort(location.port);
    db.setUserName(location.userName);
    db.setDatabaseName(location.databaseName);
    return db;
}

} // namespace

bool runStatements(const DatabaseLocation &location, const QStringList &statements)
{
    const QString name = QStringLiteral("test-statements");
    bool ok = false;
    {
        QSqlDatabase db = connectTo(location, name, false);
        QSqlQuery query(db);
        ok = db.open();
        for (auto statement = statements.begin(); ok && statement != statements.end(); ++statement)
            ok = query.exec(*statement);
        if (!ok)
            qWarning("runStatements: %s %s", qPrintable(db.lastError().text()), qPrintable(query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool onPostgres()
{
    return !postgresUrlFile().isEmpty();
}

QString engineMissing()
{
    if (!onPostgres())
        return {};
    if (!QSqlDatabase::isDriverAvailable(postgresDialect().driver))
        return QStringLiteral("the QPSQL driver is not installed; scripts/install-deps installs libqt6sql6-psql");
    if (!serverDatabase())
        return QStringLiteral("no PostgreSQL test server (%1 is missing or unreadable: postgres_start was skipped)")
            .arg(postgresUrlFile());
    return {};
}

namespace {

// The test program's own database on the server, made on first use, so that programs run at
// the same time never empty each other's.
std::optional<DatabaseLocation> programDatabase()
{
    std::optional<DatabaseLocation> location = serverDatabase();
    if (!location)
        return std::nullopt;
    const QString name = QStringLiteral("comzelta_") + QCoreApplication::applicationName().toLower();
    const FileInspector server(*location);
    if (server.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = '%1'").arg(name)).toInt() == 0
        && !runStatements(*location, {QStringLiteral("CREATE DATABASE %1").arg(name)}))
        return std::nullopt;
    location->databaseName = name;
    return location;
}

} // namespace

TestHistory::TestHistory()
{
    if (onPostgres()) {
        const std::optional<DatabaseLocation> database = programDatabase();
        [&] {
            QVERIFY(database);
            location_ = *database;
            QVERIFY(runStatements(location_, {QStringLiteral("DROP SCHEMA public CASCADE"),
                                              QStringLiteral("CREATE SCHEMA public")}));
        }();
        return;
    }
    directory_ = std::make_unique<QTemporaryDir>();
    location_ = DatabaseLocation(HistoryStore::filePathIn(directory_->path() + QLatin1Char('/')));
}

TestHistory::~TestHistory() = default;

QByteArray MeasurementFrame::frame() const
{
    return replyFrame(code + tank + product + "0.0012" "0.74" "030000" + measured + complementary + volume20 + level
                          + time + date + mark,
                      goodCheckByte);
}

MeasurementReading MeasurementFrame::reading() const
{
    return decodeMeasurementReading(frame());
}

QByteArray replyFrame(const QByteArray &body, bool goodCheckByte)
{
    QByteArray bytes = '\x02' + body + '\x03';
    const int check = zelta::blockCheckCharacter(std::string_view(bytes.constData() + 1, std::size_t(bytes.size() - 1)));
    bytes += char(goodCheckByte ? check : check ^ 0x5A);
    return bytes;
}

bool waitForWritten(HistoryStore &store, quint64 sequence, int timeoutMs)
{
    bool done = false;
    const QMetaObject::Connection connection =
        QObject::connect(&store, &HistoryStore::written, [&](quint64 written) { done = done || written >= sequence; });
    const bool ok = QTest::qWaitFor([&] { return done; }, timeoutMs);
    QObject::disconnect(connection);
    return ok;
}

FileInspector::FileInspector(const DatabaseLocation &location)
    : name_(QStringLiteral("inspector-%1").arg(quintptr(this), 0, 16))
{
    QSqlDatabase db = connectTo(location, name_, true);
    if (!db.open())
        qWarning("FileInspector: %s", qPrintable(db.lastError().text()));
}

FileInspector::~FileInspector()
{
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
}

QVariant FileInspector::scalar(const QString &sql) const
{
    const QList<QVariantList> found = rows(sql);
    return found.isEmpty() || found.first().isEmpty() ? QVariant() : found.first().first();
}

QList<QVariantList> FileInspector::rows(const QString &sql) const
{
    QSqlQuery query(QSqlDatabase::database(name_, false));
    if (!query.exec(sql))
        qWarning("FileInspector: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    QList<QVariantList> found;
    while (query.next()) {
        QVariantList columns;
        for (int i = 0; i < query.record().count(); ++i)
            columns.append(query.value(i));
        found.append(columns);
    }
    return found;
}

namespace {

QString textOf(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDateTime:
        return sqliteDialect().timeValue(value.toDateTime()).toString();
    default:
        return value.toString();
    }
}

} // namespace

QStringList FileInspector::texts(const QString &sql) const
{
    QStringList lines;
    for (const QVariantList &row : rows(sql)) {
        QStringList columns;
        for (const QVariant &value : row)
            columns.append(textOf(value));
        lines.append(columns.join(QLatin1Char('|')));
    }
    return lines;
}
