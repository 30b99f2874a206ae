#include "tests/support/simulators.h"
#include "tests/support/stations.h"

#include "poll/parallel_limit.h"
#include "process/open_file_limit.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// One controller answers every station of the fleet: the test is about how many run at once.
const QString Address = QStringLiteral("127.0.0.185");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && ::chmod(QFile::encodeName(path).constData(), 0600) == 0;
}

QByteArray fleet(int stations)
{
    QByteArray text = "descrição;host\n";
    for (int i = 1; i <= stations; ++i)
        text += QStringLiteral("Posto %1;%2\n").arg(i, 2, 10, QLatin1Char('0')).arg(Address).toUtf8();
    return text;
}

} // namespace

class TestParallelLimit : public QObject {
    Q_OBJECT

private slots:
    void choice_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("stations");
        QTest::addColumn<qint64>("limit");  // -1: none
        QTest::addColumn<int>("parallel");
        QTest::addColumn<QString>("note");

        const QString none;
        QTest::newRow("no limit") << 0 << 100000 << qint64(-1) << 0 << none;
        QTest::newRow("every station fits") << 0 << 1000 << qint64(1024 + ReservedFiles) << 0 << none;
        QTest::newRow("every station, exactly room") << 0 << 992 << qint64(1024) << 0 << none;
        QTest::newRow("every station, one too many")
            << 0 << 993 << qint64(1024) << 992
            << "--parallel limitado a 992 (pedido: todos os 993 postos): o sistema permite 1024 arquivos abertos a "
               "este processo (ulimit -n)";
        QTest::newRow("a request that fits") << 500 << 1000 << qint64(1024) << 500 << none;
        QTest::newRow("a request beyond the limit")
            << 5000 << 20000 << qint64(4096) << 4064
            << "--parallel limitado a 4064 (pedido: 5000): o sistema permite 4096 arquivos abertos a este processo "
               "(ulimit -n)";
        // More than there are stations is never more sockets than stations.
        QTest::newRow("a request beyond the stations") << 5000 << 900 << qint64(1024) << 5000 << none;
        QTest::newRow("a request beyond both")
            << 5000 << 1000 << qint64(1024) << 992
            << "--parallel limitado a 992 (pedido: 5000): o sistema permite 1024 arquivos abertos a este processo "
               "(ulimit -n)";
        QTest::newRow("no room beside the reserve")
            << 0 << 10 << qint64(16) << 1
            << "--parallel limitado a 1 (pedido: todos os 10 postos): o sistema permite 16 arquivos abertos a este "
               "processo (ulimit -n)";
        QTest::newRow("one station, no room") << 1 << 1 << qint64(16) << 1 << none;
    }
    void choice()
    {
        QFETCH(int, requested);
        QFETCH(int, stations);
        QFETCH(qint64, limit);
        QFETCH(int, parallel);
        QFETCH(QString, note);
        const ParallelChoice choice =
            parallelWithinFileLimit(requested, stations, limit < 0 ? std::nullopt : std::optional<qint64>(limit));
        QCOMPARE(choice.parallel, parallel);
        QCOMPARE(choice.note, note);
    }

    // The soft limit goes up to the hard one, and what is returned is what the process now has.
    void raisedLimit_data()
    {
        QTest::addColumn<int>("lowered");  // the soft limit before; 0: left as it is
        QTest::newRow("left as it is") << 0;
        QTest::newRow("lowered to 64") << 64;
        QTest::newRow("lowered to 1000") << 1000;
    }
    void raisedLimit()
    {
        QFETCH(int, lowered);
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &before), 0);
        if (before.rlim_max != RLIM_INFINITY && rlim_t(lowered) > before.rlim_max)
            QSKIP("the hard limit is below this row's soft limit");
        if (lowered > 0) {
            rlimit soft = before;
            soft.rlim_cur = rlim_t(lowered);
            QCOMPARE(setrlimit(RLIMIT_NOFILE, &soft), 0);
        }
        const std::optional<qint64> raised = raiseOpenFileLimit();
        rlimit after{};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &after), 0);
        QCOMPARE(after.rlim_cur, before.rlim_max);
        if (after.rlim_cur == RLIM_INFINITY)
            QVERIFY(!raised);
        else
            QCOMPARE(raised, std::optional<qint64>(qint64(after.rlim_cur)));
    }

    // The real poller under a hard limit of 44 descriptors: with a dozen of its own, 36 stations at
    // once would run out of them, so only a round kept within the limit reads every station.
    void program_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("note");  // on standard error; empty: none

        QTest::newRow("every station") << QStringList{}
                                       << "comzelta-poll: --parallel limitado a 12 (pedido: todos os 36 postos): o "
                                          "sistema permite 44 arquivos abertos a este processo (ulimit -n)";
        QTest::newRow("--parallel beyond the limit")
            << QStringList{"--parallel", "20"}
            << "comzelta-poll: --parallel limitado a 12 (pedido: 20): o sistema permite 44 arquivos abertos a este "
               "processo (ulimit -n)";
        QTest::newRow("--parallel within the limit") << QStringList{"--parallel", "12"} << QString();
    }
    void program()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, note);
        constexpr int Stations = 36;
        const std::unique_ptr<ControllerSimulator> simulator =
            startSimulator(smallStation(), Address);
        QVERIFY(simulator);
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), "[geral]\nsenha = Zelta\n"));
        QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), fleet(Stations)));

        QProcess poller;
        poller.setChildProcessModifier([] {
            const rlimit small{44, 44};
            setrlimit(RLIMIT_NOFILE, &small);
        });
        poller.start(QStringLiteral(COMZELTA_POLL), QStringList{"--once", "--data-dir", directory, "--stations",
                                                                directory + QStringLiteral("frota.csv")}
                                                        + arguments);
        // The simulator answers from this thread's event loop meanwhile.
        QVERIFY(QTest::qWaitFor([&] { return poller.state() == QProcess::NotRunning; }, 60000));
        const QByteArray out = poller.readAllStandardOutput();
        const QByteArray err = poller.readAllStandardError();
        QCOMPARE(poller.exitStatus(), QProcess::NormalExit);
        QVERIFY2(poller.exitCode() == 0, err.constData());
        QVERIFY2(out.contains(QStringLiteral("Rodada 1: %1 de %1 postos lidos").arg(Stations).toUtf8()),
                 out.constData());
        const QStringList problems = QString::fromUtf8(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(problems, note.isEmpty() ? QStringList{} : QStringList{note});
    }
};

QTEST_GUILESS_MAIN(TestParallelLimit)
#include "tst_parallel_limit.moc"
