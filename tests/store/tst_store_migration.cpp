// Files written by other versions: a first-version file is brought up to date with its readings
// intact; a file of a newer version, or one that is no history at all, is refused and left as
// it was, byte for byte.
#include "store/history_reader.h"
#include "store/schema.h"
#include "store_test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
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

void runAll(const QString &filePath, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("builder"));
        db.setDatabaseName(filePath);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement + QStringLiteral(": ") + query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("builder"));
}

QStringList versionOne(const QString &journalMode)
{
    QStringList statements{QStringLiteral("PRAGMA journal_mode=") + journalMode};
    for (const char *statement : VersionOne)
        statements.append(QString::fromUtf8(statement));
    return statements;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

const QString EveryMeasurement = QStringLiteral("SELECT * FROM measurement ORDER BY id");

} // namespace

class TestStoreMigration : public QObject {
    Q_OBJECT

private slots:
    void versionOneOpensCurrent_data()
    {
        QTest::addColumn<QString>("journalMode");
        QTest::newRow("as the store left it (WAL)") << "WAL";
        QTest::newRow("copied back by a tool (rollback journal)") << "DELETE";
    }
    void versionOneOpensCurrent()
    {
        QFETCH(QString, journalMode);
        QTemporaryDir directory;
        const QString path = HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
        runAll(path, versionOne(journalMode));
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
        QCOMPARE(file.texts(EveryMeasurement), before);
        QCOMPARE(file.texts(QStringLiteral("SELECT * FROM inventory_item")), listedBefore);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'event_by_time'")).toInt(),
                 1);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    void refusedAndUntouched_data()
    {
        QTest::addColumn<QStringList>("statements");  // empty: not a database at all
        QTest::addColumn<QString>("message");
        QStringList newer = versionOne(QStringLiteral("WAL"));
        newer.append(QStringLiteral("INSERT INTO schema_version VALUES (%1, '2031-01-01T00:00:00Z')")
                         .arg(currentSchemaVersion() + 1));
        newer.append(QStringLiteral("CREATE TABLE tank_alarm (id INTEGER PRIMARY KEY)"));
        QTest::newRow("newer version, WAL") << newer << QStringLiteral("é da versão %1 do histórico, mais nova que a versão %2")
                                                            .arg(currentSchemaVersion() + 1)
                                                            .arg(currentSchemaVersion());
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
        QTemporaryDir directory;
        const QString path = HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
        if (statements.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, 'x'));
        } else {
            runAll(path, statements);
        }
        const QByteArray hash = fileHash(path);
        const QStringList files = QDir(directory.path()).entryList(QDir::Files);

        {
            HistoryStore store(path);
            QSignalSpy failing(&store, &HistoryStore::writesFailing);
            store.keepMeasurement({QStringLiteral("Posto Leste"), QStringLiteral("10.3.3.3"), {}, {}},
                                  MeasurementFrame().reading(), Origin::Console);
            QVERIFY(failing.wait(10000));
            const QString reason = failing.first().first().toString();
            QVERIFY2(reason.contains(message), qPrintable(reason));
            QVERIFY2(reason.contains(QDir::toNativeSeparators(path)), qPrintable(reason));

            HistoryReader reader(path);
            QSignalSpy refused(&reader, &HistoryReader::queryFailed);
            const int request = reader.requestStations();
            QVERIFY(refused.wait(10000));
            QCOMPARE(refused.first().first().toInt(), request);
            QVERIFY2(refused.first().last().toString().contains(message), qPrintable(refused.first().last().toString()));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("não gravados ao fechar")));
        }
        QCOMPARE(fileHash(path), hash);
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files), files);
    }
};

QTEST_GUILESS_MAIN(TestStoreMigration)
#include "tst_store_migration.moc"
