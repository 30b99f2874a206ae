// Histories written by other versions: a first-version one is brought up to date with its
// readings intact; one of a newer version, or a file that is no history at all, is refused and
// left as it was (a file byte for byte). On SQLite and on PostgreSQL.
#include "store/history_reader.h"
#include "store/schema.h"
#include "store/sql_dialect.h"
#include "tests/support/store_test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QFileInfo>
#include <QtTest>

namespace {

// The schema as the first version shipped it, frozen here: the migrations may grow, this may not.
const char *const VersionOne[] = {
    "CREATE TABLE schema_version (version INTEGER PRIMARY KEY, applied_at TEXT NOT NULL)",
    "CREATE TABLE station (id INTEGER PRIMARY KEY, description TEXT NOT NULL, host TEXT NOT NULL, "
    "ofe TEXT UNIQUE, time_zone TEXT NOT NULL)",
    "CREATE TABLE measurement (id INTEGER PRIMARY KEY, station_id INTEGER NOT NULL REFERENCES station (id), "
    "tank INTEGER NOT NULL, product TEXT NOT NULL, unit TEXT NOT NULL CHECK (unit IN ('L', 'kg')), "
    "measured REAL, complementary REAL, volume20 REAL, density REAL, level_mm REAL, expansion REAL, capacity REAL, "
    "measured_at TEXT, received_at TEXT NOT NULL, command TEXT NOT NULL CHECK (command IN ('MT', 'LM', 'MA')), "
    "origin TEXT NOT NULL CHECK (origin IN ('console', 'cli', 'poll')), UNIQUE (station_id, tank, measured_at))",
    "CREATE TABLE inventory (id INTEGER PRIMARY KEY, station_id INTEGER NOT NULL REFERENCES station (id), "
    "taken_at TEXT NOT NULL, origin TEXT NOT NULL CHECK (origin IN ('console', 'cli', 'poll')))",
    "CREATE TABLE inventory_item (inventory_id INTEGER NOT NULL REFERENCES inventory (id), "
    "measurement_id INTEGER NOT NULL REFERENCES measurement (id), PRIMARY KEY (inventory_id, measurement_id)) "
    "WITHOUT ROWID",
    "CREATE TABLE sensor_reading (id INTEGER PRIMARY KEY, station_id INTEGER NOT NULL REFERENCES station (id), "
    "received_at TEXT NOT NULL, bar1_active INTEGER NOT NULL, bar2_active INTEGER NOT NULL, states TEXT NOT NULL)",
    "CREATE TABLE scheduled_measurement (station_id INTEGER NOT NULL REFERENCES station (id), tank INTEGER NOT NULL, "
    "volume REAL, measured_at TEXT, UNIQUE (station_id, tank, measured_at))",
    "CREATE TABLE event (id INTEGER PRIMARY KEY, station_id INTEGER REFERENCES station (id), at TEXT NOT NULL, "
    "kind TEXT NOT NULL, detail TEXT NOT NULL)",
};

// What a first-version history held, as either engine takes it.
const char *const VersionOneRows[] = {
    "INSERT INTO schema_version VALUES (1, '2024-01-10T12:00:00Z')",
    "INSERT INTO station VALUES (1, 'Posto Leste', '10.3.3.3', '002200', 'America/Sao_Paulo')",
    "INSERT INTO measurement VALUES (1, 1, 1, 'GASOLINA C', 'L', 12000, 18000, 11950, 0.74, 1200, 0.0012, 30000, "
    "'2024-01-10T13:00:00Z', '2024-01-10T13:00:02Z', 'MA', 'console')",
    "INSERT INTO measurement VALUES (2, 1, 2, 'DIESEL S10', 'kg', 8000.5, NULL, 7990, 0.84, NULL, 0.0008, 20000, "
    "NULL, '2024-01-10T13:00:03Z', 'MA', 'console')",
    "INSERT INTO inventory VALUES (1, 1, '2024-01-10T13:00:03Z', 'console')",
    "INSERT INTO inventory_item VALUES (1, 1), (1, 2)",
    "INSERT INTO event VALUES (1, 1, '2024-01-10T12:59:00Z', 'connection_opened', 'conectado')",
};

// A first-version history's tables. PostgreSQL's are those its first migration makes (released
// migrations are never edited); SQLite's are frozen above, in the journal mode given.
QStringList versionOneTables(const QString &journalMode)
{
    QStringList statements;
    if (onPostgres()) {
        for (const QString &statement : migrations().front().statements)
            statements.append(postgresDialect().ddl(statement));
    } else {
        statements.append(QStringLiteral("PRAGMA journal_mode=") + journalMode);
        for (const char *statement : VersionOne)
            statements.append(QString::fromUtf8(statement));
    }
    return statements;
}

// A first-version history with its rows.
QStringList versionOne(const QString &journalMode)
{
    QStringList statements = versionOneTables(journalMode);
    for (const char *statement : VersionOneRows)
        statements.append(QString::fromUtf8(statement));
    return statements;
}

// Everything a refused open could have changed: a file's bytes and the files beside it, or the
// server's tables and what the version table and the readings hold.
QStringList untouched(const DatabaseLocation &location)
{
    if (location.isPostgres()) {
        const FileInspector database(location);
        return database.texts(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                             "WHERE table_schema = 'public' ORDER BY table_name"))
            + database.texts(QStringLiteral("SELECT * FROM schema_version ORDER BY version"))
            + database.texts(QStringLiteral("SELECT * FROM measurement ORDER BY id"));
    }
    QFile file(location.filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QDir(QFileInfo(location.filePath).path()).entryList(QDir::Files)
        << QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
}

const QString EveryMeasurement = QStringLiteral("SELECT * FROM measurement ORDER BY id");

} // namespace

class TestStoreMigration : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void versionOneOpensCurrent_data()
    {
        QTest::addColumn<QString>("journalMode");
        if (onPostgres()) {
            QTest::newRow("on the server") << QString();
            return;
        }
        QTest::newRow("as the store left it (WAL)") << "WAL";
        QTest::newRow("copied back by a tool (rollback journal)") << "DELETE";
    }
    void versionOneOpensCurrent()
    {
        QFETCH(QString, journalMode);
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        QVERIFY(runStatements(path, versionOne(journalMode)));
        QStringList before;
        QStringList listedBefore;
        {
            const FileInspector file(path);
            before = file.texts(EveryMeasurement);
            listedBefore = file.texts(QStringLiteral("SELECT * FROM inventory_item"));
        }
        QCOMPARE(before.size(), 2);

        {
            HistoryStore store(path);
            QSignalSpy failing(&store, &HistoryStore::writesFailing);
            // Read again from the controller's memory: recognised as kept, in the station's zone.
            MeasurementFrame again;
            again.code = "LM";
            again.time = "100000";
            again.date = "100124";
            QVERIFY(waitForWritten(store, store.keepMeasurement({QStringLiteral("Posto Leste"), QStringLiteral("10.3.3.3"),
                                                                 QStringLiteral("002200"), {}},
                                                                again.reading(), Origin::Cli)));
            QVERIFY(failing.isEmpty());
        }
        const FileInspector file(path);
        QCOMPARE(file.scalar(QStringLiteral("SELECT MAX(version) FROM schema_version")).toInt(), currentSchemaVersion());
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM schema_version")).toInt(), currentSchemaVersion());
        // Every reference as wide as the key it names, the keys of the first version's rows kept.
        if (onPostgres()) {
            QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = "
                                                "current_schema() AND column_name LIKE '%_id' AND data_type <> 'bigint'"))
                         .toInt(),
                     0);
        }
        QCOMPARE(file.texts(EveryMeasurement), before);
        QCOMPARE(file.texts(QStringLiteral("SELECT * FROM inventory_item")), listedBefore);
        if (onPostgres()) {
            QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE indexname = 'event_by_time'")).toInt(),
                     1);
            return;
        }
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'event_by_time'")).toInt(),
                 1);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    void numberHeardBeforeTheUpgrade_data()
    {
        QTest::addColumn<int>("daysAgo");           // the station's last event; -1: none
        QTest::addColumn<QStringList>("stations");  // host|ofe|shared_ofe, by id
        QTest::newRow("heard 2 days ago: another controller")
            << 2 << QStringList{"10.3.3.3|002200|NULL", "10.3.3.4|NULL|002200"};
        QTest::newRow("heard 40 days ago: the controller moved") << 40 << QStringList{"10.3.3.4|002200|NULL"};
        QTest::newRow("never heard: the controller moved") << -1 << QStringList{"10.3.3.4|002200|NULL"};
    }
    // A first-version station's number is its host's for 30 days after the station's last event.
    void numberHeardBeforeTheUpgrade()
    {
        QFETCH(int, daysAgo);
        QFETCH(QStringList, stations);
        const TestHistory history;
        QStringList statements = versionOneTables(QStringLiteral("WAL"));
        statements << QStringLiteral("INSERT INTO schema_version VALUES (1, '2024-01-10T12:00:00Z')")
                   << QStringLiteral("INSERT INTO station (description, host, ofe, time_zone) "
                                     "VALUES ('Posto Leste', '10.3.3.3', '002200', 'UTC')");
        if (daysAgo >= 0) {
            statements << QStringLiteral("INSERT INTO event (station_id, at, kind, detail) "
                                         "VALUES (1, '%1', 'connection_opened', '10.3.3.3')")
                              .arg(QDateTime::currentDateTimeUtc().addDays(-daysAgo).toString(Qt::ISODate));
        }
        QVERIFY(runStatements(history.location(), statements));
        {
            HistoryStore store(history.location());
            QVERIFY(waitForWritten(store, store.keepMeasurement({QStringLiteral("Posto Norte"), QStringLiteral("10.3.3.4"),
                                                                 QStringLiteral("002200"), {}},
                                                                MeasurementFrame().reading(), Origin::Poll)));
        }
        const FileInspector file(history.location());
        QCOMPARE(file.texts(QStringLiteral("SELECT host, ofe, shared_ofe FROM station ORDER BY id")), stations);
    }

    void refusedAndUntouched_data()
    {
        QTest::addColumn<QStringList>("statements");  // empty: not a database at all
        QTest::addColumn<QString>("message");
        QStringList newer = versionOne(QStringLiteral("WAL"));
        newer.append(QStringLiteral("INSERT INTO schema_version VALUES (%1, '2031-01-01T00:00:00Z')")
                         .arg(currentSchemaVersion() + 1));
        newer.append(QStringLiteral("CREATE TABLE tank_alarm (id INTEGER PRIMARY KEY)"));
        QTest::newRow(onPostgres() ? "newer version" : "newer version, WAL") << newer << QStringLiteral("é da versão %1 do histórico, mais nova que a versão %2")
                                                            .arg(currentSchemaVersion() + 1)
                                                            .arg(currentSchemaVersion());
        if (onPostgres())
            return;
        QStringList newerRollback = newer;
        newerRollback.first() = QStringLiteral("PRAGMA journal_mode=DELETE");
        QTest::newRow("newer version, rollback journal") << newerRollback
                                                         << QStringLiteral("é da versão %1 do histórico")
                                                                .arg(currentSchemaVersion() + 1);
        QTest::newRow("not a database") << QStringList{} << QStringLiteral("o arquivo está danificado ou não é um histórico");
    }
    void refusedAndUntouched()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, message);
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        if (statements.isEmpty()) {
            QFile file(path.filePath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, 'x'));
        } else {
            QVERIFY(runStatements(path, statements));
        }
        const QStringList before = untouched(path);
        QVERIFY(!before.isEmpty());

        {
            HistoryStore store(path);
            QSignalSpy failing(&store, &HistoryStore::writesFailing);
            store.keepMeasurement({QStringLiteral("Posto Leste"), QStringLiteral("10.3.3.3"), {}, {}},
                                  MeasurementFrame().reading(), Origin::Console);
            QVERIFY(failing.wait(10000));
            const QString reason = failing.first().first().toString();
            QVERIFY2(reason.contains(message), qPrintable(reason));
            QVERIFY2(reason.contains(path.displayName()), qPrintable(reason));

            HistoryReader reader(path);
            QSignalSpy refused(&reader, &HistoryReader::queryFailed);
            const int request = reader.requestStations();
            QVERIFY(refused.wait(10000));
            QCOMPARE(refused.first().first().toInt(), request);
            QVERIFY2(refused.first().last().toString().contains(message), qPrintable(refused.first().last().toString()));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("não gravados ao fechar")));
        }
        QCOMPARE(untouched(path), before);
    }
};

QTEST_GUILESS_MAIN(TestStoreMigration)
#include "tst_store_migration.moc"
