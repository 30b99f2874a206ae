// Deliveries found in the volumes at 20 °C as the store writes them: a rise that persists over
// the next reading, merged into one however many readings it spans, recorded once.
#include "alarm_test_support.h"

#include <QSignalSpy>
#include <QtTest>

class TestDeliveries : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void deliveries_data()
    {
        QTest::addColumn<QList<int>>("volumes");  // one reading every 10 minutes from 08:00
        QTest::addColumn<bool>("keptAgain");      // the whole series again, as an inventory
        QTest::addColumn<QStringList>("expected");  // start-end amount
        QTest::newRow("rise over several readings merged into one")
            << QList<int>{2500, 2400, 5000, 7500, 9000, 9000, 8900} << false << QStringList{"08:10-08:40 6600"};
        QTest::newRow("sales right after still confirm it")
            << QList<int>{3000, 8000, 7900} << false << QStringList{"08:00-08:10 5000"};
        QTest::newRow("a single high reading that falls back") << QList<int>{5000, 5000, 9000, 5000, 5000} << false
                                                               << QStringList{};
        QTest::newRow("not confirmed until the next reading") << QList<int>{5000, 9000} << false << QStringList{};
        QTest::newRow("rising but below the minimum") << QList<int>{3000, 3300, 3499, 3499} << false << QStringList{};
        QTest::newRow("falls back below the minimum next")
            << QList<int>{3000, 4000, 3400} << false << QStringList{};
        QTest::newRow("two deliveries") << QList<int>{2000, 6000, 6000, 5800, 9000, 8990} << false
                                        << QStringList{"08:00-08:10 4000", "08:30-08:40 3200"};
        QTest::newRow("series read again by another program")
            << QList<int>{2500, 5000, 7500, 7400} << true << QStringList{"08:00-08:20 5000"};
    }

    void deliveries()
    {
        QFETCH(QList<int>, volumes);
        QFETCH(bool, keptAgain);
        QFETCH(QStringList, expected);
        AlarmFixture fixture(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"));
        QList<MeasurementReading> readings;
        for (int i = 0; i < volumes.size(); ++i)
            readings << tankReading(i * 10, volumes[i]);
        {
            const std::unique_ptr<HistoryStore> store = fixture.openStore();
            QSignalSpy notices(store.get(), &HistoryStore::alarmChanged);
            quint64 last = 0;
            for (const MeasurementReading &reading : std::as_const(readings))
                last = store->keepMeasurement(TestStation, reading, Origin::Poll);
            if (keptAgain)
                last = store->keepInventory(TestStation, readings, Origin::Console);
            QVERIFY(waitForWritten(*store, last));
            QCOMPARE(notices.size(), expected.size());
        }
        // "HH:MM-HH:MM amount", the amount cut to a whole number.
        QStringList found;
        for (const QString &row : FileInspector(fixture.location())
                                      .texts(QStringLiteral("SELECT started_at, ended_at, amount FROM delivery "
                                                            "ORDER BY started_at"))) {
            const QStringList columns = row.split(QLatin1Char('|'));
            found << QStringLiteral("%1-%2 %3").arg(columns[0].mid(11, 5), columns[1].mid(11, 5)).arg(int(columns[2].toDouble()));
        }
        QCOMPARE(found, expected);
        QCOMPARE(fixture.events().size(), expected.size());
    }

    // Measured and at 20 °C differ: the amount is the rise at 20 °C.
    void deliveryText()
    {
        AlarmFixture fixture(QStringLiteral("[produto Gasolina C]\nentrega mínima = 500\n"));
        {
            const std::unique_ptr<HistoryStore> store = fixture.openStore();
            store->keepMeasurement(TestStation, tankReading(0, 2000, 1950), Origin::Poll);
            store->keepMeasurement(TestStation, tankReading(30, 14000, 13450), Origin::Poll);
            QVERIFY(waitForWritten(*store, store->keepMeasurement(TestStation, tankReading(60, 13900, 13400), Origin::Poll)));
        }
        QCOMPARE(fixture.events(),
                 QStringList{"delivery|Tanque 1 (GASOLINA C): entrega de 11.500 L a 20 °C entre 15/03/2024 08:00 e "
                             "15/03/2024 08:30"});
        QCOMPARE(FileInspector(fixture.location()).texts(QStringLiteral("SELECT tank, product, amount FROM delivery")),
                 QStringList{"1|GASOLINA C|11500"});
    }
};

QTEST_GUILESS_MAIN(TestDeliveries)
#include "tst_deliveries.moc"
