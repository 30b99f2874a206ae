#include "simulator/station_file.h"

#include <QtTest>

class TestStationFile : public QObject {
    Q_OBJECT

private slots:
    void everyKey()
    {
        const StationLoad load = parseStation(QStringLiteral(
            "[station]\naddress = B02\nversion = 41\nofe = 123\nmeter type = 3\npassword = abc\n"
            "[Tank 2]\nproduct = Óleo\ncapacity = 1000\nmeasured = 400\ncomplementary = 550\nvolume at 20 = 390\n"
            "density = 0.85\nlevel = 321\nexpansion = 0.0009\nby weight = yes\nenabled = no\nprobe = offline\n"
            "last measurement = 02/01/2024 03:04:05\n"
            "[sensors]\ncount = 20\nbar 1 = inactive\nbar 2 = active\nsensor 20 = open\nsensor 1 = short\n"
            "; comment\n[schedule 29/02/2024]\nmeasurement = 23:59:59 2 777\nmeasurement = 00:00:01 16 0\n"));
        QVERIFY2(load.problems.isEmpty(), qPrintable(load.problems.join('\n')));
        const SimulatedStation &s = load.station;
        QCOMPARE(s.address, "B02");
        QCOMPARE(s.version, "41");
        QCOMPARE(s.ofe, 123);
        QCOMPARE(s.meterType, 3);
        QCOMPARE(s.password, "abc");

        QCOMPARE(s.tanks.size(), std::size_t(1));
        QCOMPARE(s.tankCount(), 2);
        const SimulatedTank &t = s.tanks.at(2);
        QCOMPARE(t.product, QStringLiteral("Óleo"));
        QCOMPARE(QList<int>({t.capacity, t.measured, t.complementaryVolume(), t.volumeAt20(), t.levelMm.value_or(-1)}),
                 QList<int>({1000, 400, 550, 390, 321}));
        QCOMPARE(t.density, 0.85);
        QCOMPARE(t.expansion, 0.0009);
        QVERIFY(t.byWeight && !t.enabled && !t.probeOnline);
        QCOMPARE(t.lastMeasurement, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));

        QCOMPARE(s.sensorCount, 20);
        QVERIFY(!s.bar1Active && s.bar2Active);
        QCOMPARE(s.sensors[0], SensorState::Short);
        QCOMPARE(s.sensors[1], SensorState::Normal);
        QCOMPARE(s.sensors[19], SensorState::Open);

        const std::vector<ScheduledMeasurement> &records = s.schedule.at(QDate(2024, 2, 29));
        QCOMPARE(records.size(), std::size_t(2));
        QCOMPARE(records[0].time, QTime(23, 59, 59));
        QCOMPARE(records[1].tank, 16);
        QCOMPARE(records[0].volume, 777);
    }

    void defaults()
    {
        const StationLoad load = parseStation(QStringLiteral("[tank 3]\ncapacity = 500\nmeasured = 200\n"
                                                             "[schedule today]\nmeasurement = 10:00:00 3 150\n"));
        QVERIFY(load.problems.isEmpty());
        const SimulatedStation &s = load.station;
        QCOMPARE(s.address, "A01");
        QCOMPARE(s.version, "30");
        QVERIFY(s.password.isEmpty());
        QCOMPARE(s.sensorCount, 0);
        const SimulatedTank &t = s.tanks.at(3);
        QCOMPARE(t.complementaryVolume(), 300);
        QCOMPARE(t.volumeAt20(), 200);
        QVERIFY(!t.levelMm);
        QVERIFY(t.enabled && t.probeOnline && !t.byWeight);
        QVERIFY(qAbs(t.lastMeasurement.secsTo(QDateTime::currentDateTime())) <= 2);
        QCOMPARE(s.schedule.count(QDate::currentDate()), std::size_t(1));
    }

    void problems_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");

        QTest::newRow("unknown key") << "[tank 1]\nproduct = X\nprodcut = Y\n"
                                     << "line 3: unknown key \"prodcut\" in [tank 1]";
        QTest::newRow("unknown section") << "\n[pump 1]\nflow = 3\n" << "line 2: unknown section [pump 1]";
        QTest::newRow("not a number") << "[tank 1]\ncapacity = lots\n" << "line 2: \"lots\" is not a valid capacity";
        QTest::newRow("wider than the field") << "[tank 1]\nmeasured = 1000000\n"
                                              << "line 2: \"1000000\" is not a valid measured";
        QTest::newRow("tank 17") << "[tank 17]\nproduct = X\n" << "line 1: tanks are numbered 1 to 16, not \"17\"";
        QTest::newRow("meter type") << "[station]\nmeter type = 4\n" << "line 2: \"4\" is not a valid meter type";
        QTest::newRow("sensor state") << "[sensors]\nsensor 2 = wet\n" << "line 2: \"wet\" is not a valid sensor 2";
        QTest::newRow("reading not a number") << "[tank 1]\nreadings = 100, lots, 300\n"
                                              << "line 2: \"100, lots, 300\" is not a valid readings";
        QTest::newRow("state in a list") << "[sensors]\nsensor 2 = normal, wet\n"
                                         << "line 2: \"normal, wet\" is not a valid sensor 2";
        QTest::newRow("clock offset") << "[station]\nclock offset = 1.5\n"
                                      << "line 2: \"1.5\" is not a valid clock offset";
        QTest::newRow("sensor 33") << "[sensors]\nsensor 33 = leak\n"
                                   << "line 2: unknown key \"sensor 33\" in [sensors]";
        QTest::newRow("bad date") << "[schedule 30/02/2024]\n"
                                  << "line 1: \"30/02/2024\" is not a date (DD/MM/YYYY or today)";
        QTest::newRow("record without volume") << "[schedule today]\nmeasurement = 10:00:00 1\n"
                                               << "line 2: \"10:00:00 1\" is not a valid measurement";
        QTest::newRow("no equals sign") << "[station]\naddress A01\n"
                                        << "line 2: expected \"key = value\" or \"[section]\"";
        QTest::newRow("outside any section") << "address = A01\n" << "line 1: \"address\" is outside any section";
    }
    void problems()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QCOMPARE(parseStation(text).problems, QStringList{problem});
    }

    void exampleFile()
    {
        const StationLoad load = loadStationFile(QStringLiteral(STATION_EXAMPLE));
        QVERIFY(load.readable);
        QVERIFY2(load.problems.isEmpty(), qPrintable(load.problems.join('\n')));
        QCOMPARE(load.station.tankCount(), 4);
        QCOMPARE(load.station.sensorCount, 8);
    }

    void missingFile()
    {
        const StationLoad load = loadStationFile(QStringLiteral("/nonexistent/station.ini"));
        QVERIFY(!load.readable);
        QCOMPARE(load.problems.size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestStationFile)
#include "tst_station_file.moc"
