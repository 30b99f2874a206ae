// When the poller's closing-hour rounds come: each station's next closing instant in its own zone,
// across a daylight-saving change, and the stations due at one instant read together. Run with
// TZ=Asia/Kolkata, so that a station without a zone keeps a PC's zone that is no other's here.
#include "poll/closing_hour_reads.h"

#include <QtTest>

namespace {

QDateTime utc(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toUTC();
}

} // namespace

class TestClosingHourReads : public QObject {
    Q_OBJECT

private slots:
    void nextRound_data()
    {
        QTest::addColumn<QStringList>("clocks");  // "HH:mm Zone", or "HH:mm" for a station without one
        QTest::addColumn<QDateTime>("after");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QList<int>>("stations");

        const QList<int> first{0};
        QTest::newRow("São Paulo, midnight") << QStringList{"00:00 America/Sao_Paulo"} << utc("2026-03-10T12:00:00Z")
                                             << utc("2026-03-11T03:00:00Z") << first;
        QTest::newRow("São Paulo, 22:30 the same evening") << QStringList{"22:30 America/Sao_Paulo"}
                                                           << utc("2026-03-10T12:00:00Z") << utc("2026-03-11T01:30:00Z")
                                                           << first;
        QTest::newRow("São Paulo, 06:00 an hour ahead") << QStringList{"06:00 America/Sao_Paulo"}
                                                        << utc("2026-03-10T08:00:00Z") << utc("2026-03-10T09:00:00Z")
                                                        << first;
        QTest::newRow("at the instant itself: the next day's") << QStringList{"00:00 America/Sao_Paulo"}
                                                                << utc("2026-03-11T03:00:00Z")
                                                                << utc("2026-03-12T03:00:00Z") << first;
        // Santiago moves from -04 to -03 at 00:00 on 6 September 2026: 00:00 to 00:59 do not exist.
        QTest::newRow("Santiago, the night before summer time") << QStringList{"00:30 America/Santiago"}
                                                                 << utc("2026-09-04T12:00:00Z")
                                                                 << utc("2026-09-05T04:30:00Z") << first;
        QTest::newRow("Santiago, 00:30 in the gap: its end") << QStringList{"00:30 America/Santiago"}
                                                              << utc("2026-09-05T12:00:00Z") << utc("2026-09-06T04:00:00Z")
                                                              << first;
        QTest::newRow("Santiago, midnight in the gap: its end") << QStringList{"00:00 America/Santiago"}
                                                                 << utc("2026-09-05T12:00:00Z")
                                                                 << utc("2026-09-06T04:00:00Z") << first;
        QTest::newRow("Santiago, the night after") << QStringList{"00:30 America/Santiago"} << utc("2026-09-06T12:00:00Z")
                                                   << utc("2026-09-07T03:30:00Z") << first;
        QTest::newRow("no zone: the PC's") << QStringList{"00:00"} << utc("2026-03-10T12:00:00Z")
                                           << utc("2026-03-10T18:30:00Z") << first;
        QTest::newRow("the soonest of two hours") << QStringList{"06:00 America/Sao_Paulo", "00:00 America/Sao_Paulo"}
                                                  << utc("2026-03-10T12:00:00Z") << utc("2026-03-11T03:00:00Z")
                                                  << QList<int>{1};
        // In June Santiago is at -04: its 23:00 is São Paulo's midnight.
        QTest::newRow("one instant in two zones, one round")
            << QStringList{"00:00 America/Sao_Paulo", "23:00 America/Santiago", "06:00 America/Sao_Paulo",
                           "00:00 America/Sao_Paulo"}
            << utc("2026-06-10T12:00:00Z") << utc("2026-06-11T03:00:00Z") << QList<int>{0, 1, 3};
    }
    void nextRound()
    {
        QFETCH(QStringList, clocks);
        QFETCH(QDateTime, after);
        QFETCH(QDateTime, at);
        QFETCH(QList<int>, stations);
        QList<ClosingClock> parsed;
        for (const QString &clock : clocks)
            parsed << ClosingClock{QTime::fromString(clock.section(QLatin1Char(' '), 0, 0), QStringLiteral("HH:mm")),
                                   stationZone(clock.section(QLatin1Char(' '), 1))};
        const ClosingRound round = nextClosingRound(parsed, after);
        QCOMPARE(round.at, at);
        QCOMPARE(round.stations, stations);
    }
};

QTEST_GUILESS_MAIN(TestClosingHourReads)
#include "tst_closing_hour_reads.moc"
