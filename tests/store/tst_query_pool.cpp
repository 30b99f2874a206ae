#include "store/closing_tables.h"
#include "store/history_file.h"
#include "store/query_pool.h"
#include "tests/support/store_test_support.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString Mine = QStringLiteral("pool-mine");
const QString Theirs = QStringLiteral("pool-theirs");
const QDate Day(2026, 3, 10);

enum class FirstRead { Settings, ClosedDay, Nozzles };

QSqlDatabase db(const QString &name)
{
    return QSqlDatabase::database(name, false);
}

QList<int> activeNozzles(const Result<QList<NozzleRecord>, QSqlError> &nozzles)
{
    QList<int> active;
    for (const NozzleRecord &nozzle : nozzles.valueOr({}))
        if (nozzle.active)
            active << nozzle.nozzle;
    return active;
}

} // namespace

Q_DECLARE_METATYPE(FirstRead)

// Statements lent again and again on one connection, as the daily book uses them: two uses of one
// statement at once, and what another program commits between two uses.
class TestQueryPool : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHistory> history_;
    qint64 stationId_ = 0;

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void init()
    {
        history_ = std::make_unique<TestHistory>();
        for (const QString &name : {Mine, Theirs}) {
            const Result<void, HistoryOpenProblem> opened = openForWriting(name, history_->location(), {});
            QVERIFY2(opened, qPrintable(opened ? QString() : historyOpenProblemText(opened.error())));
        }
        QSqlQuery query(db(Theirs));
        QVERIFY2(query.exec(QStringLiteral("INSERT INTO station (description, host, time_zone) VALUES ('Posto', 'posto-a', 'UTC')")),
                 qPrintable(query.lastError().text()));
        QVERIFY(query.exec(QStringLiteral("SELECT id FROM station")) && query.next());
        stationId_ = query.value(0).toLongLong();
        ClosingTables theirs(db(Theirs), stationId_);
        QVERIFY(theirs.setSettings(ClosingSettings{}).ok());
        QVERIFY(theirs.replaceNozzles({{1, 1, 1, true}, {2, 1, 1, true}, {3, 2, 2, true}}).ok());
        QVERIFY(theirs.close(ClosedDay{Day, QDateTime::currentDateTimeUtc(), {QStringLiteral("gerente"), QStringLiteral("caixa")},
                                       false, {}})
                    .ok());
    }

    void cleanup()
    {
        closeConnection(Mine);
        closeConnection(Theirs);
        history_.reset();
    }

    // A statement still in use is not lent again: a second run of it would restart the first's rows.
    void overlappingUsesOfOneStatement()
    {
        if (onPostgres())
            QSKIP("Qt's PostgreSQL driver reads a forward-only result row by row: any second query on the "
                  "connection discards it, whatever the pool lends");
        const QString sql = QStringLiteral("SELECT nozzle FROM nozzle ORDER BY nozzle");
        const QueryPool pool(db(Mine));
        QSqlError error;
        QueryPool::Lent outer = pool.lend(sql, &error);
        QVERIFY(outer.query().exec() && outer.next());
        QCOMPARE(outer.value(0).toInt(), 1);
        {
            QueryPool::Lent inner = pool.lend(sql, &error);
            QVERIFY(inner.query().exec());
            QList<int> all;
            while (inner.next())
                all << inner.value(0).toInt();
            QCOMPARE(all, (QList<int>{1, 2, 3}));
        }
        QVERIFY(outer.next());
        QCOMPARE(outer.value(0).toInt(), 2);
        QVERIFY(!error.isValid());
    }

    void refusedStatementSaysWhy()
    {
        QSqlError error;
        const QueryPool pool(db(Mine));
        const QueryPool::Lent lent = pool.lend(QStringLiteral("SELECT nothing FROM nowhere"), &error);
        QVERIFY(error.isValid());
    }

    // A read that stops at its first row hands its statement back finished: left open, it would
    // keep SQLite's snapshot, and the next question on the connection would not see the commit.
    void seesWhatAnotherProgramCommitted_data()
    {
        QTest::addColumn<FirstRead>("first");
        QTest::newRow("settings, one row") << FirstRead::Settings;
        QTest::newRow("closed day, one row") << FirstRead::ClosedDay;
        QTest::newRow("nozzles, every row") << FirstRead::Nozzles;
    }

    void seesWhatAnotherProgramCommitted()
    {
        QFETCH(FirstRead, first);
        ClosingTables mine(db(Mine), stationId_);
        switch (first) {
        case FirstRead::Settings:
            QVERIFY(mine.settings().ok());
            break;
        case FirstRead::ClosedDay:
            QVERIFY(mine.closedDay(Day).valueOr(std::nullopt).has_value());
            break;
        case FirstRead::Nozzles:
            QCOMPARE(activeNozzles(mine.nozzles()), (QList<int>{1, 2, 3}));
            break;
        }
        QVERIFY(ClosingTables(db(Theirs), stationId_).replaceNozzles({{4, 2, 2, true}}).ok());
        QCOMPARE(activeNozzles(mine.nozzles()), QList<int>{4});
        QVERIFY(ClosingTables(db(Theirs), stationId_).reopen(Day, {QStringLiteral("gerente"), QStringLiteral("caixa")},
                                                            QStringLiteral("conferência"))
                    .ok());
        QVERIFY(!mine.closedDay(Day).valueOr(std::nullopt).has_value());
    }
};

QTEST_GUILESS_MAIN(TestQueryPool)
#include "tst_query_pool.moc"
