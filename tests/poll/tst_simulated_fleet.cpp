#include "../store/store_test_support.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The real comzelta-sim playing a fleet from one station file (--addresses) and the real
// comzelta-poll reading it: the history must keep one station per address.
namespace {

const QHostAddress First(QStringLiteral("127.0.0.186"));

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
        simulator.start(QStringLiteral(COMZELTA_SIM),
                        {"--addresses", QStringLiteral("%1-%2").arg(addressAt(0), addressAt(addresses - 1)),
                         "--station", directory + QStringLiteral("posto.ini"), "--quiet"});
        QVERIFY(simulator.waitForStarted());
        // It listens in address order: the last one answering means they all do.
        QVERIFY(QTest::qWaitFor(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(addressAt(addresses - 1), 4001);
                return probe.waitForConnected(100);
            },
            10000));

        QProcess poller;
        poller.start(QStringLiteral(COMZELTA_POLL), {"--once", "--data-dir", directory, "--stations",
                                                     directory + QStringLiteral("frota.csv")});
        QVERIFY(poller.waitForFinished(30000));
#ifdef Q_OS_WIN
        // terminate() asks a program's windows to close, and comzelta-sim has none.
        simulator.kill();
#else
        simulator.terminate();
#endif
        QVERIFY(simulator.waitForFinished());
        QVERIFY2(poller.exitCode() == 0, poller.readAllStandardError().constData());

        FileInspector history(directory + QStringLiteral("Historico.sqlite"));
        QCOMPARE(history.texts(QStringLiteral("SELECT ofe FROM station ORDER BY ofe")), stored);
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(), 2 * addresses);
    }
};

QTEST_GUILESS_MAIN(TestSimulatedFleet)
#include "tst_simulated_fleet.moc"
