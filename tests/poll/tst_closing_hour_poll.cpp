// The real comzelta-poll --every reads a station once more right at its closing hour, set with the
// real comzelta-cli to the coming minute in the station's zone, however long the interval. The
// zone is one no PC here keeps, so that an hour taken in the PC's zone would miss. Up to a minute
// and a half: the only slow case of the poller's tests.
#include "tests/support/cli_run.h"
#include "tests/support/file_helpers.h"
#include "tests/support/program_run.h"
#include "tests/support/simulators.h"
#include "tests/support/stations.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

namespace {

const QString Address = QStringLiteral("127.0.0.231");
const QTimeZone Kathmandu("Asia/Kathmandu");

} // namespace

class TestClosingHourPoll : public QObject {
    Q_OBJECT

private slots:
    void readAtTheClosingHour()
    {
        std::unique_ptr<ControllerSimulator> simulator = startSimulator(twoTankStation().arg(231), Address);
        QVERIFY(simulator);
        QList<QDateTime> inventories;  // when each "MA" came
        connect(simulator.get(), &ControllerSimulator::requestReceived, this, [&](const QString &, const QByteArray &frame) {
            if (requestBody(frame) == QLatin1String("MA"))
                inventories << QDateTime::currentDateTimeUtc();
        });
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        QVERIFY(writeOwnerOnly(directory + QStringLiteral("poll.ini"), "[geral]\nsenha = Zelta\n"));
        QVERIFY(writeOwnerOnly(directory + QStringLiteral("frota.csv"),
                          QStringLiteral("descrição;host;porta;fuso\nPosto Hora;%1;;Asia/Kathmandu\n").arg(Address).toUtf8()));
        const QStringList files{"--data-dir", directory, "--stations", directory + QStringLiteral("frota.csv")};

        // The station is in the history once read.
        QCOMPARE(runProgram(QStringLiteral(COMZELTA_POLL), QStringList{"--once"} + files).exitCode, 0);
        QCOMPARE(inventories.size(), 1);

        // The coming minute in Kathmandu, at least 25 s away for both programs to start on a loaded machine.
        const QDateTime soon = QDateTime::currentDateTimeUtc().addSecs(25).toTimeZone(Kathmandu);
        const QDateTime hour = QDateTime(soon.date(), QTime(soon.time().hour(), soon.time().minute()), Kathmandu).addSecs(60);
        const QString hourText = hour.time().toString(QStringLiteral("HH:mm"));
        const ProgramResult set = runCli({"--data-dir", directory, Address, "ajustes", "--hora-fechamento", hourText},
                                         QString(), data.path());
        QVERIFY2(set.exitCode == 0 && set.out.contains("Hora do fechamento: " + hourText.toUtf8()), set.out + set.err);

        ProgramRun poll(QStringLiteral(COMZELTA_POLL), QStringList{"--every", "30"} + files);
        const QByteArray announced = QStringLiteral("Leitura do fechamento (%1): 1 posto").arg(hourText).toUtf8();
        QVERIFY2(poll.waitForText(announced, 100000), poll.out() + poll.err());
        QVERIFY2(poll.waitForText("Rodada 2: 1 de 1 postos lidos", 20000), poll.out() + poll.err());
        poll.process().terminate();
        QCOMPARE(poll.finish(30000).exitCode, 0);

        // The --every round at the start, then the closing hour's, at the hour and not before.
        QCOMPARE(inventories.size(), 3);
        const QDateTime at = hour.toUTC();
        QVERIFY2(inventories.at(2) >= at && inventories.at(2) < at.addSecs(10),
                 qPrintable(inventories.at(2).toString(Qt::ISODateWithMs) + QStringLiteral(" for ") + at.toString(Qt::ISODate)));
    }
};

QTEST_GUILESS_MAIN(TestClosingHourPoll)
#include "tst_closing_hour_poll.moc"
