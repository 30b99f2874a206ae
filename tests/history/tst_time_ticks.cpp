// The chart's time axis: ticks at round times that cover the period in a few steps.
#include "history/time_ticks.h"

#include <QDateTime>
#include <QTest>

namespace {

QDateTime local(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

class TestTimeTicks : public QObject {
    Q_OBJECT
private slots:
    void roundStepsCoverThePeriod_data();
    void roundStepsCoverThePeriod();
    void longPeriodsTakeWholeDays_data();
    void longPeriodsTakeWholeDays();
};

void TestTimeTicks::roundStepsCoverThePeriod_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<QDateTime>("last");
    QTest::addColumn<int>("intervals");

    QTest::newRow("ten minutes, 2-minute steps") << local("06/12/2026 10:03:30") << local("06/12/2026 10:13:30")
                                                 << local("06/12/2026 10:02:00") << local("06/12/2026 10:14:00") << 6;
    QTest::newRow("a whole hour, 10-minute steps") << local("06/12/2026 09:00:00") << local("06/12/2026 10:00:00")
                                                   << local("06/12/2026 09:00:00") << local("06/12/2026 10:00:00") << 6;
    QTest::newRow("24 h and 5 minutes, 4-hour steps") << local("06/12/2026 16:18:00") << local("07/12/2026 16:23:00")
                                                      << local("06/12/2026 16:00:00") << local("07/12/2026 20:00:00") << 7;
    QTest::newRow("7 days and 5 minutes, days") << local("30/11/2026 16:26:00") << local("07/12/2026 16:31:00")
                                                << local("30/11/2026 00:00:00") << local("08/12/2026 00:00:00") << 8;
    QTest::newRow("an instant") << local("06/12/2026 10:03:30") << local("06/12/2026 10:03:30")
                                << local("06/12/2026 10:03:00") << local("06/12/2026 10:04:00") << 1;
}

void TestTimeTicks::roundStepsCoverThePeriod()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    QFETCH(QDateTime, first);
    QFETCH(QDateTime, last);
    QFETCH(int, intervals);

    const TimeTicks ticks = roundTimeTicks(from.toMSecsSinceEpoch(), to.toMSecsSinceEpoch());
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(ticks.firstMs), first);
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(ticks.lastMs), last);
    QCOMPARE(ticks.intervals, intervals);
}

void TestTimeTicks::longPeriodsTakeWholeDays_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");

    QTest::newRow("30 days") << local("07/11/2026 16:26:00") << local("07/12/2026 16:31:00");
    QTest::newRow("one year") << local("01/01/2015 00:00:00") << local("01/01/2016 00:00:00");
    QTest::newRow("ten years") << local("01/01/2015 00:00:00") << local("29/12/2024 00:00:00");
    QTest::newRow("thirty years") << local("01/01/1996 12:00:00") << local("01/01/2026 12:00:00");
}

// Starting at a midnight before the period, ending at one after it, in steps of whole days.
void TestTimeTicks::longPeriodsTakeWholeDays()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);

    const TimeTicks ticks = roundTimeTicks(from.toMSecsSinceEpoch(), to.toMSecsSinceEpoch());
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(ticks.firstMs);
    const QDateTime last = QDateTime::fromMSecsSinceEpoch(ticks.lastMs);
    QVERIFY(first <= from && last >= to);
    QCOMPARE(first.time(), QTime(0, 0));
    QCOMPARE(last.time(), QTime(0, 0));
    QVERIFY2(ticks.intervals >= 2 && ticks.intervals <= 8, qPrintable(QString::number(ticks.intervals)));
    const qint64 days = first.daysTo(last);
    QCOMPARE(days % ticks.intervals, 0);
    // No step longer than it needs: one fewer step would not cover the period.
    QVERIFY(first.addDays(days / ticks.intervals * (ticks.intervals - 1)) < to);
}

QTEST_GUILESS_MAIN(TestTimeTicks)
#include "tst_time_ticks.moc"
