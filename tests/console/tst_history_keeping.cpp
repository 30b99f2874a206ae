// What the console keeps in the history file while it talks to a simulated controller, and what
// it shows when the file cannot be written or the controller's number is another station's.
#include "simulated_console.h"

#include "simulator/default_station.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>

namespace {

// The file as a spreadsheet tool would see it: read-only unless told, from outside the console.
QList<QVariantList> query(const QString &file, const QString &sql,
                          const QString &connectOptions = QStringLiteral("QSQLITE_OPEN_READONLY"))
{
    QList<QVariantList> rows;
    const QString name = QStringLiteral("check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(connectOptions);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql)) {
                while (q.next()) {
                    QVariantList row;
                    for (int c = 0; c < q.record().count(); ++c)
                        row << q.value(c);
                    rows << row;
                }
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

int count(const QString &file, const QString &table)
{
    const QList<QVariantList> rows = query(file, QStringLiteral("SELECT count(*) FROM ") + table);
    return rows.isEmpty() ? -1 : rows[0][0].toInt();
}

}  // namespace

class TestHistoryKeeping : public QObject {
    Q_OBJECT
private slots:
    void measuringTwiceKeepsBothReadings();
    void inventoryKeepsItsSeries();
    void badCheckByteIsAnEventNeverAReading_data();
    void badCheckByteIsAnEventNeverAReading();
    void unwritableStoreIsShownWhileTheDialogueGoesOn();
    void numberOfAnotherStationIsKeptApart();
};

void TestHistoryKeeping::measuringTwiceKeepsBothReadings()
{
    SimulatedConsole sim(QStringLiteral("127.0.0.120"));
    const QString file = sim.console().history().filePath();
    QVERIFY(sim.openDialogue());

    // The controller's clock decides measured_at: an hour apart, the volume changed between.
    SimulatedStation &station = sim.controller().station();
    station.clock.set(QDateTime::currentDateTime().addSecs(-3600));
    station.tank(1)->measured = 18000;
    sim.click(QStringLiteral("TQ_Ativo_0"));
    sim.click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE_WITH_TIMEOUT(count(file, QStringLiteral("measurement")), 1, 10000);

    station.clock.set(QDateTime::currentDateTime());
    station.tank(1)->measured = 17500;
    sim.click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE_WITH_TIMEOUT(count(file, QStringLiteral("measurement")), 2, 10000);

    const QList<QVariantList> rows =
        query(file, QStringLiteral("SELECT m.tank, m.measured, m.command, m.origin, s.description, s.host, s.ofe "
                                   "FROM measurement m JOIN station s ON s.id = m.station_id ORDER BY m.measured_at"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][1].toDouble(), 18000.0);
    QCOMPARE(rows[1][1].toDouble(), 17500.0);
    for (const QVariantList &row : rows) {
        QCOMPARE(row[0].toInt(), 1);
        QCOMPARE(row[2].toString(), QStringLiteral("MT"));
        QCOMPARE(row[3].toString(), QStringLiteral("console"));
        QCOMPARE(row[4].toString(), QStringLiteral("Posto Simulado"));
        QCOMPARE(row[5].toString(), QStringLiteral("127.0.0.120"));
        QCOMPARE(row[6].toString().toInt(), 4127);
    }
    QCOMPARE(query(file, QStringLiteral("SELECT count(*) FROM event WHERE kind = 'connection_opened'")).value(0).value(0),
             QVariant(1));
    QVERIFY(!sim.console().findChild<QLabel *>(QStringLiteral("Estado_Historico"))->isVisible());
}

void TestHistoryKeeping::inventoryKeepsItsSeries()
{
    SimulatedConsole sim(QStringLiteral("127.0.0.121"));
    const QString file = sim.console().history().filePath();
    const int tanks = sim.controller().station().tankCount();
    sim.fixture().onWindow = [](QWidget *window) {
        QTimer::singleShot(0, window, [window] {
            QTest::mouseClick(window->findChild<QAbstractButton *>(QStringLiteral("Retornar")), Qt::LeftButton);
        });
    };
    QVERIFY(sim.openDialogue());
    sim.click(QStringLiteral("IV_Cmd"));
    QTRY_COMPARE_WITH_TIMEOUT(count(file, QStringLiteral("inventory_item")), tanks, 10000);
    QCOMPARE(count(file, QStringLiteral("inventory")), 1);
    QCOMPARE(count(file, QStringLiteral("measurement")), tanks);
    QCOMPARE(query(file, QStringLiteral("SELECT DISTINCT command, origin FROM measurement")),
             (QList<QVariantList>{{QStringLiteral("MA"), QStringLiteral("console")}}));
}

void TestHistoryKeeping::badCheckByteIsAnEventNeverAReading_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("code");
    QTest::newRow("clock") << "LR_Cmd" << "LR";
    QTest::newRow("measurement") << "MT_Cmd" << "MT";
    QTest::newRow("sensors") << "Ler_Sensores" << "LS";
}

// Each spoiled reply is kept once, whether the console or the store sorts it out.
void TestHistoryKeeping::badCheckByteIsAnEventNeverAReading()
{
    QFETCH(QString, button);
    QFETCH(QString, code);
    SimulatedConsole sim(QStringLiteral("127.0.0.123"));
    const QString file = sim.console().history().filePath();
    QVERIFY(sim.openDialogue());
    sim.controller().setWrongCheckByte(true);
    sim.click(QStringLiteral("TQ_Ativo_0"));
    sim.click(button);

    const QString spoiled = QStringLiteral("SELECT count(*) FROM event WHERE kind = 'bad_check_byte' AND detail LIKE '%")
                          + code + QStringLiteral("%'");
    QTRY_COMPARE_WITH_TIMEOUT(query(file, spoiled).value(0).value(0).toInt(), 1, 10000);
    QCOMPARE(count(file, QStringLiteral("measurement")), 0);
    QCOMPARE(count(file, QStringLiteral("sensor_reading")), 0);
    QCOMPARE(query(file, QStringLiteral("SELECT count(*) FROM event WHERE kind = 'bad_check_byte'")).value(0).value(0),
             QVariant(1));
}

void TestHistoryKeeping::unwritableStoreIsShownWhileTheDialogueGoesOn()
{
    HistoryStoreOptions readOnly;
    readOnly.connectOptions = QStringLiteral("QSQLITE_OPEN_READONLY");
    readOnly.retryIntervalMs = 100;
    SimulatedConsole sim(QStringLiteral("127.0.0.122"), demonstrationStation(), readOnly);
    auto *status = sim.console().findChild<QLabel *>(QStringLiteral("Estado_Historico"));
    QVERIFY(sim.openDialogue());

    sim.click(QStringLiteral("TQ_Ativo_0"));
    sim.click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE(sim.fixture().text(QStringLiteral("MT1_Tanque")), QStringLiteral("001"));
    QTRY_VERIFY_WITH_TIMEOUT(status->isVisible(), 10000);
    QVERIFY(status->text().startsWith(QStringLiteral("Histórico indisponível: ")));
    QVERIFY(status->text().size() > QStringLiteral("Histórico indisponível: ").size());

    // The dialogue goes on while the store keeps failing.
    sim.click(QStringLiteral("LR_Cmd"));
    QTRY_VERIFY(!sim.fixture().text(QStringLiteral("LR_Hora")).isEmpty());
    QVERIFY(status->isVisible());

    // This file cannot turn writable under its read-only connection; the store's own tests cover
    // that transition, so here it is announced the way the store announces it.
    emit sim.console().history().writesWorking();
    QVERIFY(!status->isVisible());
    QVERIFY(status->text().isEmpty());
}

// The simulated controller's number (4127) answered at another address a moment ago: the
// console's readings go to a station of their own, and the status line names both hosts.
void TestHistoryKeeping::numberOfAnotherStationIsKeptApart()
{
    SimulatedConsole sim(QStringLiteral("127.0.0.214"));
    const QString file = sim.console().history().filePath();
    auto *status = sim.console().findChild<QLabel *>(QStringLiteral("Estado_Historico"));
    // The connection's event makes the file, and the station of the host.
    QVERIFY(sim.connectSocket());
    QTRY_COMPARE_WITH_TIMEOUT(count(file, QStringLiteral("station")), 1, 10000);
    query(file,
          QStringLiteral("INSERT INTO station (description, host, ofe, time_zone, ofe_heard_at) "
                         "VALUES ('Posto Antigo', '10.9.9.9', '004127', 'UTC', '%1')")
              .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)),
          QString());
    QCOMPARE(count(file, QStringLiteral("station")), 2);

    QVERIFY(sim.openDialogue());
    sim.click(QStringLiteral("TQ_Ativo_0"));
    sim.click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE_WITH_TIMEOUT(count(file, QStringLiteral("measurement")), 1, 10000);
    QTRY_VERIFY(status->isVisible());
    QCOMPARE(status->text(), QStringLiteral("Histórico: OFE 004127 já é do posto em 10.9.9.9: leituras de 127.0.0.214 "
                                            "mantidas à parte"));
    const QList<QVariantList> owner =
        query(file, QStringLiteral("SELECT s.host || '|' || COALESCE(s.ofe, 'NULL') || '|' || s.shared_ofe "
                                   "FROM measurement m JOIN station s ON s.id = m.station_id"));
    QCOMPARE(owner, QList<QVariantList>{{QStringLiteral("127.0.0.214|NULL|004127")}});
}

QTEST_MAIN(TestHistoryKeeping)
#include "tst_history_keeping.moc"
