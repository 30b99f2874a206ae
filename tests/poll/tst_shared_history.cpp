// Pollers sharing one PostgreSQL history, as the real program runs: two at once
// over disjoint and overlapping stations (nothing lost or doubled, no
// controller dialled by both), and one whose server refuses it for a while (the
// readings wait and are all written when it returns).
#include "tests/support/program_run.h"
#include "tests/support/simulators.h"
#include "tests/support/stations.h"

#include "store/schema.h"
#include "tests/support/store_test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

// Eight controllers on loopback addresses of their own, 127.0.0.140 to 147, and
// a ninth, 148, for the server that goes away.
constexpr int Stations = 8;
constexpr int OutageStation = Stations;

QString addressOf(int station)
{
    return QStringLiteral("127.0.0.%1").arg(140 + station);
}

constexpr int TanksPerStation = 2;  // of twoTankStation()

// A data directory of one poller: poll.ini and a fleet file of the given
// stations.
class PollerFiles {
public:
    explicit PollerFiles(const QList<int> &stations)
    {
        QByteArray fleet = "descrição;host\n";
        for (int station : stations)
            fleet += QStringLiteral("Posto %1;%2\n").arg(station).arg(addressOf(station)).toUtf8();
        write(QStringLiteral("frota.csv"), fleet);
        write(QStringLiteral("poll.ini"), "[geral]\nsenha = Zelta\n");
    }

    QStringList arguments(const DatabaseLocation &database) const
    {
        return {QStringLiteral("--data-dir"), directory_.path(),
                QStringLiteral("--stations"), directory_.filePath(QStringLiteral("frota.csv")),
                QStringLiteral("--database"), urlOf(database)};
    }

private:
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(directory_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    }

    static QString urlOf(const DatabaseLocation &database)
    {
        return QStringLiteral("postgresql://%1@/%2?host=%3")
            .arg(database.userName, database.databaseName, database.host);
    }

    QTemporaryDir directory_;
};

QList<int> stationRange(int first, int last)
{
    QList<int> stations;
    for (int station = first; station <= last; ++station)
        stations << station;
    return stations;
}

// The stations a round line names after a phrase, such as "em leitura por outro
// coletor (Posto 3, Posto 4)".
QStringList namedAfter(const QByteArray &output, const QString &phrase)
{
    const QString text = QString::fromUtf8(output);
    const qsizetype at = text.indexOf(phrase + QStringLiteral(" ("));
    if (at < 0)
        return {};
    const qsizetype open = at + phrase.size() + 2;
    return text.mid(open, text.indexOf(QLatin1Char(')'), open) - open).split(QStringLiteral(", "));
}

// Makes the server refuse (and drop) every connection to the history's
// database, or take them again.
bool allowConnections(const DatabaseLocation &history, bool allowed)
{
    DatabaseLocation server = history;
    server.databaseName = QStringLiteral("postgres");
    QStringList statements{QStringLiteral("ALTER DATABASE %1 WITH ALLOW_CONNECTIONS %2")
                               .arg(history.databaseName, allowed ? QStringLiteral("true") : QStringLiteral("false"))};
    if (!allowed)
        statements << QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                     "pg_stat_activity WHERE datname = '%1'")
                          .arg(history.databaseName);
    return runStatements(server, statements);
}

}  // namespace

class TestSharedHistory : public QObject {
    Q_OBJECT

private:
    std::vector<std::unique_ptr<ControllerSimulator>> simulators_;
    QList<DialogueRecorder *> dialogues_;

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        QVERIFY2(onPostgres(), "runs on the tests' PostgreSQL server only");
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_POLL)).isExecutable());
        for (int station = 0; station <= OutageStation; ++station) {
            simulators_.push_back(startSimulator(twoTankStation().arg(6100 + station), addressOf(station)));
            QVERIFY(simulators_.back());
            // A round of some seconds, so that the second poller comes while the
            // first still reads.
            if (station != OutageStation)
                simulators_.back()->setReplyDelay(150);
        }
    }

    void init()
    {
        // The last case's pollers have exited, but the server drops their claims as
        // their connections' processes end, a moment later.
        const TestHistory server;
        const FileInspector locks(server.location());
        QTRY_COMPARE_WITH_TIMEOUT(
            locks.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory'")).toInt(), 0,
            ServerWaitMs);
        dialogues_.clear();
        for (const auto &simulator : simulators_)
            dialogues_ << new DialogueRecorder(simulator.get());
    }

    void cleanup()
    {
        qDeleteAll(dialogues_);
        dialogues_.clear();
    }

    void twoPollersAtOnce_data()
    {
        QTest::addColumn<QList<int>>("first");
        QTest::addColumn<QList<int>>("second");
        QTest::addColumn<QList<int>>("shared");

        QTest::newRow("disjoint stations") << stationRange(0, 3) << stationRange(4, 7) << QList<int>{};
        QTest::newRow("overlapping stations") << stationRange(0, 5) << stationRange(2, 7) << stationRange(2, 5);
        QTest::newRow("the same stations") << stationRange(0, 7) << stationRange(0, 7) << stationRange(0, 7);
    }

    // Both start on a new, empty history: their migrations meet too.
    void twoPollersAtOnce()
    {
        QFETCH(QList<int>, first);
        QFETCH(QList<int>, second);
        QFETCH(QList<int>, shared);
        const TestHistory history;
        const PollerFiles firstFiles(first);
        const PollerFiles secondFiles(second);

        ProgramRun one(QStringLiteral(COMZELTA_POLL), firstFiles.arguments(history.location()));
        ProgramRun two(QStringLiteral(COMZELTA_POLL), secondFiles.arguments(history.location()));
        QCOMPARE(one.waitForExit(60000), 0);
        QCOMPARE(two.waitForExit(60000), 0);
        QVERIFY2(!one.err().contains("indisponível") && !two.err().contains("indisponível"),
                 (one.err() + two.err()).constData());

        // Every station dialled once, by one of them, whatever they shared.
        for (int station = 0; station < Stations; ++station) {
            const QString dialogue = dialogues_.at(station)->dialogue();
            QCOMPARE(dialogues_.at(station)->mostClients(), 1);
            QVERIFY2(!dialogue.contains(QStringLiteral(" | ")), qPrintable(addressOf(station) + ": " + dialogue));
            QVERIFY2(dialogue.startsWith(QStringLiteral("ID01")), qPrintable(addressOf(station) + ": " + dialogue));
        }
        QStringList leftToTheOther = namedAfter(one.out(), QStringLiteral("em leitura por outro coletor"))
                                     + namedAfter(two.out(), QStringLiteral("em leitura por outro coletor"));
        leftToTheOther.sort();
        QStringList expected;
        for (int station : shared)
            expected << QStringLiteral("Posto %1").arg(station);
        expected.sort();
        QCOMPARE(leftToTheOther, expected);

        const FileInspector inspector(history.location());
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM station")).toInt(), Stations);
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(),
                 Stations * TanksPerStation);
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(DISTINCT station_id) FROM inventory")).toInt(),
                 Stations);
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory")).toInt(), Stations);
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM schema_version")).toInt(),
                 currentSchemaVersion());
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'poll_failed'")).toInt(), 0);
    }

    // The history refuses every connection for a round: the round says so, its
    // readings wait, and they are written once the server takes connections
    // again.
    void serverAwayForARound()
    {
        const TestHistory history;
        const PollerFiles files({OutageStation});
        ProgramRun poller(QStringLiteral(COMZELTA_POLL),
                          files.arguments(history.location()) + QStringList{"--every", "0.05"});
        QVERIFY(poller.waitForText("Rodada 1:", 20000));
        QVERIFY(allowConnections(history.location(), false));
        const auto restore = qScopeGuard([&] { allowConnections(history.location(), true); });
        QVERIFY2(poller.waitForText("Rodada 2:", 20000), poller.err().constData());
        QVERIFY(allowConnections(history.location(), true));
        QVERIFY2(poller.waitForText("Histórico disponível de novo", 20000), poller.err().constData());
        QVERIFY(poller.waitForText("Rodada 3:", 20000));
        poller.process().terminate();
        QCOMPARE(poller.waitForExit(20000), 0);

        const QString out = QString::fromUtf8(poller.out());
        const QRegularExpression backlog(QStringLiteral("Rodada 2: 1 de 1 postos lidos; .*; histórico "
                                                        "indisponível, [1-9][\\d.]* gravaç(ão|ões) na fila"));
        QVERIFY2(out.contains(backlog), qPrintable(out));
        QVERIFY(poller.err().contains("Histórico indisponível: "));
        // Qt's own words never reach the operator: no statement is left to free on
        // a dead connection, and the driver's name and complaint stay out of the
        // reason.
        QVERIFY2(!poller.err().contains("Unable to") && !poller.err().contains("QPSQL"), poller.err().constData());
        const int rounds = int(out.count(QStringLiteral("Rodada ")));
        const FileInspector inspector(history.location());
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory")).toInt(), rounds);
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(),
                 rounds * TanksPerStation);
    }

    // A database that does not exist is a mistake in --database, not an outage:
    // no waiting.
    void missingDatabaseIsAConfigurationError()
    {
        const TestHistory history;
        DatabaseLocation missing = history.location();
        missing.databaseName = QStringLiteral("historico_que_nao_existe");
        const PollerFiles files({0});
        ProgramRun poller(QStringLiteral(COMZELTA_POLL), files.arguments(missing) + QStringList{"--once"});
        QCOMPARE(poller.waitForExit(20000), 2);
        const QString err = QString::fromUtf8(poller.err());
        QVERIFY2(err.startsWith(QStringLiteral("comzelta-poll: Histórico inutilizável: não "
                                               "foi possível conectar ao banco: "))
                     && err.contains(QStringLiteral("\"historico_que_nao_existe\"")),
                 qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("esperam na fila")), qPrintable(err));
    }

    void onceWaitsForTheServer_data()
    {
        QTest::addColumn<bool>("serverReturns");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("inventories");
        QTest::newRow("back within the wait") << true << 0 << 1;
        QTest::newRow("still away") << false << 1 << 0;
    }
    // One round with the server away at its end: the poller waits for it, then
    // writes or gives up.
    void onceWaitsForTheServer()
    {
        QFETCH(bool, serverReturns);
        QFETCH(int, exitCode);
        QFETCH(int, inventories);
        const TestHistory history;
        const PollerFiles files({OutageStation});
        QVERIFY(allowConnections(history.location(), false));
        const auto restore = qScopeGuard([&] { allowConnections(history.location(), true); });
        ProgramRun poller(QStringLiteral(COMZELTA_POLL),
                          files.arguments(history.location())
                              + QStringList{"--history-wait-ms", serverReturns ? "30000" : "1000"});
        QVERIFY2(poller.waitForText("esperando até", 20000), poller.err().constData());
        if (serverReturns)
            QVERIFY(allowConnections(history.location(), true));
        QCOMPARE(poller.waitForExit(40000), exitCode);
        QCOMPARE(poller.err().contains("não gravados ao fechar"), !serverReturns);
        QVERIFY2(!poller.err().contains("Unable to"), poller.err().constData());
        QVERIFY(allowConnections(history.location(), true));
        const FileInspector inspector(history.location());
        QCOMPARE(inspector.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory")).toInt(), inventories);
    }
};

QTEST_GUILESS_MAIN(TestSharedHistory)
#include "tst_shared_history.moc"
