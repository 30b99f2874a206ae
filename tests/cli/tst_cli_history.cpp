#include "cli_run.h"

#include "../poll/poll_test_support.h"
#include "../store/store_test_support.h"
#include "config/station_file_writer.h"

#include <QDir>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

// Each controller of these tests has a loopback address of its own.
namespace address {
const QString Station = QStringLiteral("127.0.0.190");   // answers everything
const QString Disabled = QStringLiteral("127.0.0.191");  // tank 1 not enabled
} // namespace address

namespace {

const char *const StationText = R"(
[station]
ofe = 4190

[tank 1]
product = GASOLINA
capacity = 30000
measured = 18250
volume at 20 = 18130
density = 0.74
level = 1420
expansion = 0.0012
last measurement = 01/03/2024 06:00:00

[tank 2]
product = ARLA
capacity = 5000
measured = 2000
by weight = yes
density = 1.09
level = 800

[sensors]
count = 4
bar 1 = active
sensor 2 = short
sensor 4 = leak
)";

const char *const DisabledText = R"(
[station]
ofe = 4191

[tank 1]
product = DIESEL
enabled = no
)";

const QString ListedName = QStringLiteral("Posto Norte");

} // namespace

class TestCliHistory : public QObject {
    Q_OBJECT

private:
    CliRun run(const QStringList &arguments) { return runCli(arguments, QStringLiteral("SENHA"), home_.path()); }

    QTemporaryDir home_;  // without ComZelta in it: the console's default data directory is missing
    QTemporaryDir places_;
    std::unique_ptr<ControllerSimulator> station_;
    std::unique_ptr<ControllerSimulator> disabled_;

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_CLI)).isExecutable());
        station_ = startSimulator(QString::fromUtf8(StationText), address::Station);
        disabled_ = startSimulator(QString::fromUtf8(DisabledText), address::Disabled);
        QVERIFY(station_ && disabled_);

        // A history of a version this program does not know, and a directory with no server's socket.
        const QString newer = places_.filePath(QStringLiteral("mais-nova"));
        QVERIFY(QDir().mkpath(newer) && QDir().mkpath(places_.filePath(QStringLiteral("sem-servidor"))));
        QVERIFY(runStatements(DatabaseLocation(HistoryStore::filePathIn(newer + QLatin1Char('/'))),
                              {QStringLiteral("CREATE TABLE schema_version (version INTEGER PRIMARY KEY, "
                                              "applied_at TEXT NOT NULL)"),
                               QStringLiteral("INSERT INTO schema_version VALUES (99, '2030-01-01')")}));
    }

    // On SQLite in the data directory, on the tests' PostgreSQL server through --database.
    void keptReadings_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("description");  // of the station as kept
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("inventory of a listed station")
            << ListedName << QStringList{"inventory"} << ListedName
            << "SELECT m.tank, m.product, m.measured, m.volume20, m.unit, m.command, m.origin, i.origin "
               "FROM measurement m JOIN inventory_item n ON n.measurement_id = m.id "
               "JOIN inventory i ON i.id = n.inventory_id ORDER BY m.tank"
            << QStringList{"1|GASOLINA|18250|18130|L|MA|cli|cli", "2|ARLA|2000|2000|kg|MA|cli|cli"};
        QTest::newRow("measure 01 by address")
            << address::Station << QStringList{"measure", "01"} << address::Station
            << "SELECT tank, product, measured, complementary, volume20, density, level_mm, expansion, capacity, "
               "command, origin, measured_at IS NOT NULL FROM measurement"
            << QStringList{"1|GASOLINA|18250|11750|18130|0.74|1420|0.0012|30000|MT|cli|1"};
        QTest::newRow("sensors") << address::Station << QStringList{"sensors"} << address::Station
                                 << "SELECT bar1_active, bar2_active, states FROM sensor_reading"
                                 << QStringList{"1|0|NCNV"};
    }
    void keptReadings()
    {
        QFETCH(QString, station);
        QFETCH(QStringList, command);
        QFETCH(QString, description);
        QFETCH(QString, query);
        QFETCH(QStringList, rows);
        const TestHistory history;
        QTemporaryDir listOnly;
        const QString directory =
            (onPostgres() ? listOnly.path() : QFileInfo(history.location().filePath).path()) + QLatin1Char('/');
        TabelaLocais list;
        list.entry(1) = {ListedName, address::Station, QStringLiteral("4001")};
        QVERIFY(saveStationFile(directory, list));
        QStringList arguments{"--data-dir", directory};
        if (onPostgres())
            arguments << QStringLiteral("--database") << history.location().displayName();

        const CliRun result = run(arguments + QStringList{station} + command);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        const FileInspector inspector(history.location());
        QCOMPARE(inspector.texts(QStringLiteral("SELECT description, host, ofe FROM station")),
                 QStringList{description + QStringLiteral("|127.0.0.190|004190")});
        QCOMPARE(inspector.texts(query), rows);
        QCOMPARE(QFile::exists(directory + HistoryStore::fileName()), !onPostgres());
    }

    // A history that cannot be written changes neither the output nor the exit code, and is told
    // once; the run does not wait for the store's retries.
    void unwritableHistory_data()
    {
        QTest::addColumn<QStringList>("history");  // the options that place it
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("absent");  // a path the run must not create
        const QString missing = places_.filePath(QStringLiteral("sem-dados"));
        const QString newer = places_.filePath(QStringLiteral("mais-nova"));
        const QString noServer = places_.filePath(QStringLiteral("sem-servidor"));
        const QString unreachable = QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))
            ? QStringLiteral("não foi possível conectar ao banco")
            : QStringLiteral("o driver PostgreSQL do Qt não está instalado");
        QTest::newRow("default data directory missing")
            << QStringList{} << address::Station << QStringList{"sensors"} << 0
            << "a pasta do histórico não existe" << home_.filePath(QStringLiteral("ComZelta"));
        QTest::newRow("data directory missing")
            << QStringList{"--data-dir", missing} << address::Station << QStringList{"memory", "1"} << 0
            << "a pasta do histórico não existe" << missing;
        QTest::newRow("newer history, error reply")
            << QStringList{"--data-dir", newer} << address::Disabled << QStringList{"measure", "1"} << 1
            << "mais nova que a versão" << QString();
        QTest::newRow("server unreachable")
            << QStringList{"--data-dir", noServer, "--database",
                           "postgresql://comzelta@/historico?host=" + noServer}
            << address::Station << QStringList{"sensors"} << 0 << unreachable
            << noServer + QLatin1Char('/') + HistoryStore::fileName();
    }
    void unwritableHistory()
    {
        QFETCH(QStringList, history);
        QFETCH(QString, station);
        QFETCH(QStringList, command);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        QFETCH(QString, absent);
        if (onPostgres())
            QSKIP("the same on both engines: run on SQLite only");
        QTemporaryDir working;
        const CliRun reference = run(QStringList{"--data-dir", working.path(), station} + command);
        QCOMPARE(reference.exitCode, exitCode);

        const CliRun result = run(history + QStringList{station} + command);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out, reference.out);
        const QString warning = QString::fromUtf8(result.err.mid(reference.err.size()));
        QVERIFY2(result.err.startsWith(reference.err), result.err.constData());
        QVERIFY2(warning.startsWith(QStringLiteral("Histórico: ")), qPrintable(warning));
        QVERIFY2(warning.contains(QStringLiteral(" não gravados ao fechar: ")) && warning.contains(reason), qPrintable(warning));
        QCOMPARE(warning.count(QLatin1Char('\n')), 1);
        // Well short of the store's 2 s between attempts.
        QVERIFY2(result.elapsedMs < reference.elapsedMs + 1500, qPrintable(QString::number(result.elapsedMs)));
        if (!absent.isEmpty())
            QVERIFY(!QFileInfo::exists(absent));
    }
};

QTEST_GUILESS_MAIN(TestCliHistory)
#include "tst_cli_history.moc"
