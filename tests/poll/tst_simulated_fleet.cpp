#include "tests/support/simulators.h"
#include "tests/support/store_test_support.h"

#include <QHostAddress>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The real comzelta-sim playing a fleet from one station file (--addresses), or two controllers
// whose station files give one OFE number, and the real comzelta-poll reading them: the history
// must keep one station per address.
namespace {

const QHostAddress First(QStringLiteral("127.0.0.186"));
// Two controllers with one OFE number, a configuration copied from one to the other.
const QString Copied[] = {QStringLiteral("127.0.0.212"), QStringLiteral("127.0.0.213")};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && ::chmod(QFile::encodeName(path).constData(), 0600) == 0;
}

QString addressAt(int index)
{
    return QHostAddress(First.toIPv4Address() + quint32(index)).toString();
}

// Four tanks; tank 1 holds `petrol` litres of 30,000.
QByteArray fourTanks(int ofe, int petrol)
{
    return QStringLiteral("[station]\nofe = %1\n\n[tank 1]\nproduct = GASOLINA\ncapacity = 30000\nmeasured = %2\n\n"
                          "[tank 2]\nproduct = DIESEL\n\n[tank 3]\nproduct = ETANOL\n\n[tank 4]\nproduct = DIESEL\n")
        .arg(ofe)
        .arg(petrol)
        .toLatin1();
}

} // namespace

class TestSimulatedFleet : public QObject {
    Q_OBJECT

private slots:
    void stationPerAddress_data()
    {
        QTest::addColumn<int>("ofe");  // of the station file
        QTest::addColumn<int>("addresses");
        QTest::addColumn<QStringList>("stored");  // the OFE numbers the history keeps, in order

        QTest::newRow("one address") << 4127 << 1 << QStringList{"004127"};
        QTest::newRow("three addresses") << 5230 << 3 << QStringList{"005230", "005231", "005232"};
        QTest::newRow("past the last OFE number") << 999998 << 3 << QStringList{"000000", "999998", "999999"};
    }
    void stationPerAddress()
    {
        QFETCH(int, ofe);
        QFETCH(int, addresses);
        QFETCH(QStringList, stored);
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        const QByteArray station = QStringLiteral("[station]\nofe = %1\n\n[tank 1]\nproduct = GASOLINA\ncapacity = "
                                                  "30000\nmeasured = 18250\n\n[tank 2]\nproduct = DIESEL\n")
                                       .arg(ofe)
                                       .toLatin1();
        QByteArray fleet = "descrição;host\n";
        for (int i = 0; i < addresses; ++i)
            fleet += QStringLiteral("Posto %1;%2\n").arg(i + 1).arg(addressAt(i)).toUtf8();
        QVERIFY(writeFile(directory + QStringLiteral("posto.ini"), station));
        QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), fleet));
        QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), "[geral]\nsenha = Zelta\n"));

        QProcess simulator;
        // It listens in address order: the last one answering means they all do.
        QVERIFY(startSimulatorProcess(simulator, QStringLiteral(COMZELTA_SIM),
                                      {"--addresses", QStringLiteral("%1-%2").arg(addressAt(0), addressAt(addresses - 1)),
                                       "--station", directory + QStringLiteral("posto.ini")},
                                      addressAt(addresses - 1)));

        QProcess poller;
        poller.start(QStringLiteral(COMZELTA_POLL), {"--once", "--data-dir", directory, "--stations",
                                                     directory + QStringLiteral("frota.csv")});
        QVERIFY(poller.waitForFinished(30000));
        stopSimulatorProcess(simulator);
        QVERIFY2(poller.exitCode() == 0, poller.readAllStandardError().constData());

        FileInspector history(directory + QStringLiteral("Historico.sqlite"));
        QCOMPARE(history.texts(QStringLiteral("SELECT ofe FROM station ORDER BY ofe")), stored);
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(), 2 * addresses);
    }

    // Both controllers polled in one round: two stations with four readings each, the low level
    // of one never cleared by the other, and the conflict said once.
    void oneNumberAtTwoAddresses()
    {
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        QVERIFY(writeFile(directory + QStringLiteral("baixo.ini"), fourTanks(4400, 1500)));
        QVERIFY(writeFile(directory + QStringLiteral("cheio.ini"), fourTanks(4400, 18250)));
        const QString fleet = QStringLiteral("descrição;host\nPosto Baixo;%1\nPosto Cheio;%2\n").arg(Copied[0], Copied[1]);
        QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), fleet.toUtf8()));
        QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), "[geral]\nsenha = Zelta\n"));
        QVERIFY(writeFile(directory + QStringLiteral("alarmes.ini"),
                          "[produto GASOLINA]\nnível baixo = 10\nnível baixo retorno = 15\n"));

        QProcess low;
        QProcess full;
        QVERIFY(startSimulatorProcess(low, QStringLiteral(COMZELTA_SIM),
                                      {"--address", Copied[0], "--station", directory + QStringLiteral("baixo.ini")}, Copied[0]));
        QVERIFY(startSimulatorProcess(full, QStringLiteral(COMZELTA_SIM),
                                      {"--address", Copied[1], "--station", directory + QStringLiteral("cheio.ini")}, Copied[1]));
        QProcess poller;
        poller.start(QStringLiteral(COMZELTA_POLL), {"--once", "--data-dir", directory, "--stations",
                                                     directory + QStringLiteral("frota.csv")});
        QVERIFY(poller.waitForFinished(30000));
        stopSimulatorProcess(low);
        stopSimulatorProcess(full);
        const QString out = QString::fromUtf8(poller.readAllStandardOutput());
        QVERIFY2(poller.exitCode() == 0, poller.readAllStandardError().constData());

        FileInspector history(directory + QStringLiteral("Historico.sqlite"));
        QCOMPARE(history.texts(QStringLiteral("SELECT s.host, COALESCE(s.ofe, s.shared_ofe), COUNT(m.id) FROM station s "
                                              "JOIN measurement m ON m.station_id = s.id GROUP BY s.id ORDER BY s.host")),
                 (QStringList{Copied[0] + "|004400|4", Copied[1] + "|004400|4"}));
        QCOMPARE(history.texts(QStringLiteral("SELECT s.host, e.kind FROM event e JOIN station s ON s.id = e.station_id "
                                              "WHERE e.kind LIKE 'low!_level%' ESCAPE '!' ORDER BY e.id")),
                 QStringList{Copied[0] + "|low_level_raised"});
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'ofe_conflict'")).toInt(), 1);
        QCOMPARE(out.count(QStringLiteral("Posto à parte: ")), 1);
        QVERIFY2(out.contains(QStringLiteral("OFE 004400 já é do posto em ")), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedFleet)
#include "tst_simulated_fleet.moc"
