#include "tests/support/cli_run.h"

#include "tests/support/simulators.h"
#include "tests/support/stations.h"
#include "tests/support/store_test_support.h"
#include "stations/station_file_writer.h"

#include <QDir>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

// Each controller of these tests has a loopback address of its own.
namespace address {
const QString Station = QStringLiteral("127.0.0.190");   // answers everything
const QString Disabled = QStringLiteral("127.0.0.191");  // tank 1 not enabled
const QString Unruly = QStringLiteral("127.0.0.192");    // control bytes in a product
const QString Echo = QStringLiteral("127.0.0.193");      // sends "CF" and "AR" back with a wrong check byte
} // namespace address

namespace {

const QString ListedName = QStringLiteral("Posto Norte");

} // namespace

class TestCliHistory : public QObject {
    Q_OBJECT

private:
    ProgramResult run(const QStringList &arguments, const QString &password = QStringLiteral("SENHA"))
    {
        return runCli(arguments, password, home_.path());
    }

    QTemporaryDir home_;  // without ComZelta in it until a run makes it
    QTemporaryDir places_;
    std::unique_ptr<ControllerSimulator> station_;
    std::unique_ptr<ControllerSimulator> disabled_;
    std::unique_ptr<ControllerSimulator> unruly_;
    std::unique_ptr<ControllerSimulator> echo_;

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_CLI)).isExecutable());
        station_ = startSimulator(gasolinaArlaStation(), address::Station);
        disabled_ = startSimulator(disabledTankStation(), address::Disabled);
        unruly_ = startSimulator(gasolinaArlaStation(), address::Unruly);
        echo_ = startSimulator(gasolinaArlaStation(), address::Echo);
        QVERIFY(station_ && disabled_ && unruly_ && echo_);
        unruly_->station().tanks[1].product = QString::fromUtf8("G\x1B]0;X\x07\0\nZ", 10);
        echo_->setReplyFault(ReplyFault::Echo, {"CF", "AR"});
        echo_->setWrongCheckByte(true);

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
        // An address on the command line names no station: the listed name stays.
        QTest::newRow("by address after the listed name")
            << address::Station << QStringList{"clock"} << ListedName << "SELECT count(*) FROM event "
               "WHERE kind = 'connection_opened'" << QStringList{"2"};
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
        StationTable list;
        list.entry(1) = {ListedName, address::Station, QStringLiteral("4001")};
        QVERIFY(saveStationFile(directory, list).ok());
        QStringList arguments{"--data-dir", directory};
        if (onPostgres())
            arguments << QStringLiteral("--database") << history.location().displayName();
        // A station kept under another name than the one dialled was dialled by that name first.
        if (description != station)
            QCOMPARE(run(arguments + QStringList{ListedName, "clock"}).exitCode, 0);

        const ProgramResult result = run(arguments + QStringList{station} + command);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        const FileInspector inspector(history.location());
        QCOMPARE(inspector.texts(QStringLiteral("SELECT description, host, ofe FROM station")),
                 QStringList{description + QStringLiteral("|127.0.0.190|004190")});
        QCOMPARE(inspector.texts(query), rows);
        QCOMPARE(QFile::exists(directory + HistoryStore::fileName()), !onPostgres());
    }

    // What the controller sent is kept with its control bytes as U+FFFD, and a password it sent
    // back is kept nowhere.
    void keptTexts_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("control bytes in a product")
            << address::Unruly << QStringList{"measure", "1"} << "SELECT product FROM measurement"
            << QStringList{QString::fromUtf8("G\uFFFD]0;X\uFFFD\uFFFD\uFFFDZ")};
        // A "CF" sent back is no configuration: kept as unusable, nothing of it as the OFE number.
        QTest::newRow("echoed CF with a bad check byte")
            << address::Echo << QStringList{"clock"}
            << "SELECT count(*) FROM event WHERE kind = 'unusable_reading'" << QStringList{"1"};
        QTest::newRow("echoed CF and AR: the password nowhere")
            << address::Echo << QStringList{"set-clock"}
            << "SELECT count(*) FROM event WHERE upper(detail) LIKE '%TOPSECRET42%'" << QStringList{"0"};
        QTest::newRow("echoed CF: no OFE number") << address::Echo << QStringList{"clock"}
                                                 << "SELECT count(*) FROM station WHERE ofe IS NOT NULL"
                                                 << QStringList{"0"};
    }
    void keptTexts()
    {
        QFETCH(QString, station);
        QFETCH(QStringList, command);
        QFETCH(QString, query);
        QFETCH(QStringList, rows);
        const TestHistory history;
        const QString directory = onPostgres() ? places_.path() : QFileInfo(history.location().filePath).path();
        QStringList arguments{"--data-dir", directory, "--timeout", "1"};
        if (onPostgres())
            arguments << QStringLiteral("--database") << history.location().displayName();
        const ProgramResult result = run(arguments + QStringList{station} + command, QStringLiteral("TopSecret42"));
        QVERIFY(result.exitCode >= 0);
        QCOMPARE(FileInspector(history.location()).texts(query), rows);
    }

    // Without --data-dir the history goes where the console keeps it, made as the console makes
    // it: no warning on every run.
    void defaultDataDirectoryIsMade()
    {
        if (onPostgres())
            QSKIP("the file's own place: run on SQLite only");
        QTemporaryDir home;
        const ProgramResult result = runCli({address::Station, "sensors"}, QStringLiteral("SENHA"), home.path());
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QVERIFY(QFileInfo::exists(home.filePath(QStringLiteral("ComZelta/")) + HistoryStore::fileName()));
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
        const ProgramResult reference = run(QStringList{"--data-dir", working.path(), station} + command);
        QCOMPARE(reference.exitCode, exitCode);

        const ProgramResult result = run(history + QStringList{station} + command);
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
