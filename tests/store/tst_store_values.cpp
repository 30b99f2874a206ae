// What each reading becomes in the history, on SQLite and on PostgreSQL: the column values, the readings kept once, the
// inventory lists, the station rows, and the replies kept as events instead of readings.
#include "tests/support/store_test_support.h"
#include "store/store_drain.h"

#include <QTimeZone>
#include <QtTest>

#include <functional>

namespace {

const StationIdentity Centro{QStringLiteral("Posto Centro"), QStringLiteral("10.1.1.1"), QStringLiteral("004512"),
                             QStringLiteral("UTC")};
const StationIdentity Norte{QStringLiteral("Posto Norte"), QStringLiteral("10.1.1.2"), QStringLiteral("007700"),
                            QStringLiteral("UTC")};

using Keep = std::function<quint64(HistoryStore &)>;

// One call to the store: a reply on its own, or an inventory series.
struct Step {
    StationIdentity station;
    QList<MeasurementFrame> frames;
    bool inventory = false;
};

MeasurementFrame tankAt(const QByteArray &tank, const QByteArray &time, const QByteArray &code = "MT")
{
    MeasurementFrame frame;
    frame.code = code;
    frame.tank = tank;
    frame.time = time;
    return frame;
}

// Runs the steps on a fresh store and waits for the last commit.
void keepAll(const DatabaseLocation &location, const QList<Step> &steps)
{
    HistoryStore store(location);
    quint64 last = 0;
    for (const Step &step : steps) {
        QList<MeasurementReading> readings;
        for (const MeasurementFrame &frame : step.frames)
            readings.append(frame.reading());
        last = step.inventory ? store.keepInventory(step.station, readings, Origin::Poll)
                              : store.keepMeasurement(step.station, readings.first(), Origin::Console);
    }
    QVERIFY(waitForWritten(store, last));
}

} // namespace

Q_DECLARE_METATYPE(MeasurementFrame)
Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(StationIdentity)
Q_DECLARE_METATYPE(Keep)

class TestStoreValues : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void measurementColumns_data()
    {
        QTest::addColumn<MeasurementFrame>("frame");
        QTest::addColumn<QString>("zone");
        // unit|measured|complementary|volume20|level_mm|measured_at|command
        QTest::addColumn<QString>("expected");
        const MeasurementFrame plain;
        QTest::newRow("by volume") << plain << "UTC" << "L|12000|18000|11950|1200|2024-03-15T10:00:00Z|MT";
        MeasurementFrame weight = plain;
        weight.mark = 'P';
        QTest::newRow("tank measured by weight") << weight << "UTC" << "kg|12000|18000|11950|1200|2024-03-15T10:00:00Z|MT";
        MeasurementFrame noLevel = plain;
        noLevel.level = "S/Inf.";
        QTest::newRow("level S/Inf.") << noLevel << "UTC" << "L|12000|18000|11950|NULL|2024-03-15T10:00:00Z|MT";
        MeasurementFrame last = plain;
        last.code = "MA";
        last.complementary = "1800\r ";
        QTest::newRow("last MA reply, CR inside the complementary field")
            << last << "UTC" << "L|12000|NULL|11950|1200|2024-03-15T10:00:00Z|MA";
        MeasurementFrame noDate = plain;
        noDate.date = "000000";
        QTest::newRow("date 000000") << noDate << "UTC" << "L|12000|18000|11950|1200|NULL|MT";
        MeasurementFrame notNumbers = plain;
        notNumbers.measured = "  950 ";
        notNumbers.volume20 = "12,5  ";
        notNumbers.code = "LM";
        QTest::newRow("padded number, decimal comma")
            << notNumbers << "UTC" << "L|950|18000|NULL|1200|2024-03-15T10:00:00Z|LM";
        QTest::newRow("station in São Paulo")
            << plain << "America/Sao_Paulo" << "L|12000|18000|11950|1200|2024-03-15T13:00:00Z|MT";
        MeasurementFrame summer = plain;
        summer.date = "150724";
        QTest::newRow("station in Lisbon, summer time")
            << summer << "Europe/Lisbon" << "L|12000|18000|11950|1200|2024-07-15T09:00:00Z|MT";
        MeasurementFrame lateYear = plain;
        lateYear.date = "311299";
        QTest::newRow("year 99 is 2099") << lateYear << "UTC" << "L|12000|18000|11950|1200|2099-12-31T10:00:00Z|MT";
    }
    void measurementColumns()
    {
        QFETCH(MeasurementFrame, frame);
        QFETCH(QString, zone);
        QFETCH(QString, expected);
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        StationIdentity station = Centro;
        station.timeZone = zone;
        keepAll(path, {Step{station, {frame}}});

        const FileInspector file(path);
        QCOMPARE(file.texts(QStringLiteral("SELECT unit, measured, complementary, volume20, level_mm, measured_at, "
                                           "command FROM measurement")),
                 QStringList{expected});
        // The fields every row above shares.
        QCOMPARE(file.texts(QStringLiteral("SELECT tank, product, density, capacity, expansion, origin FROM measurement")),
                 QStringList{"1|GASOLINA C|0.74|30000|0.0012|console"});
        // Numbers stored as numbers: SQLite alone would take text in a number's column.
        if (!onPostgres())
            QCOMPARE(file.texts(QStringLiteral("SELECT typeof(measured), typeof(tank) FROM measurement")),
                     QStringList{"real|integer"});
        const QString received = file.texts(QStringLiteral("SELECT received_at FROM measurement")).value(0);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")).match(received).hasMatch(),
                 qPrintable(received));
        QVERIFY(qAbs(QDateTime::fromString(received, Qt::ISODate).secsTo(QDateTime::currentDateTimeUtc())) < 60);
    }

    void keptOnce_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<int>("measurements");
        const MeasurementFrame first = tankAt("001", "100000");
        const MeasurementFrame memory = tankAt("001", "100000", "LM");
        QTest::newRow("measured, then read from memory") << QList<Step>{{Centro, {first}}, {Centro, {memory}}} << 1;
        QTest::newRow("measured again later") << QList<Step>{{Centro, {first}}, {Centro, {tankAt("001", "110000")}}} << 2;
        QTest::newRow("another tank at the same time")
            << QList<Step>{{Centro, {first}}, {Centro, {tankAt("002", "100000")}}} << 2;
        QTest::newRow("the same reading from another station") << QList<Step>{{Centro, {first}}, {Norte, {first}}} << 2;
        MeasurementFrame undated = first;
        undated.date = "000000";
        // NULL never equals NULL: a reading without a date cannot be recognised as read before.
        QTest::newRow("a reading without a date, twice") << QList<Step>{{Centro, {undated}}, {Centro, {undated}}} << 2;
        const QList<MeasurementFrame> series{tankAt("001", "100000", "MA"), tankAt("002", "100005", "MA"),
                                             tankAt("003", "100010", "MA")};
        QTest::newRow("inventory after one of its tanks was measured")
            << QList<Step>{{Centro, {first}}, {Centro, series, true}} << 3;
        QTest::newRow("the same inventory twice") << QList<Step>{{Centro, series, true}, {Centro, series, true}} << 3;
        QTest::newRow("inventory, then its tank read from memory")
            << QList<Step>{{Centro, series, true}, {Centro, {memory}}} << 3;
    }
    void keptOnce()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(int, measurements);
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        keepAll(path, steps);

        const FileInspector file(path);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(), measurements);
        // Every inventory lists each of its readings, whether it was new or already kept.
        const QList<QVariantList> inventories = file.rows(QStringLiteral("SELECT id FROM inventory ORDER BY id"));
        int inventory = 0;
        for (const Step &step : steps) {
            if (!step.inventory)
                continue;
            QVERIFY(inventory < inventories.size());
            const QString id = inventories[inventory++][0].toString();
            const QStringList listed = file.texts(
                QStringLiteral("SELECT m.tank, m.measured_at FROM inventory_item i JOIN measurement m "
                               "ON m.id = i.measurement_id WHERE i.inventory_id = %1 ORDER BY m.tank")
                    .arg(id));
            QCOMPARE(listed.size(), step.frames.size());
            for (int i = 0; i < listed.size(); ++i) {
                QCOMPARE(listed[i], QStringLiteral("%1|2024-03-15T%2:%3:%4Z")
                                        .arg(completeNumber(QString::fromLatin1(step.frames[i].tank)).value())
                                        .arg(QString::fromLatin1(step.frames[i].time.left(2)),
                                             QString::fromLatin1(step.frames[i].time.mid(2, 2)),
                                             QString::fromLatin1(step.frames[i].time.mid(4))));
            }
        }
        QCOMPARE(inventory, inventories.size());
    }

    // A reply whose check byte did not match is an event, never a reading; the rest of its series
    // is kept.
    void badCheckByte_data()
    {
        QTest::addColumn<Keep>("keep");
        QTest::addColumn<int>("measurements");
        QTest::addColumn<int>("listed");  // inventory items
        QTest::addColumn<int>("sensorRows");
        QTest::addColumn<int>("scheduledRows");
        MeasurementFrame spoiled;
        spoiled.goodCheckByte = false;
        QTest::newRow("measurement") << Keep([=](HistoryStore &s) {
            return s.keepMeasurement(Centro, spoiled.reading(), Origin::Console);
        }) << 0 << 0 << 0 << 0;
        QTest::newRow("one reply of an inventory") << Keep([=](HistoryStore &s) {
            MeasurementFrame other = tankAt("002", "100000", "MA");
            return s.keepInventory(Centro, {tankAt("001", "100000", "MA").reading(), spoiled.reading(), other.reading()},
                                   Origin::Console);
        }) << 2 << 2 << 0 << 0;
        QTest::newRow("sensors") << Keep([](HistoryStore &s) {
            SensorReading sensors;
            sensors.states = QStringLiteral("2222");
            sensors.count = 4;
            sensors.checkByteMatches = false;
            return s.keepSensors(Centro, sensors);
        }) << 0 << 0 << 0 << 0;
        QTest::newRow("one record of a scheduled series") << Keep([](HistoryStore &s) {
            ScheduledReading good{QStringLiteral("060000"), QStringLiteral("150324"), QStringLiteral("018900"),
                                  QStringLiteral("001"), true, true};
            ScheduledReading bad = good;
            bad.tank = QStringLiteral("002");
            bad.checkByteMatches = false;
            return s.keepScheduled(Centro, {good, bad});
        }) << 0 << 0 << 0 << 1;
        QTest::newRow("error reply") << Keep([](HistoryStore &s) {
            return s.keepErrorReply(Centro, ErrorReply{QStringLiteral("MT"), QStringLiteral("NH"),
                                                       errorReplyText(QStringLiteral("NH")), false});
        }) << 0 << 0 << 0 << 0;
    }
    void badCheckByte()
    {
        QFETCH(Keep, keep);
        QFETCH(int, measurements);
        QFETCH(int, listed);
        QFETCH(int, sensorRows);
        QFETCH(int, scheduledRows);
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        {
            HistoryStore store(path);
            QVERIFY(waitForWritten(store, keep(store)));
        }
        const FileInspector file(path);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(), measurements);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory_item")).toInt(), listed);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM sensor_reading")).toInt(), sensorRows);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM scheduled_measurement")).toInt(), scheduledRows);
        const QList<QVariantList> events = file.rows(QStringLiteral("SELECT kind, station_id, detail FROM event"));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0][0].toString(), QStringLiteral("bad_check_byte"));
        QCOMPARE(events[0][1].toInt(), 1);
        QVERIFY(!events[0][2].toString().isEmpty());
    }

    void stations_data()
    {
        QTest::addColumn<QList<StationIdentity>>("identities");
        QTest::addColumn<QStringList>("rows");  // description|host|ofe|time_zone, by id
        const QString pc = QString::fromUtf8(QTimeZone::systemTimeZoneId());
        const StationIdentity byHost{QStringLiteral("Posto A"), QStringLiteral("10.0.0.1"), {}, {}};
        StationIdentity numbered = byHost;
        numbered.ofe = QStringLiteral("123456");
        QTest::newRow("address first, then its OFE number")
            << QList<StationIdentity>{byHost, numbered} << QStringList{"Posto A|10.0.0.1|123456|" + pc};
        StationIdentity renamed = numbered;
        renamed.description = QStringLiteral("Posto Centro");
        QTest::newRow("renamed in the station list")
            << QList<StationIdentity>{numbered, renamed} << QStringList{"Posto Centro|10.0.0.1|123456|" + pc};
        StationIdentity moved = numbered;
        moved.host = QStringLiteral("10.0.0.9");
        // The first host answered with the number just now: the second is another controller.
        QTest::newRow("the number at a new address while the first still answers")
            << QList<StationIdentity>{numbered, moved}
            << QStringList{"Posto A|10.0.0.1|123456|" + pc, "Posto A|10.0.0.9|NULL|" + pc};
        StationIdentity replaced = numbered;
        replaced.ofe = QStringLiteral("654321");
        QTest::newRow("another controller at the same address")
            << QList<StationIdentity>{numbered, replaced}
            << QStringList{"Posto A|10.0.0.1|123456|" + pc, "Posto A|10.0.0.1|654321|" + pc};
        QTest::newRow("address only, once the number is known")
            << QList<StationIdentity>{numbered, byHost} << QStringList{"Posto A|10.0.0.1|123456|" + pc};
        StationIdentity padded = numbered;
        padded.ofe = QStringLiteral(" 123456 ");
        QTest::newRow("number with blanks") << QList<StationIdentity>{numbered, padded}
                                            << QStringList{"Posto A|10.0.0.1|123456|" + pc};
        StationIdentity zoned = numbered;
        zoned.timeZone = QStringLiteral("America/Manaus");
        QTest::newRow("zone given, then left empty")
            << QList<StationIdentity>{zoned, numbered} << QStringList{"Posto A|10.0.0.1|123456|America/Manaus"};
        QTest::newRow("no address, no number") << QList<StationIdentity>{StationIdentity{}} << QStringList{};
        // comzelta-cli dialled by address: no description, which must not replace the listed one.
        StationIdentity dialled = numbered;
        dialled.description.clear();
        QTest::newRow("dialled by its address keeps its name")
            << QList<StationIdentity>{numbered, dialled} << QStringList{"Posto A|10.0.0.1|123456|" + pc};
        const StationIdentity unnamed{{}, QStringLiteral("10.0.0.7"), {}, {}};
        const StationIdentity named{QStringLiteral("Posto Sete"), QStringLiteral("10.0.0.7"), {}, {}};
        QTest::newRow("first seen by its address") << QList<StationIdentity>{unnamed} << QStringList{"10.0.0.7|10.0.0.7|NULL|" + pc};
        QTest::newRow("named, then dialled by its address")
            << QList<StationIdentity>{unnamed, named, unnamed} << QStringList{"Posto Sete|10.0.0.7|NULL|" + pc};
    }
    void stations()
    {
        QFETCH(QList<StationIdentity>, identities);
        QFETCH(QStringList, rows);
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        {
            HistoryStore store(path);
            quint64 last = 0;
            for (const StationIdentity &identity : identities)
                last = store.keepEvent(identity, EventKind::ConnectionOpened, QStringLiteral("conectado"));
            QVERIFY(waitForWritten(store, last));
        }
        const FileInspector file(path);
        QCOMPARE(file.texts(QStringLiteral("SELECT description, host, ofe, time_zone FROM station ORDER BY id")), rows);
        // Each event belongs to the row its identity matched when it was written, or to none.
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'connection_opened'")).toInt(),
                 identities.size());
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE station_id IS NULL")).toInt(),
                 rows.isEmpty() ? identities.size() : 0);
    }

    void sameNumberAtTwoHosts_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<int>("holderSilentDays");  // set after the first call; -1: as written
        QTest::addColumn<QList<StationIdentity>>("calls");  // one reading each, at times of their own
        QTest::addColumn<QStringList>("stations");   // host|ofe|shared_ofe|readings, by id
        QTest::addColumn<QStringList>("conflicts");  // host|detail of the ofe_conflict events

        const StationIdentity a{QStringLiteral("Posto A"), QStringLiteral("10.2.0.1"), QStringLiteral("123456"),
                                QStringLiteral("UTC")};
        StationIdentity b = a;
        b.description = QStringLiteral("Posto B");
        b.host = QStringLiteral("10.2.0.2");
        StationIdentity c = a;
        c.description = QStringLiteral("Posto C");
        c.host = QStringLiteral("10.2.0.3");
        StationIdentity bBeforeItsNumber = b;
        bBeforeItsNumber.ofe.clear();
        const QStringList both{a.host, b.host};
        const QString bApart = QStringLiteral("10.2.0.2|OFE 123456 já é do posto em 10.2.0.1: leituras de 10.2.0.2 "
                                              "mantidas à parte");

        QTest::newRow("both hosts listed") << both << -1 << QList<StationIdentity>{a, b}
                                           << QStringList{"10.2.0.1|123456|NULL|1", "10.2.0.2|NULL|123456|1"}
                                           << QStringList{bApart};
        QTest::newRow("holder unlisted, heard 29 days ago")
            << QStringList{} << 29 << QList<StationIdentity>{a, b}
            << QStringList{"10.2.0.1|123456|NULL|1", "10.2.0.2|NULL|123456|1"} << QStringList{bApart};
        QTest::newRow("holder unlisted, silent for 31 days: the controller moved")
            << QStringList{b.host} << 31 << QList<StationIdentity>{a, b} << QStringList{"10.2.0.2|123456|NULL|2"}
            << QStringList{};
        QTest::newRow("holder listed, silent for 31 days")
            << QStringList{a.host} << 31 << QList<StationIdentity>{a, b}
            << QStringList{"10.2.0.1|123456|NULL|1", "10.2.0.2|NULL|123456|1"} << QStringList{bApart};
        QTest::newRow("the second host again") << both << -1 << QList<StationIdentity>{a, b, b}
                                               << QStringList{"10.2.0.1|123456|NULL|1", "10.2.0.2|NULL|123456|2"}
                                               << QStringList{bApart};
        QTest::newRow("the holder again") << both << -1 << QList<StationIdentity>{a, b, a}
                                          << QStringList{"10.2.0.1|123456|NULL|2", "10.2.0.2|NULL|123456|1"}
                                          << QStringList{bApart};
        QTest::newRow("the second host seen before its number came")
            << both << -1 << QList<StationIdentity>{a, bBeforeItsNumber, b}
            << QStringList{"10.2.0.1|123456|NULL|1", "10.2.0.2|NULL|123456|2"} << QStringList{bApart};
        QTest::newRow("a third host, unlisted") << both << -1 << QList<StationIdentity>{a, b, c}
                                                << QStringList{"10.2.0.1|123456|NULL|1", "10.2.0.2|NULL|123456|1",
                                                               "10.2.0.3|NULL|123456|1"}
                                                << QStringList{bApart, "10.2.0.3|OFE 123456 já é do posto em 10.2.0.1: "
                                                                       "leituras de 10.2.0.3 mantidas à parte"};
        QTest::newRow("moved, then the old host answers")
            << QStringList{} << 31 << QList<StationIdentity>{a, b, a}
            << QStringList{"10.2.0.2|123456|NULL|2", "10.2.0.1|NULL|123456|1"}
            << QStringList{"10.2.0.1|OFE 123456 já é do posto em 10.2.0.2: leituras de 10.2.0.1 mantidas à parte"};
    }
    // Two controllers giving one OFE number: each keeps its station and every reading, and the
    // conflict is recorded once, unless the number's first host is gone.
    void sameNumberAtTwoHosts()
    {
        QFETCH(QStringList, listed);
        QFETCH(int, holderSilentDays);
        QFETCH(QList<StationIdentity>, calls);
        QFETCH(QStringList, stations);
        QFETCH(QStringList, conflicts);
        const TestHistory history;
        QStringList noticed;
        {
            HistoryStoreOptions options;
            options.listedHosts = listed;
            HistoryStore store(history.location(), options);
            QSignalSpy conflictSpy(&store, &HistoryStore::ofeConflict);
            for (int i = 0; i < calls.size(); ++i) {
                const MeasurementReading reading = tankAt("001", "1000" + QByteArray::number(10 + i)).reading();
                QVERIFY(waitForWritten(store, store.keepMeasurement(calls[i], reading, Origin::Poll)));
                if (i == 0 && holderSilentDays >= 0) {
                    const QDateTime heard = QDateTime::currentDateTimeUtc().addDays(-holderSilentDays);
                    QVERIFY(runStatements(history.location(),
                                          {QStringLiteral("UPDATE station SET ofe_heard_at = '%1'")
                                               .arg(heard.toString(Qt::ISODate))}));
                }
            }
            for (const QList<QVariant> &signal : std::as_const(conflictSpy)) {
                const auto notice = signal.first().value<AlarmNotice>();
                noticed << notice.host + QLatin1Char('|') + notice.detail;
            }
        }
        const FileInspector file(history.location());
        QCOMPARE(file.texts(QStringLiteral("SELECT s.host, s.ofe, s.shared_ofe, COUNT(m.id) FROM station s "
                                           "LEFT JOIN measurement m ON m.station_id = s.id "
                                           "GROUP BY s.id, s.host, s.ofe, s.shared_ofe ORDER BY s.id")),
                 stations);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(), calls.size());
        const QStringList recorded = file.texts(QStringLiteral("SELECT s.host, e.detail FROM event e JOIN station s "
                                                               "ON s.id = e.station_id WHERE e.kind = 'ofe_conflict' "
                                                               "ORDER BY e.id"));
        QCOMPARE(recorded, conflicts);
        QCOMPARE(noticed, conflicts);
    }

    void twoWritersMeetNewStations_data()
    {
        QTest::addColumn<bool>("withNumbers");
        QTest::newRow("known by their OFE numbers") << true;
        QTest::newRow("known by host only") << false;
    }
    // Two programs open a new history at once and meet the same new controllers: one schema, one
    // row per controller, and every event of both kept.
    void twoWritersMeetNewStations()
    {
        QFETCH(bool, withNumbers);
        constexpr int Controllers = 30;
        const TestHistory history;
        {
            HistoryStore first(history.location());
            HistoryStore second(history.location());
            StoreDrain firstDrain(&first);
            StoreDrain secondDrain(&second);
            QSignalSpy firstDrained(&firstDrain, &StoreDrain::drained);
            QSignalSpy secondDrained(&secondDrain, &StoreDrain::drained);
            quint64 lastOfFirst = 0;
            quint64 lastOfSecond = 0;
            for (int i = 0; i < Controllers; ++i) {
                const StationIdentity identity{QStringLiteral("Posto %1").arg(i), QStringLiteral("10.0.1.%1").arg(i),
                                               withNumbers ? QString::number(7000 + i) : QString(), {}};
                lastOfFirst = first.keepEvent(identity, EventKind::ConnectionOpened, QStringLiteral("primeiro"));
                lastOfSecond = second.keepEvent(identity, EventKind::ConnectionOpened, QStringLiteral("segundo"));
            }
            firstDrain.waitFor(lastOfFirst);
            secondDrain.waitFor(lastOfSecond);
            QTRY_VERIFY_WITH_TIMEOUT(firstDrained.size() == 1 && secondDrained.size() == 1, 20000);
            QVERIFY(!first.writesAreFailing() && !second.writesAreFailing());
        }
        const FileInspector file(history.location());
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM station")).toInt(), Controllers);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE station_id IS NOT NULL")).toInt(),
                 2 * Controllers);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'readings_dropped'")).toInt(), 0);
    }

    void sensorsSchedulesAndErrors()
    {
        const TestHistory history;
        const DatabaseLocation &path = history.location();
        {
            HistoryStore store(path);
            SensorReading sensors;
            sensors.states = QStringLiteral("2232222400000000" "1222");
            sensors.count = 20;
            sensors.bar1Active = true;
            store.keepSensors(Centro, sensors);
            const ScheduledReading six{QStringLiteral("060000"), QStringLiteral("150324"), QStringLiteral("018900"),
                                       QStringLiteral("001"), true, true};
            ScheduledReading noon = six;
            noon.time = QStringLiteral("120000");
            noon.volume = QStringLiteral("S/Inf.");
            ScheduledReading undated = six;
            undated.date = QStringLiteral("000000");
            store.keepScheduled(Centro, {six, noon, undated});
            store.keepScheduled(Centro, {six});  // the same date asked for again
            QVERIFY(waitForWritten(store, store.keepErrorReply(Centro, ErrorReply{QStringLiteral("LM"),
                                                                                 QStringLiteral("SL"),
                                                                                 errorReplyText(QStringLiteral("SL")),
                                                                                 true})));
        }
        const FileInspector file(path);
        QCOMPARE(file.texts(QStringLiteral("SELECT bar1_active, bar2_active, states FROM sensor_reading")),
                 QStringList{"1|0|NNVNNNNA--------CNNN"});
        QCOMPARE(file.texts(QStringLiteral("SELECT tank, volume, measured_at FROM scheduled_measurement "
                                           "ORDER BY measured_at IS NULL, measured_at")),
                 (QStringList{"1|18900|2024-03-15T06:00:00Z", "1|NULL|2024-03-15T12:00:00Z", "1|18900|NULL"}));
        QCOMPARE(file.texts(QStringLiteral("SELECT kind, detail FROM event")),
                 QStringList{QStringLiteral("error_reply|LM SL: Não há medições para a data !")});
    }
};

QTEST_GUILESS_MAIN(TestStoreValues)
#include "tst_store_values.moc"
