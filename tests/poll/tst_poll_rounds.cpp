#include "tests/support/simulators.h"
#include "tests/support/stations.h"

#include "poll/poll_scheduler.h"
#include "poll/station_poll.h"
#include "session/controller_session.h"
#include "store/history_store.h"
#include "store/store_drain.h"
#include "tests/support/store_test_support.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

// Each controller of these tests has a loopback address of its own.
namespace address {
const QString Full = QStringLiteral("127.0.0.160");               // answers everything, wants its password
const QString Refusing = QStringLiteral("127.0.0.161");           // nobody listens
const QString Silent = QStringLiteral("127.0.0.162");             // accepts and never says a word
const QString ClosesOnInventory = QStringLiteral("127.0.0.163");  // hangs up on receiving "MA"
const QString ClosesEveryFourth = QStringLiteral("127.0.0.164");  // hangs up on each connection's fourth frame
const QString ErrorReplies = QStringLiteral("127.0.0.165");       // a disabled tank, an off-line probe
const QString NotA01 = QStringLiteral("127.0.0.166");
const QString WrongPassword = QStringLiteral("127.0.0.167");
const QString MidSeries = QStringLiteral("127.0.0.168");  // the test pulls the plug after the first tank
// Both keep Kathmandu's time; only the first is polled as being there.
const QString InItsZone = QStringLiteral("127.0.0.169");
const QString ZoneUnknown = QStringLiteral("127.0.0.176");
const QString Parallel[] = {QStringLiteral("127.0.0.170"), QStringLiteral("127.0.0.171"), QStringLiteral("127.0.0.172"),
                            QStringLiteral("127.0.0.173")};
const QString Busy = QStringLiteral("127.0.0.174");
const QString Stopped = QStringLiteral("127.0.0.175");
// A closing-hour round of the first two while the first is still busy; the third is not due.
const QString ClosingBusy = QStringLiteral("127.0.0.177");
const QString ClosingDue = QStringLiteral("127.0.0.178");
const QString ClosingNotDue = QStringLiteral("127.0.0.179");
}  // namespace address

namespace {

// The history tells controllers apart by their OFE number: each simulator has
// its own.
const QString ThreeTanks = twoTankStation()
                           + QStringLiteral("\n[tank 3]\nproduct = ETANOL\ncapacity = 5000\nmeasured = "
                                            "2000\n\n[sensors]\ncount = 6\nsensor 4 = leak\n");

const PollTiming Timing{500, 300, 2, 200};
// A zone without summer time, five hours and three quarters from UTC: never the
// PC's own.
const QTimeZone Kathmandu("Asia/Kathmandu");

// What became of one station in the mixed round.
struct Observed {
    std::optional<bool> succeeded;
    QString detail;
    QList<qint64> retryNotesMs;  // since the round began
    qint64 finishedMs = 0;
};

}  // namespace

class TestPollRounds : public QObject {
    Q_OBJECT

private:
    StationPoll *addPoll(const QString &description, const QString &host, const QByteArray &password,
                         const QString &zone = QString())
    {
        auto *poll = new StationPoll(PolledStation{description, {host, 4001}, zone, {}}, password, Timing, store_.get(),
                                     this);
        connect(poll, &StationPoll::finished, this, [this, description](bool succeeded, const QString &detail) {
            observed_[description].succeeded = succeeded;
            observed_[description].detail = detail;
            observed_[description].finishedMs = roundClock_.elapsed();
        });
        connect(poll, &StationPoll::retrying, this,
                [this, description] { observed_[description].retryNotesMs << roundClock_.elapsed(); });
        return poll;
    }

    ControllerSimulator *simulator(const QString &text, const QString &at)
    {
        // The address's last number is the OFE number.
        simulators_.push_back(startSimulator(text.arg(at.section(QLatin1Char('.'), 3)), at));
        ControllerSimulator *started = simulators_.back().get();
        if (started)
            recorders_[at] = new DialogueRecorder(started);
        return started;
    }

    // Until every write so far is committed.
    bool drained(const QList<StationPoll *> &polls)
    {
        quint64 last = 0;
        for (const StationPoll *poll : polls)
            last = std::max(last, poll->lastWrite());
        QSignalSpy done(drain_, &StoreDrain::drained);
        drain_->waitFor(last);
        return done.wait(10000);
    }

    QTemporaryDir directory_;
    std::unique_ptr<HistoryStore> store_;
    StoreDrain *drain_ = nullptr;
    std::vector<std::unique_ptr<ControllerSimulator>> simulators_;
    std::map<QString, DialogueRecorder *> recorders_;  // by address
    QTcpServer silent_;
    int silentConnections_ = 0;
    std::map<QString, Observed> observed_;  // by description
    QElapsedTimer roundClock_;
    std::optional<RoundSummary> mixedRound_;
    int zoneMinutesAhead_ = 0;

private slots:
    // One round over stations that fail in every way and some that answer, all at
    // once: each test below looks at one side of it.
    void initTestCase()
    {
        QVERIFY(directory_.isValid());
        store_ = std::make_unique<HistoryStore>(HistoryStore::filePathIn(directory_.path() + QLatin1Char('/')));
        drain_ = new StoreDrain(store_.get(), this);

        QVERIFY(simulator(ThreeTanks, address::Full));
        QVERIFY(simulator(ThreeTanks, address::ClosesOnInventory));
        QVERIFY(simulator(ThreeTanks, address::ClosesEveryFourth));
        QVERIFY(simulator(errorRepliesStation(), address::ErrorReplies));
        QVERIFY(simulator("[station]\naddress = B07\nofe = %1\n", address::NotA01));
        QVERIFY(simulator(ThreeTanks, address::WrongPassword));
        ControllerSimulator *midSeries = simulator(ThreeTanks, address::MidSeries);
        QVERIFY(midSeries);
        simulators_[1]->setCloseAfterFrames(3);
        simulators_[2]->setCloseAfterFrames(4);
        connect(midSeries, &ControllerSimulator::replySent, this,
                [midSeries](const QString &, const QByteArray &frame) {
                    if (frame.mid(1, 5) == "MA001")
                        QTimer::singleShot(0, midSeries, &ControllerSimulator::close);
                });
        // The simulated clock runs on the PC's local time, moved by whole minutes.
        const QDateTime now = QDateTime::currentDateTime();
        const int minutesAhead = (Kathmandu.offsetFromUtc(now) - now.offsetFromUtc()) / 60;
        const QByteArray zoned = "[station]\nofe = %1\nclock offset = " + QByteArray::number(minutesAhead)
                                 + "\n[tank 1]\nproduct = GASOLINA\ncapacity = 10000\nmeasured = 5000\n";
        QVERIFY(simulator(zoned.constData(), address::InItsZone));
        QVERIFY(simulator(zoned.constData(), address::ZoneUnknown));
        zoneMinutesAhead_ = minutesAhead;
        QVERIFY(silent_.listen(QHostAddress(address::Silent), 4001));
        connect(&silent_, &QTcpServer::newConnection, this, [this] {
            while (silent_.hasPendingConnections()) {
                silent_.nextPendingConnection();
                ++silentConnections_;
            }
        });

        const QList<StationPoll *> polls{
            addPoll(QStringLiteral("full"), address::Full, "Zelta"),
            addPoll(QStringLiteral("refusing"), address::Refusing, "Zelta"),
            addPoll(QStringLiteral("silent"), address::Silent, "Zelta"),
            addPoll(QStringLiteral("closes on inventory"), address::ClosesOnInventory, "Zelta"),
            addPoll(QStringLiteral("closes every fourth frame"), address::ClosesEveryFourth, "Zelta"),
            addPoll(QStringLiteral("error replies"), address::ErrorReplies, "any"),
            addPoll(QStringLiteral("not A01"), address::NotA01, "any"),
            addPoll(QStringLiteral("wrong password"), address::WrongPassword, "Zorro"),
            addPoll(QStringLiteral("closed mid-series"), address::MidSeries, "Zelta"),
            addPoll(QStringLiteral("in its zone"), address::InItsZone, "any", QString::fromUtf8(Kathmandu.id())),
            addPoll(QStringLiteral("zone unknown"), address::ZoneUnknown, "any"),
        };
        PollScheduler scheduler(polls, 0);
        connect(&scheduler, &PollScheduler::roundFinished, this, [this](const RoundSummary &s) { mixedRound_ = s; });
        roundClock_.start();
        scheduler.runRound();
        QVERIFY(QTest::qWaitFor([this] { return mixedRound_.has_value(); }, 20000));
        QVERIFY(drained(polls));
    }

    void outcome_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("retries");
        QTest::newRow("full") << "full" << true << "3 tanques lidos, relógio" << 0;
        QTest::newRow("refusing") << "refusing" << false << "conexão com 127.0.0.161:4001 falhou (" << 2;
        QTest::newRow("silent") << "silent" << false << "identificação (ID01): sem resposta em 0.3 s (3 tentativas)"
                                << 2;
        QTest::newRow("closes on inventory")
            << "closes on inventory" << false << "inventário (MA): a conexão foi perdida (" << 2;
        QTest::newRow("closes every fourth frame") << "closes every fourth frame" << true << "3 tanques lidos" << 2;
        QTest::newRow("error replies") << "error replies" << true << "1 tanque lido, 2 respostas de erro" << 0;
        QTest::newRow("not A01, not retried")
            << "not A01" << false << "o controlador tem o endereço \"B07\", não A01" << 0;
        QTest::newRow("wrong password") << "wrong password" << false << "a senha está certa?" << 2;
        // The last attempt's failure is the one recorded.
        QTest::newRow("closed mid-series") << "closed mid-series" << false
                                           << "conexão com 127.0.0.168:4001 falhou "
                                              "(conexão recusada) (3 tentativas)"
                                           << 2;
    }
    void outcome()
    {
        QFETCH(QString, station);
        QFETCH(bool, succeeded);
        QFETCH(QString, detail);
        QFETCH(int, retries);
        const Observed &seen = observed_[station];
        QCOMPARE(seen.succeeded, std::optional<bool>(succeeded));
        QVERIFY2(seen.detail.contains(detail), qPrintable(seen.detail));
        QCOMPARE(seen.retryNotesMs.size(), retries);
    }

    // The controller's clock is read in the station's zone and compared with the
    // PC's.
    void clockComparedInTheStationsZone_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<bool>("inItsZone");
        QTest::newRow("zone given") << "in its zone" << true;
        QTest::newRow("the PC's zone") << "zone unknown" << false;
    }
    void clockComparedInTheStationsZone()
    {
        QFETCH(QString, station);
        QFETCH(bool, inItsZone);
        const QRegularExpression clock(QStringLiteral("relógio (certo|(\\d+) s (adiantado|atrasado))"));
        const QRegularExpressionMatch found = clock.match(observed_[station].detail);
        QVERIFY2(found.hasMatch(), qPrintable(observed_[station].detail));
        const int seconds = found.captured(1) == QLatin1String("certo")       ? 0
                            : found.captured(3) == QLatin1String("adiantado") ? found.captured(2).toInt()
                                                                              : -found.captured(2).toInt();
        const int expected = inItsZone ? 0 : zoneMinutesAhead_ * 60;
        QVERIFY2(std::abs(seconds - expected) <= 2, qPrintable(observed_[station].detail));
    }

    void roundSummary()
    {
        QCOMPARE(mixedRound_->stations, 11);
        QCOMPARE(mixedRound_->read, 5);
        QStringList failed = mixedRound_->failed;
        failed.sort();
        QCOMPARE(failed, (QStringList{"closed mid-series", "closes on inventory", "not A01", "refusing", "silent",
                                      "wrong password"}));
        QVERIFY(!mixedRound_->interrupted);
    }

    // Each retry waits twice as long as the one before.
    void backoffDoubles()
    {
        // A refused connection fails at once: the time between failures is the
        // wait.
        const Observed &refusing = observed_["refusing"];
        QCOMPARE(refusing.retryNotesMs.size(), 2);
        const qint64 firstWait = refusing.retryNotesMs.at(1) - refusing.retryNotesMs.at(0);
        const qint64 secondWait = refusing.finishedMs - refusing.retryNotesMs.at(1);
        QVERIFY2(firstWait >= Timing.backoffMs, qPrintable(QString::number(firstWait)));
        QVERIFY2(secondWait >= 2 * Timing.backoffMs, qPrintable(QString::number(secondWait)));
        QVERIFY2(secondWait < 2 * firstWait + Timing.backoffMs / 2, qPrintable(QString::number(secondWait)));
    }

    void dialogue_data()
    {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("dialogue");
        QTest::newRow("full") << address::Full << "ID01 CFZELTA MA LS LR ID02";
        QTest::newRow("closes on inventory")
            << address::ClosesOnInventory << "ID01 CFZELTA MA | ID01 CFZELTA MA | ID01 CFZELTA MA";
        // A retry goes on from the step that failed.
        QTest::newRow("closes every fourth frame")
            << address::ClosesEveryFourth << "ID01 CFZELTA MA LS | ID01 CFZELTA LS LR | ID01 CFZELTA LR ID02";
        QTest::newRow("error replies") << address::ErrorReplies << "ID01 CFANY MA LS LR ID02";
        QTest::newRow("not A01: no CF, then closed") << address::NotA01 << "ID01 ID02";
        QTest::newRow("wrong password") << address::WrongPassword
                                        << "ID01 CFZORRO ID02 | ID01 CFZORRO ID02 | ID01 CFZORRO ID02";
        QTest::newRow("closed mid-series") << address::MidSeries << "ID01 CFZELTA MA";
    }
    void dialogue()
    {
        QFETCH(QString, at);
        QFETCH(QString, dialogue);
        QCOMPARE(recorders_.at(at)->dialogue(), dialogue);
    }

    void silentStationWasTriedThreeTimes() { QCOMPARE(silentConnections_, 3); }

    void stored_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("counts");  // inventories measurements items
                                              // sensors opened lost errors failed
        QTest::newRow("full") << address::Full << "1 3 3 1 1 0 0 0";
        QTest::newRow("refusing") << address::Refusing << "0 0 0 0 0 0 0 1";
        QTest::newRow("silent") << address::Silent << "0 0 0 0 3 0 0 1";
        QTest::newRow("closes on inventory") << address::ClosesOnInventory << "0 0 0 0 3 3 0 1";
        QTest::newRow("closes every fourth frame") << address::ClosesEveryFourth << "1 3 3 1 3 2 0 0";
        QTest::newRow("error replies") << address::ErrorReplies << "1 1 1 1 1 0 2 0";
        QTest::newRow("not A01") << address::NotA01 << "0 0 0 0 1 0 0 1";
        QTest::newRow("wrong password") << address::WrongPassword << "0 0 0 0 3 0 0 1";
        // What came before the cut is kept, each reading on its own: no inventory
        // lists one tank of three.
        QTest::newRow("closed mid-series") << address::MidSeries << "0 1 0 0 1 1 0 1";
    }
    void stored()
    {
        QFETCH(QString, host);
        QFETCH(QString, counts);
        FileInspector file(store_->filePath());
        const QString station = QStringLiteral("(SELECT id FROM station WHERE host = '%1')").arg(host);
        const auto count = [&](const QString &sql) { return file.scalar(sql.arg(station)).toString(); };
        const auto events = [&](const char *kind) {
            return file
                .scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE station_id "
                                       "= %1 AND kind = '%2'")
                            .arg(station, QLatin1String(kind)))
                .toString();
        };
        const QStringList found{
            count(QStringLiteral("SELECT COUNT(*) FROM inventory WHERE station_id "
                                 "= %1 AND origin = 'poll'")),
            count(QStringLiteral("SELECT COUNT(*) FROM measurement WHERE "
                                 "station_id = %1 AND origin = 'poll' "
                                 "AND command = 'MA'")),
            count(QStringLiteral("SELECT COUNT(*) FROM inventory_item JOIN "
                                 "inventory ON inventory.id = inventory_id "
                                 "WHERE station_id = %1")),
            count(QStringLiteral("SELECT COUNT(*) FROM sensor_reading WHERE station_id = %1")),
            events("connection_opened"),
            events("connection_lost"),
            events("error_reply"),
            events("poll_failed"),
        };
        QCOMPARE(found.join(QLatin1Char(' ')), counts);
    }

    void nothingStoredWithAnotherOrigin()
    {
        FileInspector file(store_->filePath());
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement WHERE origin <> 'poll'")).toInt(), 0);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory WHERE origin <> 'poll'")).toInt(), 0);
    }

    void storedDetails()
    {
        FileInspector file(store_->filePath());
        // The OFE number from the configuration reply names the station from then
        // on.
        QCOMPARE(file.scalar(QStringLiteral("SELECT ofe FROM station WHERE host = '%1'").arg(address::Full)).toString(),
                 QStringLiteral("000160"));
        QCOMPARE(file.scalar(QStringLiteral("SELECT detail FROM event JOIN station ON "
                                            "station.id = station_id "
                                            "WHERE host = '%1' AND kind = 'poll_failed'")
                                 .arg(address::NotA01))
                     .toString(),
                 observed_["not A01"].detail);
    }

    void parallel_data()
    {
        QTest::addColumn<int>("parallel");
        QTest::addColumn<int>("mostAtOnce");
        QTest::newRow("one at a time") << 1 << 1;
        QTest::newRow("two") << 2 << 2;
        QTest::newRow("all") << 0 << 4;
    }
    void parallel()
    {
        QFETCH(int, parallel);
        QFETCH(int, mostAtOnce);
        std::vector<std::unique_ptr<ControllerSimulator>> simulators;
        QList<StationPoll *> polls;
        int busiest = 0;
        for (const QString &at : address::Parallel) {
            simulators.push_back(startSimulator(oneTankStation().arg(at.section(QLatin1Char('.'), 3)), at));
            QVERIFY(simulators.back());
            auto *poll = new StationPoll(PolledStation{at, {at, 4001}, {}, {}}, "x", Timing, store_.get(), this);
            poll->session()->setPauseMs(5);
            polls << poll;
        }
        for (StationPoll *poll : polls) {
            connect(poll->session(), &ControllerSession::connected, poll, [&] {
                busiest = std::max(busiest, int(std::count_if(polls.begin(), polls.end(),
                                                              [](const StationPoll *p) { return p->busy(); })));
            });
        }
        PollScheduler scheduler(polls, parallel);
        QSignalSpy rounds(&scheduler, &PollScheduler::roundFinished);
        scheduler.runRound();
        QVERIFY(rounds.wait(10000));
        const RoundSummary summary = rounds.first().first().value<RoundSummary>();
        QCOMPARE(summary.read, 4);
        QCOMPARE(busiest, mostAtOnce);
        qDeleteAll(polls);
    }

    // A round that comes while a station is still busy leaves it out, and its
    // poll never overlaps.
    void busyStationSkipped()
    {
        ControllerSimulator *slow = simulator(oneTankStation(), address::Busy);
        QVERIFY(slow);
        slow->setReplyDelay(100);
        StationPoll *poll = addPoll(QStringLiteral("busy"), address::Busy, "x");
        PollScheduler scheduler({poll}, 0);
        QList<RoundSummary> summaries;
        QStringList notes;
        connect(&scheduler, &PollScheduler::roundFinished, this, [&](const RoundSummary &s) { summaries << s; });
        connect(&scheduler, &PollScheduler::note, this, [&](const QString &note) { notes << note; });
        scheduler.runEvery(250);
        const auto read = [&] {
            return std::any_of(summaries.begin(), summaries.end(), [](const RoundSummary &s) { return s.read == 1; });
        };
        QVERIFY(QTest::qWaitFor(read, 10000));
        QSignalSpy stopped(&scheduler, &PollScheduler::stopped);
        scheduler.stop();
        QVERIFY(stopped.wait(5000));

        QVERIFY(summaries.size() >= 2);
        const RoundSummary &skipping = summaries.first();
        QCOMPARE(skipping.number, 2);
        QCOMPARE(skipping.stations, 0);
        QCOMPARE(skipping.skipped, QStringList{QStringLiteral("busy")});
        QVERIFY(notes.first().contains(QStringLiteral("busy: ainda ocupado com a rodada 1, fica fora da rodada 2")));
        QCOMPARE(recorders_.at(address::Busy)->mostClients(), 1);
        QVERIFY(!poll->busy());
    }

    // A closing-hour round reads only the stations due, leaves one busy with an earlier round to
    // that round's inventory, and counts one that fails, after its retries, like any round.
    void closingRoundOfStationsDue()
    {
        ControllerSimulator *slow = simulator(oneTankStation(), address::ClosingBusy);
        QVERIFY(slow && simulator(oneTankStation(), address::ClosingDue)
                && simulator(oneTankStation(), address::ClosingNotDue));
        slow->setReplyDelay(250);
        StationPoll *busy = addPoll(QStringLiteral("ocupado"), address::ClosingBusy, "x");
        StationPoll *due = addPoll(QStringLiteral("devido"), address::ClosingDue, "x");
        StationPoll *notDue = addPoll(QStringLiteral("fora"), address::ClosingNotDue, "x");
        StationPoll *refusing = addPoll(QStringLiteral("recusa"), address::Refusing, "x");
        PollScheduler scheduler({busy, due, notDue, refusing}, 0);
        QList<RoundSummary> summaries;
        QStringList notes;
        connect(&scheduler, &PollScheduler::roundFinished, this, [&](const RoundSummary &s) { summaries << s; });
        connect(&scheduler, &PollScheduler::note, this, [&](const QString &note) { notes << note; });
        scheduler.runRound();
        QVERIFY(QTest::qWaitFor([&] { return !due->busy() && !notDue->busy() && !refusing->busy(); }, 10000));
        QVERIFY(busy->busy());
        const qsizetype retriedBefore = observed_[QStringLiteral("recusa")].retryNotesMs.size();
        scheduler.runClosingRound({busy, due, refusing});
        QVERIFY(QTest::qWaitFor([&] { return summaries.size() == 2; }, 10000));

        const RoundSummary &closing = summaries.first().number == 2 ? summaries.first() : summaries.last();
        QCOMPARE(closing.stations, 2);
        QCOMPARE(closing.read, 1);
        QCOMPARE(closing.failed, QStringList{QStringLiteral("recusa")});
        QCOMPARE(observed_.at(QStringLiteral("recusa")).retryNotesMs.size() - retriedBefore, Timing.retries);
        QCOMPARE(closing.skipped, QStringList{QStringLiteral("ocupado")});
        QCOMPARE(notes.filter(QStringLiteral("ainda ocupado")),
                 QStringList{QStringLiteral("ocupado: ainda ocupado com a rodada 1, fica fora da rodada 2 (o inventário da "
                                            "rodada 1 vale para o fechamento)")});
        QCOMPARE(recorders_.at(address::ClosingDue)->dialogue().count(QStringLiteral("MA")), 2);
        QCOMPARE(recorders_.at(address::ClosingNotDue)->dialogue().count(QStringLiteral("MA")), 1);
        QCOMPARE(recorders_.at(address::ClosingBusy)->mostClients(), 1);
        QVERIFY(drained({busy, due, notDue, refusing}));
        qDeleteAll(QList<StationPoll *>{busy, due, notDue, refusing});
    }

    void stop_data()
    {
        QTest::addColumn<QString>("when");  // the request received that triggers the stop; empty: a retry
        QTest::addColumn<QString>("dialogue");
        QTest::newRow("during the inventory") << "MA"
                                              << "ID01 CFZELTA MA ID02";
        QTest::newRow("while opening") << "ID01"
                                       << "ID01 ID02";
        QTest::newRow("while backing off") << ""
                                           << "ID01 CFZORRO ID02";
    }
    // Stopped, a poll closes its dialogue with "ID02" and records no outcome: the
    // station did not fail.
    void stop()
    {
        QFETCH(QString, when);
        QFETCH(QString, dialogue);
        ControllerSimulator *controller = simulator(ThreeTanks, address::Stopped);
        QVERIFY(controller);
        controller->setReplyDelay(50);
        StationPoll *poll = addPoll(QStringLiteral("stopped"), address::Stopped, when.isEmpty() ? "Zorro" : "Zelta");
        PollScheduler scheduler({poll}, 0);
        QSignalSpy stopped(&scheduler, &PollScheduler::stopped);
        QSignalSpy finished(poll, &StationPoll::finished);
        QList<RoundSummary> summaries;
        connect(&scheduler, &PollScheduler::roundFinished, this, [&](const RoundSummary &s) { summaries << s; });
        connect(controller, &ControllerSimulator::requestReceived, &scheduler,
                [&](const QString &, const QByteArray &frame) {
                    if (requestBody(frame) == when)
                        scheduler.stop();
                });
        connect(poll, &StationPoll::retrying, &scheduler, &PollScheduler::stop);
        scheduler.runRound();
        QVERIFY(stopped.wait(5000));
        // The simulator reads on the same event loop.
        QTRY_COMPARE_WITH_TIMEOUT(recorders_.at(address::Stopped)->dialogue(), dialogue, ServerWaitMs);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(summaries.size(), 1);
        QVERIFY(summaries.first().interrupted);
        QVERIFY(!poll->busy());
        QVERIFY(drained({poll}));
        FileInspector file(store_->filePath());
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM event JOIN station ON "
                                            "station.id = station_id "
                                            "WHERE host = '%1' AND kind = 'poll_failed'")
                                 .arg(address::Stopped))
                     .toInt(),
                 0);

        simulators_.pop_back();
        recorders_.erase(address::Stopped);
        delete poll;
    }
};

QTEST_GUILESS_MAIN(TestPollRounds)
#include "tst_poll_rounds.moc"
