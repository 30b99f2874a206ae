// The history window's questions: stations, tanks and products, a tank's series, the totals of a
// product, the rows behind them, the same answered by HistoryReader off this thread, and the
// reduction of a series to a chart's width.
#include "store/history_file.h"
#include "store/history_reader.h"
#include "store/point_reduction.h"
#include "tests/support/store_test_support.h"

#include <QFileInfo>
#include <QtTest>

namespace {

const StationIdentity Centro{QStringLiteral("Posto Centro"), QStringLiteral("10.4.4.4"), QStringLiteral("001100"),
                             QStringLiteral("UTC")};
const StationIdentity Avenida{QStringLiteral("Posto Avenida"), QStringLiteral("10.4.4.5"), QStringLiteral("001200"),
                              QStringLiteral("UTC")};
const StationIdentity Rodovia{QStringLiteral("Posto Rodovia"), QStringLiteral("10.4.4.6"), QStringLiteral("001300"),
                              QStringLiteral("UTC")};

MeasurementFrame reading(const QByteArray &tank, const QByteArray &product, const QByteArray &measured,
                         const QByteArray &hour)
{
    MeasurementFrame frame;
    frame.tank = tank;
    frame.product = product.leftJustified(11, ' ');
    frame.measured = measured;
    frame.level = measured;  // so the level series follows the volume
    frame.time = hour + "0000";
    frame.date = "010324";
    return frame;
}

// 1 March 2024 at hour:minute UTC; hour 24 is the next midnight.
QDateTime at(int hour, int minute = 0)
{
    return QDateTime(QDate(2024, 3, 1), QTime(0, 0), QTimeZone::utc()).addSecs(hour * 3600 + minute * 60);
}

// Tanks 1 and 2 hold gasoline, tank 3 diesel; tank 2 takes a delivery at 10:00 and holds
// ethanol from 11:00; tank 1 has no volume at 12:00, and a reading without a date.
void keepScenario(const DatabaseLocation &location)
{
    HistoryStore store(location);
    store.keepInventory(Centro,
                        {reading("001", "GASOLINA", "001000", "08").reading(),
                         reading("002", "GASOLINA", "002000", "08").reading(),
                         reading("003", "DIESEL", "000500", "08").reading()},
                        Origin::Console);
    store.keepMeasurement(Centro, reading("001", "GASOLINA", "000900", "09").reading(), Origin::Console);
    store.keepMeasurement(Centro, reading("002", "GASOLINA", "005000", "10").reading(), Origin::Console);
    store.keepMeasurement(Centro, reading("003", "DIESEL", "000450", "10").reading(), Origin::Console);
    store.keepMeasurement(Centro, reading("002", "ETANOL", "003000", "11").reading(), Origin::Console);
    store.keepMeasurement(Centro, reading("001", "GASOLINA", "S/Inf.", "12").reading(), Origin::Console);
    MeasurementFrame undated = reading("001", "GASOLINA", "000100", "13");
    undated.date = "000000";
    store.keepMeasurement(Centro, undated.reading(), Origin::Console);
    store.keepEvent(Centro, EventKind::ConnectionLost, QStringLiteral("queda"));
    store.keepEvent(StationIdentity{}, EventKind::ReadingsDropped, QStringLiteral("3 leituras"));
    store.keepEvent(Avenida, EventKind::ConnectionOpened, QStringLiteral("conectado"));
    // Station 3: tank 1 measured alone at 07:00, before the first inventory of both gasoline tanks.
    store.keepMeasurement(Rodovia, reading("001", "GASOLINA", "018250", "07").reading(), Origin::Console);
    store.keepInventory(Rodovia,
                        {reading("001", "GASOLINA", "018250", "08").reading(),
                         reading("002", "GASOLINA", "004100", "08").reading()},
                        Origin::Console);
    QVERIFY(waitForWritten(
        store, store.keepMeasurement(Rodovia, reading("002", "GASOLINA", "004000", "09").reading(), Origin::Console)));
}

QString pointsText(const SeriesPoints &points)
{
    QStringList texts;
    for (const SeriesPoint &point : points)
        texts.append(QStringLiteral("%1=%2")
                         .arg(QDateTime::fromMSecsSinceEpoch(point.atMs, QTimeZone::utc()).toString(QStringLiteral("HH:mm")))
                         .arg(point.value));
    return texts.join(QLatin1Char(' '));
}

QString rowsText(const RowsPage &page)
{
    QStringList texts{QStringLiteral("%1/%2").arg(page.offset).arg(page.total)};
    for (const StoredMeasurement &row : page.rows)
        texts.append(QStringLiteral("%1:%2:%3:%4")
                         .arg(row.tank)
                         .arg(row.product, row.measuredAt.toString(QStringLiteral("HH:mm")),
                              row.measured ? QString::number(*row.measured) : QStringLiteral("NULL")));
    return texts.join(QLatin1Char(' '));
}

SeriesPoints flatWith(int count, const QList<QPair<int, double>> &changes)
{
    SeriesPoints points;
    for (int i = 0; i < count; ++i)
        points.append(SeriesPoint{i * 1000, 10.0});
    for (const auto &change : changes)
        points[change.first].value = change.second;
    return points;
}

} // namespace

Q_DECLARE_METATYPE(SeriesRequest)
Q_DECLARE_METATYPE(SeriesPoints)

class TestStoreQueries : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHistory> history_;

    SeriesRequest request(std::optional<int> tank, const QString &product, QDateTime from, QDateTime to,
                          SeriesValue value = SeriesValue::Measured, qint64 station = 1) const
    {
        return SeriesRequest{station, tank, product, from, to, value};
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        history_ = std::make_unique<TestHistory>();
        keepScenario(history_->location());
        QVERIFY(openForReading(QStringLiteral("queries"), history_->location(), 1000).ok());
    }
    void cleanupTestCase() { closeConnection(QStringLiteral("queries")); }

    void stationsAndContents()
    {
        const QSqlDatabase db = QSqlDatabase::database(QStringLiteral("queries"), false);
        const Result<QList<StoredStation>, QSqlError> stations = queryStations(db);
        QVERIFY2(stations, qPrintable(stations ? QString() : stations.error().text()));
        QCOMPARE(stations->size(), 3);
        QCOMPARE(stations->at(0).description, QStringLiteral("Posto Avenida"));
        QCOMPARE(stations->at(1).id, 1);
        QCOMPARE(stations->at(1).ofe, QStringLiteral("001100"));
        QCOMPARE(stations->at(1).timeZone, QStringLiteral("UTC"));

        const Result<StationContents, QSqlError> contents = queryStationContents(db, 1);
        QVERIFY2(contents, qPrintable(contents ? QString() : contents.error().text()));
        QStringList tanks;
        for (const StoredTank &tank : contents->tanks)
            tanks.append(QStringLiteral("%1:%2:%3").arg(tank.tank).arg(tank.product, tank.unit));
        QCOMPARE(tanks, (QStringList{"1:GASOLINA:L", "2:ETANOL:L", "3:DIESEL:L"}));
        QCOMPARE(contents->products, (QStringList{"DIESEL", "ETANOL", "GASOLINA"}));
        QCOMPARE(queryStationContents(db, 2)->tanks.size(), 0);
    }

    void series_data()
    {
        QTest::addColumn<SeriesRequest>("asked");
        QTest::addColumn<QString>("points");
        QTest::newRow("tank 1, the day") << request(1, {}, at(0), at(24)) << "08:00=1000 09:00=900";
        QTest::newRow("tank 1, from included, to excluded") << request(1, {}, at(9), at(12)) << "09:00=900";
        QTest::newRow("tank 2, level") << request(2, {}, at(0), at(24), SeriesValue::LevelMm)
                                       << "08:00=2000 10:00=5000 11:00=3000";
        QTest::newRow("tank 2, volume at 20 °C") << request(2, {}, at(0), at(24), SeriesValue::Volume20)
                                                 << "08:00=11950 10:00=11950 11:00=11950";
        QTest::newRow("empty period") << request(1, {}, at(14), at(24)) << "";
        // The delivery into tank 2 is a step up; tank 2 leaves the total when it holds ethanol.
        QTest::newRow("gasoline totals, the day") << request({}, "GASOLINA", at(0), at(24))
                                                  << "08:00=3000 09:00=2900 10:00=5900 11:00=900";
        QTest::newRow("gasoline totals, tanks read before the period count")
            << request({}, "GASOLINA", at(9, 30), at(24)) << "10:00=5900 11:00=900";
        QTest::newRow("diesel totals") << request({}, "DIESEL", at(0), at(24)) << "08:00=500 10:00=450";
        QTest::newRow("a product no tank holds") << request({}, "QUEROSENE", at(0), at(24)) << "";
        // Tanks read at different times: a total only once every tank of the product has a value.
        const SeriesValue measured = SeriesValue::Measured;
        QTest::newRow("one tank read alone before the others is no total")
            << request({}, "GASOLINA", at(0), at(24), measured, 3) << "08:00=22350 09:00=22250";
        QTest::newRow("the lone reading inside a period whose other tank comes later")
            << request({}, "GASOLINA", at(6), at(8), measured, 3) << "";
        QTest::newRow("tanks read before the period complete the first total")
            << request({}, "GASOLINA", at(8, 30), at(24), measured, 3) << "09:00=22250";
    }
    void series()
    {
        QFETCH(SeriesRequest, asked);
        QFETCH(QString, points);
        const Result<SeriesPoints, QSqlError> found =
            querySeries(QSqlDatabase::database(QStringLiteral("queries"), false), asked);
        QVERIFY2(found, qPrintable(found ? QString() : found.error().text()));
        QCOMPARE(pointsText(*found), points);
    }

    void rows_data()
    {
        QTest::addColumn<SeriesRequest>("asked");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("page");
        QTest::newRow("tank 1, whole") << request(1, {}, at(0), at(24)) << 0 << 50
                                       << "0/3 1:GASOLINA:08:00:1000 1:GASOLINA:09:00:900 1:GASOLINA:12:00:NULL";
        QTest::newRow("tank 1, second page of one") << request(1, {}, at(0), at(24)) << 1 << 1
                                                    << "1/3 1:GASOLINA:09:00:900";
        QTest::newRow("gasoline rows") << request({}, "GASOLINA", at(0), at(24)) << 0 << 50
                                       << "0/5 1:GASOLINA:08:00:1000 2:GASOLINA:08:00:2000 1:GASOLINA:09:00:900 "
                                          "2:GASOLINA:10:00:5000 1:GASOLINA:12:00:NULL";
        QTest::newRow("past the end") << request(3, {}, at(0), at(24)) << 5 << 10 << "5/2";
    }
    void rows()
    {
        QFETCH(SeriesRequest, asked);
        QFETCH(int, offset);
        QFETCH(int, limit);
        QFETCH(QString, page);
        const Result<RowsPage, QSqlError> found =
            queryRows(QSqlDatabase::database(QStringLiteral("queries"), false), asked, offset, limit);
        QVERIFY2(found, qPrintable(found ? QString() : found.error().text()));
        QCOMPARE(rowsText(*found), page);
    }

    // Events carry the PC's time: the station's own, and those of no station.
    void events()
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QSqlDatabase db = QSqlDatabase::database(QStringLiteral("queries"), false);
        const Result<QList<StoredEvent>, QSqlError> recent = queryEvents(db, 1, now.addSecs(-3600), now.addSecs(3600));
        QVERIFY2(recent, qPrintable(recent ? QString() : recent.error().text()));
        QStringList kinds;
        for (const StoredEvent &event : *recent) {
            kinds.append(event.kind + QLatin1Char(':') + event.detail);
            QVERIFY(qAbs(event.at.secsTo(now)) < 600);
        }
        QCOMPARE(kinds, (QStringList{"connection_lost:queda", "readings_dropped:3 leituras"}));
        QCOMPARE(queryEvents(db, 1, at(0), at(24))->size(), 0);
    }

    // The reader gives the same answers, by signal, in the order asked.
    void readerAnswers()
    {
        HistoryReader reader(history_->location());
        QList<int> order;
        QString series;
        QString rows;
        int contentsTanks = -1;
        connect(&reader, &HistoryReader::stationContentsReady, this, [&](int id, const StationContents &contents) {
            order.append(id);
            contentsTanks = int(contents.tanks.size());
        });
        connect(&reader, &HistoryReader::seriesReady, this, [&](int id, const SeriesPoints &points) {
            order.append(id);
            series = pointsText(points);
        });
        connect(&reader, &HistoryReader::rowsReady, this, [&](int id, const RowsPage &page) {
            order.append(id);
            rows = rowsText(page);
        });
        QSignalSpy failed(&reader, &HistoryReader::queryFailed);
        const int first = reader.requestStationContents(1);
        const int second = reader.requestSeries(request({}, "GASOLINA", at(0), at(24)));
        const int third = reader.requestRows(request(1, {}, at(0), at(24)), 1, 1);
        QVERIFY(QTest::qWaitFor([&] { return order.size() == 3; }, 10000));
        QCOMPARE(order, (QList<int>{first, second, third}));
        QCOMPARE(contentsTanks, 3);
        QCOMPARE(series, QStringLiteral("08:00=3000 09:00=2900 10:00=5900 11:00=900"));
        QCOMPARE(rows, QStringLiteral("1/3 1:GASOLINA:09:00:900"));
        QVERIFY(failed.isEmpty());
    }

    // No file yet, or a database no program has written to. On PostgreSQL this empties the
    // scenario's database, so it comes after every case that reads it.
    void readerWithoutHistory()
    {
        closeConnection(QStringLiteral("queries"));
        history_.reset();
        const TestHistory empty;
        HistoryReader reader(empty.location());
        QSignalSpy stations(&reader, &HistoryReader::stationsReady);
        QSignalSpy failed(&reader, &HistoryReader::queryFailed);
        reader.requestStations();
        QVERIFY(stations.wait(10000));
        QVERIFY(stations.first().last().value<QList<StoredStation>>().isEmpty());
        QVERIFY(failed.isEmpty());
        // Asking creates nothing.
        if (empty.location().isPostgres())
            QCOMPARE(FileInspector(empty.location())
                         .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables "
                                                "WHERE table_schema = 'public'"))
                         .toInt(),
                     0);
        else
            QVERIFY(QDir(QFileInfo(empty.location().filePath).path()).isEmpty());
    }

    void reduction_data()
    {
        QTest::addColumn<SeriesPoints>("points");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("expectedSize");  // -1: at most two per column, checked below
        QTest::newRow("already small") << flatWith(10, {{3, 12.0}}) << 5 << 10;
        QTest::newRow("a spike and a dip inside one column") << flatWith(10000, {{4321, 99.0}, {4322, -5.0}}) << 100 << -1;
        QTest::newRow("highest before lowest in a column") << flatWith(1000, {{10, 50.0}, {12, 1.0}}) << 10 << -1;
        SeriesPoints delivery = flatWith(5000, {});
        for (int i = 2500; i < 5000; ++i)
            delivery[i].value = 80.0;
        QTest::newRow("a delivery, step up") << delivery << 50 << -1;
        SeriesPoints decline;
        for (int i = 0; i < 87600; ++i)
            decline.append(SeriesPoint{qint64(i) * 3600000, 30000.0 - i % 720 * 40.0});
        QTest::newRow("ten years of hourly readings on 800 pixels") << decline << 800 << -1;
    }
    void reduction()
    {
        QFETCH(SeriesPoints, points);
        QFETCH(int, columns);
        QFETCH(int, expectedSize);
        const qint64 from = points.first().atMs;
        const qint64 to = points.last().atMs + 1;
        const SeriesPoints reduced = reducedToColumns(points, from, to, columns);
        if (expectedSize >= 0) {
            QCOMPARE(reduced.size(), expectedSize);
            return;
        }
        QVERIFY(reduced.size() <= 2 * columns);
        // Each column keeps exactly its lowest and highest value, in time order.
        QHash<qint64, QList<double>> kept;
        for (qsizetype i = 0; i < reduced.size(); ++i) {
            if (i > 0)
                QVERIFY(reduced[i - 1].atMs < reduced[i].atMs);
            kept[qint64(double(reduced[i].atMs - from) / double(to - from) * columns)].append(reduced[i].value);
        }
        QHash<qint64, QPair<double, double>> expected;
        for (const SeriesPoint &point : points) {
            const qint64 column = qint64(double(point.atMs - from) / double(to - from) * columns);
            auto it = expected.find(column);
            if (it == expected.end())
                expected.insert(column, {point.value, point.value});
            else
                *it = {std::min(it->first, point.value), std::max(it->second, point.value)};
        }
        QCOMPARE(kept.size(), expected.size());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QList<double> values = kept.value(it.key());
            QVERIFY(values.size() == 1 || values.size() == 2);
            QCOMPARE(*std::min_element(values.begin(), values.end()), it->first);
            QCOMPARE(*std::max_element(values.begin(), values.end()), it->second);
        }
    }

    void reductionClampsOutsidePoints()
    {
        const SeriesPoints points{{-5000, 1.0}, {0, 2.0}, {500, 3.0}, {999, 4.0}, {5000, 9.0}};
        const SeriesPoints reduced = reducedToColumns(points, 0, 1000, 2);
        QCOMPARE(reduced.size(), 4);
        QCOMPARE(reduced.first().atMs, -5000);
        QCOMPARE(reduced.last().value, 9.0);
    }
};

QTEST_GUILESS_MAIN(TestStoreQueries)
#include "tst_store_queries.moc"
