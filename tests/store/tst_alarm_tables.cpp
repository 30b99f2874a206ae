#include "store/alarm_tables.h"
#include "store/history_file.h"
#include "store/sql_dialect.h"
#include "tests/support/store_test_support.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(AlarmState)

namespace {

const QString Connection = QStringLiteral("alarm-tables");
const QDateTime Morning(QDate(2024, 3, 15), QTime(10, 0), QTimeZone::utc());

} // namespace

// The alarm rules' rows, as the store keeps them on each engine: what an alarm's state keeps
// across writes, and which deliveries count as one already recorded.
class TestAlarmTables : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHistory> history_;
    std::unique_ptr<StatementCache> statements_;
    qint64 stationId_ = 0;
    QStringList events_;

    QSqlDatabase db() const { return QSqlDatabase::database(Connection, false); }

    // The rules' view of one job of the station, handed over at `at`.
    struct Job {
        WriteJob job;
        std::unique_ptr<RuleInput> input;
    };
    std::unique_ptr<Job> jobAt(const QDateTime &at)
    {
        auto made = std::make_unique<Job>();
        made->job.receivedAt = at;
        made->input.reset(new RuleInput{made->job, stationId_, QStringLiteral("Posto"), QStringLiteral("posto-a"), {},
                                        QTimeZone::utc(), *statements_, dialectOf(db()),
                                        [this](const QString &kind, const QString &detail) -> Result<void, QSqlError> {
                                            events_ << kind + QLatin1Char('|') + detail;
                                            return {};
                                        }});
        return made;
    }

    QDateTime changedAt(const QString &alarm)
    {
        QSqlQuery query(db());
        query.prepare(QStringLiteral("SELECT changed_at FROM alarm_state WHERE alarm = ?"));
        query.addBindValue(alarm);
        if (!query.exec() || !query.next())
            return {};
        return dialectOf(db()).time(query.value(0));
    }

    int deliveryRows()
    {
        QSqlQuery query(db());
        return query.exec(QStringLiteral("SELECT COUNT(*) FROM delivery")) && query.next() ? query.value(0).toInt() : -1;
    }

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void init()
    {
        history_ = std::make_unique<TestHistory>();
        const Result<void, HistoryOpenProblem> opened = openForWriting(Connection, history_->location(), {});
        QVERIFY2(opened, qPrintable(opened ? QString() : historyOpenProblemText(opened.error())));
        statements_ = std::make_unique<StatementCache>(Connection);
        QSqlQuery query(db());
        QVERIFY2(query.exec(QStringLiteral("INSERT INTO station (description, host, time_zone) "
                                           "VALUES ('Posto', 'posto-a', 'UTC')")),
                 qPrintable(query.lastError().text()));
        QVERIFY(query.exec(QStringLiteral("SELECT id FROM station")) && query.next());
        stationId_ = query.value(0).toLongLong();
        events_.clear();
    }

    void cleanup()
    {
        statements_.reset();
        closeConnection(Connection);
        history_.reset();
    }

    void stateKeepsWhenItTurned_data()
    {
        QTest::addColumn<AlarmState>("first");
        QTest::addColumn<AlarmState>("then");
        QTest::addColumn<bool>("moved");
        QTest::newRow("count only") << AlarmState{false, 1} << AlarmState{false, 2} << false;
        QTest::newRow("raised") << AlarmState{false, 2} << AlarmState{true, 3} << true;
        QTest::newRow("cleared") << AlarmState{true, 3} << AlarmState{false, 0} << true;
        QTest::newRow("still active") << AlarmState{true, 1} << AlarmState{true, 1} << false;
    }
    void stateKeepsWhenItTurned()
    {
        QFETCH(AlarmState, first);
        QFETCH(AlarmState, then);
        QFETCH(bool, moved);
        const QString alarm = QStringLiteral("communication");
        {
            const auto job = jobAt(Morning);
            AlarmTables tables(*job->input);
            const Result<AlarmState, QSqlError> never = tables.state(alarm, 0);
            QVERIFY(never);
            QCOMPARE(never->active, false);
            QCOMPARE(never->count, 0);
            QVERIFY(tables.setState(alarm, 0, first));
        }
        const QDateTime later = Morning.addSecs(600);
        const auto job = jobAt(later);
        AlarmTables tables(*job->input);
        QVERIFY(tables.setState(alarm, 0, then));
        const Result<AlarmState, QSqlError> stored = tables.state(alarm, 0);
        QVERIFY(stored);
        QCOMPARE(stored->active, then.active);
        QCOMPARE(stored->count, then.count);
        QCOMPARE(changedAt(alarm), moved ? later : Morning);
        QCOMPARE(tables.state(alarm, 1)->active, false);  // another subject, never stored
    }

    void deliverySeenAgainIsNotAdded_data()
    {
        QTest::addColumn<int>("tank");
        QTest::addColumn<int>("startMinute");  // from 10:00; the recorded delivery is 10:00-10:30 of tank 1
        QTest::addColumn<int>("endMinute");
        QTest::addColumn<bool>("added");
        QTest::newRow("before it") << 1 << -60 << -30 << true;
        QTest::newRow("ending as it starts") << 1 << -30 << 0 << false;
        QTest::newRow("inside it") << 1 << 10 << 20 << false;
        QTest::newRow("around it") << 1 << -60 << 60 << false;
        QTest::newRow("starting as it ends") << 1 << 30 << 45 << false;
        QTest::newRow("after it") << 1 << 31 << 45 << true;
        QTest::newRow("another tank, same time") << 2 << 0 << 30 << true;
    }
    void deliverySeenAgainIsNotAdded()
    {
        QFETCH(int, tank);
        QFETCH(int, startMinute);
        QFETCH(int, endMinute);
        QFETCH(bool, added);
        const auto job = jobAt(Morning.addSecs(3600));
        AlarmTables tables(*job->input);
        const Result<bool, QSqlError> first =
            tables.addDelivery(1, QStringLiteral("GASOLINA C"), {Morning, Morning.addSecs(30 * 60), 6500});
        QVERIFY(first);
        QVERIFY(*first);
        const Result<bool, QSqlError> again = tables.addDelivery(
            tank, QStringLiteral("GASOLINA C"), {Morning.addSecs(startMinute * 60), Morning.addSecs(endMinute * 60), 6500});
        QVERIFY2(again, qPrintable(again ? QString() : again.error().text()));
        QCOMPARE(*again, added);
        QCOMPARE(deliveryRows(), added ? 2 : 1);
    }

    void failureIsTheDatabasesError()
    {
        // A station that is not there: the rows that would name it are refused, and the job with them.
        stationId_ += 1000;
        const auto job = jobAt(Morning);
        AlarmTables tables(*job->input);
        const Result<void, QSqlError> stored = tables.setState(QStringLiteral("clock"), 0, {true, 0});
        QVERIFY(!stored);
        QVERIFY(stored.error().isValid());
    }
};

QTEST_GUILESS_MAIN(TestAlarmTables)
#include "tst_alarm_tables.moc"
