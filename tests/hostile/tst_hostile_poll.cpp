#include "hostile_support.h"

#include "tests/support/program_run.h"
#include "tests/support/store_test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Rules that a normal round of the hostile station never trips (tanks at 61 % and 75 %, the
// clock on time, the sensors normal), and that garbage read as values would.
const QByteArray Alarms = "[postos]\nsensores = sim\ndiferença de relógio = 10\n"
                          "[produto GASOLINA]\nnível baixo = 10\nnível baixo retorno = 15\n"
                          "nível alto = 90\nnível alto retorno = 85\n"
                          "[produto DIESEL]\nnível baixo = 10\nnível baixo retorno = 15\n"
                          "nível alto = 90\nnível alto retorno = 85\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

// One round of comzelta-poll --once over a controller that misbehaves in one way per row, each on
// a loopback address of its own (127.0.4.x).
class TestHostilePoll : public QObject {
    Q_OBJECT

    int lastHost_ = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_POLL)).isExecutable());
    }

    void round_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<bool>("badCheck");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QList<int>>("kept");  // rows per reading table; -1: left open
        QTest::addColumn<QString>("event");    // a kind the round must have kept; empty: none asked
        QTest::addColumn<QStringList>("products");  // kept, as "tank|product"; empty: left open

        const QString noneRead = QStringLiteral("0 de 1 postos lidos");
        const QList<int> nothing{0, 0, 0, 0};
        QTest::newRow("every check byte wrong")
            << int(ReplyFault::None) << QString() << true << 3 << noneRead << nothing << QString() << QStringList();
        QTest::newRow("readings too long") << int(ReplyFault::Long) << "MA,LS,LR" << false << 3 << noneRead << nothing
                                           << "unusable_reading" << QStringList();
        QTest::newRow("sensors too short") << int(ReplyFault::Short) << "LS" << false << 3 << noneRead
                                           << QList<int>{-1, 0, 0, -1} << "unusable_reading" << QStringList();
        QTest::newRow("inventory with tank 9") << int(ReplyFault::OtherTank) << "MA" << false << 3 << noneRead
                                               << QList<int>{-1, -1, 0, -1} << "unusable_reading" << QStringList();
        QTest::newRow("clock at 25:61") << int(ReplyFault::ClockTime) << "LR" << false << 3 << noneRead
                                        << QList<int>{-1, -1, 0, -1} << "unusable_reading" << QStringList();
        QTest::newRow("configuration echoed")
            << int(ReplyFault::Echo) << "CF" << false << 3 << noneRead << nothing << "unusable_reading"
            << QStringList();
        QTest::newRow("control bytes in products") << int(ReplyFault::ControlBytes) << "MA" << false << 0
                                                   << "1 de 1 postos lidos" << QList<int>{2, 1, 0, 1} << QString()
                                                   << QStringList{"1|" + KeptControlProduct, "2|" + KeptFormulaProduct};
    }
    void round()
    {
        QFETCH(int, fault);
        QFETCH(QString, codes);
        QFETCH(bool, badCheck);
        QFETCH(int, exitCode);
        QFETCH(QString, summary);
        QFETCH(QList<int>, kept);
        QFETCH(QString, event);
        QFETCH(QStringList, products);
        const QString address = QStringLiteral("127.0.4.%1").arg(++lastHost_);
        const std::unique_ptr<ControllerSimulator> simulator = startHostile(address, ReplyFault(fault), codes);
        QVERIFY(simulator);
        simulator->setWrongCheckByte(badCheck);

        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), "[geral]\nsenha = " + HostilePassword.toUtf8() + '\n'));
        QVERIFY(writeFile(directory + QStringLiteral("alarmes.ini"), Alarms));
        QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), "Posto Hostil;" + address.toUtf8() + '\n'));
        const QString log = directory + QStringLiteral("quadros.log");
        ProgramRun poll(QStringLiteral(COMZELTA_POLL),
                        {"--once", "--data-dir", directory, "--stations", directory + QStringLiteral("frota.csv"),
                         "--log", log, "--retries", "0", "--connect-timeout-ms", "1000", "--reply-timeout-ms", "1000"});
        const int exited = poll.waitForExit(30000);
        const QString out = QString::fromUtf8(poll.out());
        const QString err = QString::fromUtf8(poll.err());
        QVERIFY2(exited == exitCode, qPrintable(QStringLiteral("exit %1: %2%3").arg(exited).arg(out, err)));
        QVERIFY2(out.contains(summary), qPrintable(out));

        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const FileInspector history(DatabaseLocation(directory + QStringLiteral("Historico.sqlite")));
        const QString broken = brokenRuleOf({{QStringLiteral("standard output"), out},
                                             {QStringLiteral("standard error"), err},
                                             {QStringLiteral("the frame log"), QString::fromUtf8(logFile.readAll())}},
                                            history);
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        const QList<int> counts = keptReadings(history);
        for (int i = 0; i < kept.size(); ++i) {
            if (kept.at(i) >= 0)
                QVERIFY2(counts.at(i) == kept.at(i),
                         qPrintable(QStringLiteral("%1: %2 rows").arg(readingTables().at(i)).arg(counts.at(i))));
        }
        // Nothing the controller sent wrong reaches the alarms.
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM alarm_state WHERE active")).toInt(), 0);
        QCOMPARE(history.texts(QStringLiteral("SELECT kind FROM event WHERE kind LIKE '%_raised'")), QStringList());
        if (!event.isEmpty())
            QVERIFY(history.texts(QStringLiteral("SELECT DISTINCT kind FROM event")).contains(event));
        if (!products.isEmpty())
            QCOMPARE(history.texts(QStringLiteral("SELECT tank, product FROM measurement ORDER BY tank")), products);
    }
};

QTEST_GUILESS_MAIN(TestHostilePoll)
#include "tst_hostile_poll.moc"
