// The alarms as the store writes readings: raised once when a condition starts, cleared once when
// it ends, each as an event and a notice, and never raised again by a restart or by a second
// program writing the same file.
#include "alarm_test_support.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString Gasoline = QStringLiteral("[produto GASOLINA C]\nnível baixo = 10\nnível baixo retorno = 15\n"
                                        "nível alto = 90\nnível alto retorno = 85\n");

// "states bars": one digit per sensor (1 em Curto, 2 Normal, 3 Vazamento, 4 Aberto), then A or I
// for bars 1 and 2.
SensorReading sensorReading(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    SensorReading reading;
    reading.states = parts[0];
    reading.count = int(parts[0].size());
    reading.bar1Active = parts[1][0] == QLatin1Char('A');
    reading.bar2Active = parts[1][1] == QLatin1Char('A');
    return reading;
}

// The controller's "LR" reply when its clock is `offsetSeconds` from the PC's, in `zone`.
ClockReading clockReading(const QDateTime &pcTimeUtc, qint64 offsetSeconds, const QTimeZone &zone)
{
    const QDateTime controller = pcTimeUtc.addSecs(offsetSeconds).toTimeZone(zone);
    return {QStringLiteral("LR"), controller.toString(QStringLiteral("HHmmss")),
            controller.toString(QStringLiteral("ddMMyy")), QStringLiteral("05"), true};
}

enum class Fault { LowLevel, Leak, Communication, Clock };

const QDateTime PcTime(QDate(2024, 3, 15), QTime(12, 0), Qt::UTC);

// The fault as a program reads it, at `minute` for the readings that carry a time.
quint64 keepFault(HistoryStore &store, Fault fault, int minute)
{
    switch (fault) {
    case Fault::LowLevel:
        return store.keepMeasurement(TestStation, tankReading(minute, 2000), Origin::Poll);
    case Fault::Leak:
        return store.keepSensors(TestStation, sensorReading(QStringLiteral("23 AA")));
    case Fault::Communication:
        return store.keepPollOutcome(TestStation, false, QStringLiteral("sem resposta"));
    case Fault::Clock:
        return store.keepClock(TestStation, clockReading(PcTime, 3600, QTimeZone::utc()), PcTime);
    }
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestAlarmRules : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void levels_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("readings");  // "minute:volume", kept in this order
        QTest::addColumn<QStringList>("expected");
        // Capacity 30000 L: 10% is 3000 L, 15% 4500 L, 85% 25500 L, 90% 27000 L.
        QTest::newRow("low: raised once, kept between the limits")
            << Gasoline << QStringList{"0:12000", "10:2900", "20:2500", "30:4000"} << QStringList{"low_level_raised"};
        QTest::newRow("low: cleared at its return level, raised again")
            << Gasoline << QStringList{"0:2900", "10:4500", "20:2000"}
            << QStringList{"low_level_raised", "low_level_cleared", "low_level_raised"};
        QTest::newRow("high: raised once, cleared only at its return level")
            << Gasoline << QStringList{"0:27500", "10:26000", "20:27200", "30:25600", "40:25400"}
            << QStringList{"high_level_raised", "high_level_cleared"};
        QTest::newRow("exactly at the limits")
            << Gasoline << QStringList{"0:3000", "10:4500", "20:27000", "30:25500"}
            << QStringList{"low_level_raised", "low_level_cleared", "high_level_raised", "high_level_cleared"};
        QTest::newRow("tank override")
            << Gasoline + "[tanque posto-a 1]\nnível baixo = 50\nnível baixo retorno = 60\n"
            << QStringList{"0:12000", "10:3000", "20:18000"} << QStringList{"low_level_raised", "low_level_cleared"};
        QTest::newRow("another product's rules") << "[produto DIESEL]\nnível baixo = 10\nnível baixo retorno = 15\n"
                                                 << QStringList{"0:1000"} << QStringList{};
        QTest::newRow("an older reading from memory does not undo the present")
            << Gasoline << QStringList{"0:12000", "20:12000", "10:1000"} << QStringList{};
    }

    void levels()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, readings);
        QFETCH(QStringList, expected);
        AlarmFixture fixture(ini);
        {
            const std::unique_ptr<HistoryStore> store = fixture.openStore();
            quint64 last = 0;
            for (const QString &reading : readings) {
                const QStringList parts = reading.split(QLatin1Char(':'));
                last = store->keepMeasurement(TestStation, tankReading(parts[0].toInt(), parts[1].toInt()), Origin::Poll);
            }
            QVERIFY(waitForWritten(*store, last));
        }
        QStringList kinds;
        for (const QString &event : fixture.events())
            kinds << event.section(QLatin1Char('|'), 0, 0);
        QCOMPARE(kinds, expected);
    }

    void noticeMatchesEvent()
    {
        AlarmFixture fixture(Gasoline);
        const std::unique_ptr<HistoryStore> store = fixture.openStore();
        QSignalSpy notices(store.get(), &HistoryStore::alarmChanged);
        QVERIFY(waitForWritten(*store, store->keepMeasurement(TestStation, tankReading(0, 2500), Origin::Console)));
        QCOMPARE(notices.size(), 1);
        const auto notice = notices.first().first().value<AlarmNotice>();
        const QString detail = QStringLiteral("Tanque 1 (GASOLINA C): nível baixo, 8,3% da capacidade (limite 10,0%)");
        QCOMPARE(fixture.events(), QStringList{"low_level_raised|" + detail});
        QCOMPARE(notice.detail, detail);
        QCOMPARE(notice.alarm, QStringLiteral("low_level"));
        QCOMPARE(notice.subject, 1);
        QVERIFY(notice.raised);
        QCOMPARE(notice.stationDescription, TestStation.description);
        QCOMPARE(notice.host, TestStation.host);
        QVERIFY(notice.at.isValid());
        QCOMPARE(FileInspector(fixture.location()).texts(QStringLiteral("SELECT alarm, subject, active FROM alarm_state")),
                 QStringList{"low_level|1|1"});
    }

    void sensors_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("leak raised once, cleared at normal")
            << "[postos]\n" << QStringList{"222 AA", "223 AA", "223 AA", "222 AA"}
            << QStringList{"leak_raised|Sensor 3: Vazamento", "leak_cleared|Sensor 3: Normal, fim do vazamento"};
        QTest::newRow("short and open are one sensor fault")
            << "[postos]\n" << QStringList{"212 AA", "242 AA", "222 AA"}
            << QStringList{"sensor_fault_raised|Sensor 2: falha do sensor (em Curto)",
                           "sensor_fault_cleared|Sensor 2: Normal, sensor de volta"};
        QTest::newRow("leak then fault: both last until normal")
            << "[postos]\n" << QStringList{"3 AA", "1 AA", "2 AA"}
            << QStringList{"leak_raised|Sensor 1: Vazamento", "sensor_fault_raised|Sensor 1: falha do sensor (em Curto)",
                           "leak_cleared|Sensor 1: Normal, fim do vazamento",
                           "sensor_fault_cleared|Sensor 1: Normal, sensor de volta"};
        QTest::newRow("a character that is no state changes nothing")
            << "[postos]\n" << QStringList{"3 AA", "x AA"} << QStringList{"leak_raised|Sensor 1: Vazamento"};
        QTest::newRow("bar inactive")
            << "[postos]\n" << QStringList{"2 AA", "2 AI", "2 AI", "2 AA"}
            << QStringList{"bar_inactive_raised|Barra 2 inativa", "bar_inactive_cleared|Barra 2 ativa novamente"};
        QTest::newRow("sensors not watched, bars still") << "[postos]\nsensores = não\n" << QStringList{"3 IA"}
                                                         << QStringList{"bar_inactive_raised|Barra 1 inativa"};
        QTest::newRow("bars not watched for this station")
            << "[posto posto-a]\nbarras = não\n" << QStringList{"2 II"} << QStringList{};
    }

    void sensors()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, readings);
        QFETCH(QStringList, expected);
        AlarmFixture fixture(ini);
        {
            const std::unique_ptr<HistoryStore> store = fixture.openStore();
            quint64 last = 0;
            for (const QString &reading : readings)
                last = store->keepSensors(TestStation, sensorReading(reading));
            QVERIFY(waitForWritten(*store, last));
        }
        QCOMPARE(fixture.events(), expected);
    }

    void communication_data()
    {
        QTest::addColumn<int>("rounds");
        QTest::addColumn<QString>("outcomes");  // F failed, S succeeded
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("state");  // active|count
        const QString failed = QStringLiteral("poll_failed|sem resposta");
        QTest::newRow("raised once over many failed rounds, cleared on success")
            << 3 << "FFFFFS"
            << QStringList{failed,
                           failed,
                           failed,
                           "communication_raised|Sem comunicação em 3 consultas seguidas: sem resposta",
                           failed,
                           failed,
                           "communication_cleared|Comunicação restabelecida após 5 consultas sem resposta"}
            << "0|0";
        QTest::newRow("a success starts the count again")
            << 3 << "FFSFFF"
            << QStringList{failed, failed, failed, failed, failed,
                           "communication_raised|Sem comunicação em 3 consultas seguidas: sem resposta"}
            << "1|3";
        QTest::newRow("successes only") << 1 << "SSS" << QStringList{} << "";
    }

    void communication()
    {
        QFETCH(int, rounds);
        QFETCH(QString, outcomes);
        QFETCH(QStringList, expected);
        QFETCH(QString, state);
        AlarmFixture fixture(QStringLiteral("[postos]\nfalhas de comunicação = %1\n").arg(rounds));
        {
            const std::unique_ptr<HistoryStore> store = fixture.openStore();
            quint64 last = 0;
            for (const QChar outcome : outcomes)
                last = store->keepPollOutcome(TestStation, outcome == QLatin1Char('S'), QStringLiteral("sem resposta"));
            QVERIFY(waitForWritten(*store, last));
        }
        QCOMPARE(fixture.events(), expected);
        QCOMPARE(FileInspector(fixture.location())
                     .texts(QStringLiteral("SELECT active, count FROM alarm_state WHERE alarm = 'communication'"))
                     .join(QString()),
                 state);
    }

    void clock_data()
    {
        QTest::addColumn<QString>("zone");  // the station's
        QTest::addColumn<QList<int>>("offsets");  // seconds the controller is ahead, one reading each
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("behind beyond the tolerance")
            << "UTC" << QList<int>{-11 * 60}
            << QStringList{"clock_raised|Relógio do controlador 11 min atrasado em relação ao PC (tolerância 10 min)"};
        QTest::newRow("ahead, once, then set right")
            << "UTC" << QList<int>{11 * 60, 12 * 60, 60}
            << QStringList{"clock_raised|Relógio do controlador 11 min adiantado em relação ao PC (tolerância 10 min)",
                           "clock_cleared|Relógio do controlador certo: diferença de 1 min"};
        QTest::newRow("within the tolerance") << "UTC" << QList<int>{10 * 60, -10 * 60} << QStringList{};
        QTest::newRow("local time of a station three hours behind UTC")
            << "America/Sao_Paulo" << QList<int>{0} << QStringList{};
    }

    void clock()
    {
        QFETCH(QString, zone);
        QFETCH(QList<int>, offsets);
        QFETCH(QStringList, expected);
        AlarmFixture fixture(QStringLiteral("[postos]\ndiferença de relógio = 10\n"));
        StationIdentity station = TestStation;
        station.timeZone = zone;
        {
            const std::unique_ptr<HistoryStore> store = fixture.openStore();
            quint64 last = 0;
            for (const int offset : offsets)
                last = store->keepClock(station, clockReading(PcTime, offset, QTimeZone(zone.toUtf8())), PcTime);
            QVERIFY(waitForWritten(*store, last));
        }
        QCOMPARE(fixture.events(), expected);
    }

    // The same fault read again after a restart, or by two programs on one file at once.
    void raisedOnce_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("raised");
        QTest::addColumn<bool>("together");
        const QList<std::pair<Fault, QString>> faults{{Fault::LowLevel, "low_level_raised"},
                                                      {Fault::Leak, "leak_raised"},
                                                      {Fault::Communication, "communication_raised"},
                                                      {Fault::Clock, "clock_raised"}};
        for (const auto &[fault, raised] : faults) {
            QTest::addRow("%s, after a restart", qPrintable(raised)) << fault << raised << false;
            QTest::addRow("%s, two stores at once", qPrintable(raised)) << fault << raised << true;
        }
    }

    void raisedOnce()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, raised);
        QFETCH(bool, together);
        AlarmFixture fixture(Gasoline + "[postos]\nfalhas de comunicação = 1\ndiferença de relógio = 5\n");
        if (together) {
            // Each store has opened the file (the first migrated it) and knows the station before
            // both write at once: from then on each job's first statement takes the write lock,
            // so neither ever has to give up and retry.
            const std::unique_ptr<HistoryStore> first = fixture.openStore();
            QVERIFY(waitForWritten(*first, first->keepEvent(TestStation, EventKind::ConnectionOpened, TestStation.host)));
            const std::unique_ptr<HistoryStore> second = fixture.openStore();
            QVERIFY(waitForWritten(*second, second->keepEvent(TestStation, EventKind::ConnectionOpened, TestStation.host)));
            QSignalSpy firstFailing(first.get(), &HistoryStore::writesFailing);
            QSignalSpy secondFailing(second.get(), &HistoryStore::writesFailing);
            // Followed from the start: waiting for one store lets the other's commits go by.
            quint64 firstWritten = 0;
            quint64 secondWritten = 0;
            connect(first.get(), &HistoryStore::written, this, [&](quint64 sequence) { firstWritten = sequence; });
            connect(second.get(), &HistoryStore::written, this, [&](quint64 sequence) { secondWritten = sequence; });
            quint64 firstLast = 0;
            quint64 secondLast = 0;
            for (int minute = 0; minute < 5; ++minute) {
                firstLast = keepFault(*first, fault, minute);
                secondLast = keepFault(*second, fault, minute + 5);
            }
            QVERIFY(QTest::qWaitFor([&] { return firstWritten >= firstLast && secondWritten >= secondLast; }, 10000));
            QCOMPARE(firstFailing.size() + secondFailing.size(), 0);
        } else {
            for (int run = 0; run < 2; ++run) {
                const std::unique_ptr<HistoryStore> store = fixture.openStore();
                QVERIFY(waitForWritten(*store, keepFault(*store, fault, run)));
            }
        }
        QCOMPARE(fixture.events({raised}).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAlarmRules)
#include "tst_alarm_rules.moc"
