#include "tests/support/file_helpers.h"
#include "tests/support/program_run.h"
#include "tests/support/simulators.h"
#include "tests/support/stations.h"

#include "stations/station_file_writer.h"
#include "tests/support/store_test_support.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// Each controller of these tests has a loopback address of its own.
namespace address {
const QString Station = QStringLiteral("127.0.0.180");  // answers everything; a leaking sensor
const QString Refusing = QStringLiteral("127.0.0.181");
const QString Slow = QStringLiteral("127.0.0.182");  // answers after a while
const QString Echo = QStringLiteral("127.0.0.183");  // sends "CF" back with a wrong check byte
}  // namespace address

namespace {

// A leaking sensor besides the two tanks.
const QString StationText = twoTankStation() + QStringLiteral("\n[sensors]\ncount = 6\nsensor 4 = leak\n");

const QByteArray Passwords = "[geral]\nsenha = Zelta\n";
const QByteArray BothStations = "descrição;host\nPosto A;127.0.0.180\nPosto R;127.0.0.181\n";

struct PollRun : ProgramResult {
    qint64 roundLineMs = -1;  // when the first round's line came out
};

bool writeFile(const QString &path, const QByteArray &bytes, mode_t mode = 0600)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
           && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

}  // namespace

class TestPollProgram : public QObject {
    Q_OBJECT

private:
    // Runs comzelta-poll and lets the simulators of this thread answer it
    // meanwhile; `whileRunning` is called with the process once it has started.
    PollRun run(const QStringList &arguments, const std::function<void(QProcess &)> &whileRunning = {})
    {
        ProgramRun poll(QStringLiteral(COMZELTA_POLL), arguments);
        if (whileRunning)
            whileRunning(poll.process());
        return PollRun{{poll.finish(30000)}, poll.msUntilOut("Rodada 1")};
    }

    struct LoggedRound {
        PollRun result;
        QString log;  // the frame log's text
    };
    // One round over the fleet file's text with --log, in `directory` (ending
    // with a separator) beside a poll.ini with the default password.
    LoggedRound loggedRound(const QString &directory, const QByteArray &fleet, const QStringList &arguments = {})
    {
        LoggedRound round;
        const QString log = directory + QStringLiteral("quadros.log");
        if (!writeFile(directory + QStringLiteral("poll.ini"), Passwords)
            || !writeFile(directory + QStringLiteral("frota.csv"), fleet))
            return round;
        round.result = run(
            QStringList{"--data-dir", directory, "--stations", directory + QStringLiteral("frota.csv"), "--log", log}
            + arguments);
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            round.log = QString::fromUtf8(file.readAll());
        return round;
    }

    std::unique_ptr<ControllerSimulator> station_;
    std::unique_ptr<ControllerSimulator> slow_;
    std::unique_ptr<ControllerSimulator> echo_;
    DialogueRecorder *slowDialogue_ = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_POLL)).isExecutable());
        station_ = startSimulator(StationText.arg(180), address::Station);
        slow_ = startSimulator(StationText.arg(182), address::Slow);
        echo_ = startSimulator(StationText.arg(183), address::Echo);
        QVERIFY(station_ && slow_ && echo_);
        echo_->setReplyFault(ReplyFault::Echo, {"CF", "AR"});
        echo_->setWrongCheckByte(true);
        slow_->setReplyDelay(300);
        slowDialogue_ = new DialogueRecorder(slow_.get());
    }

    void exitCodes_data()
    {
        QTest::addColumn<QByteArray>("fleet");      // null: the station list of the data directory
        QTest::addColumn<QByteArray>("passwords");  // null: no poll.ini
        QTest::addColumn<int>("mode");              // of poll.ini
        QTest::addColumn<QByteArray>("alarms");     // null: no alarmes.ini
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");  // on standard output, or error when the run is refused

        const QByteArray none;
        QTest::newRow("every station read") << QByteArray("Posto A;127.0.0.180\n") << Passwords << 0600 << none
                                            << QStringList{} << 0 << "Rodada 1: 1 de 1 postos lidos";
        QTest::newRow("a station refusing") << BothStations << Passwords << 0600 << none << QStringList{} << 3
                                            << "Rodada 1: 1 de 2 postos lidos, 1 com falha (Posto R)";
        QTest::newRow("the console's station list")
            << none << Passwords << 0400 << none << QStringList{} << 0 << "Rodada 1: 1 de 1 postos lidos";
#ifdef Q_OS_UNIX
        // POSIX permissions only: Windows files have none for the check to read.
        QTest::newRow("poll.ini readable by the group")
            << BothStations << Passwords << 0640 << none << QStringList{} << 2 << "chmod 600";
#endif
        QTest::newRow("no poll.ini") << BothStations << none << 0600 << none << QStringList{} << 2 << "poll.ini";
        QTest::newRow("no password for a station")
            << BothStations << QByteArray("[postos]\nPosto A = Zelta\n") << 0600 << none << QStringList{} << 2
            << "não há senha para o posto \"Posto R\"";
        QTest::newRow("fleet file with a port in the host") << QByteArray("Posto A;127.0.0.180:4001\n") << Passwords
                                                            << 0600 << none << QStringList{} << 2 << "host inválido";
        QTest::newRow("broken alarmes.ini")
            << BothStations << Passwords << 0600 << QByteArray("[postos]\nfalhas de comunicação = muitas\n")
            << QStringList{} << 2 << "alarmes.ini";
        QTest::newRow("password with a control byte")
            << BothStations << QByteArray("[geral]\nsenha = Zel\x03ta\n") << 0600 << none << QStringList{} << 2
            << "linha 2: a senha contém um caractere de controle";
        QTest::newRow("password outside Windows-1252")
            << BothStations << QByteArray("[geral]\nsenha = Zelta\xE2\x82\xBD\n") << 0600 << none << QStringList{} << 2
            << "linha 2: a senha contém um caractere fora do Windows-1252";
        QTest::newRow("alarm command with an open quote")
            << BothStations << Passwords << 0600 << none << QStringList{"--on-alarm", "notify 'x"} << 2
            << "aspas sem fechamento";
    }
    void exitCodes()
    {
        QFETCH(QByteArray, fleet);
        QFETCH(QByteArray, passwords);
        QFETCH(int, mode);
        QFETCH(QByteArray, alarms);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        if (!passwords.isNull())
            QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), passwords, mode_t(mode)));
        if (!alarms.isNull())
            QVERIFY(writeFile(directory + QStringLiteral("alarmes.ini"), alarms));
        if (!fleet.isNull()) {
            QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), fleet));
            arguments << QStringLiteral("--stations") << directory + QStringLiteral("frota.csv");
        } else {
            StationTable rows;
            rows.entry(7) = {QStringLiteral("Posto A"), address::Station, QStringLiteral("4001")};
            QVERIFY(saveStationFile(directory, rows).ok());
        }
        const PollRun result = run(QStringList{"--data-dir", directory, "--retries", "1", "--backoff-ms", "50",
                                               "--connect-timeout-ms", "500", "--reply-timeout-ms", "500"}
                                   + arguments);
        QCOMPARE(result.exitCode, exitCode);
        const QByteArray shown = exitCode == 2 ? result.err : result.out;
        QVERIFY2(QString::fromUtf8(shown).contains(output), shown.constData());
        QVERIFY(!result.out.contains("Zelta") && !result.err.contains("Zelta"));
        // Not a terminal: no progress line.
        QVERIFY(!result.out.contains('\r'));
        if (exitCode == 2)
            QVERIFY(!QFile::exists(directory + QStringLiteral("Historico.sqlite")));
    }

    // Every frame with its time and station, and the password masked; the file
    // its owner's only.
    void frameLog()
    {
#ifdef Q_OS_UNIX
        const mode_t previous = ::umask(022);
        const auto restore = qScopeGuard([previous] { ::umask(previous); });
#endif
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        const LoggedRound round = loggedRound(directory, "Posto A;127.0.0.180\n");
        QCOMPARE(round.result.exitCode, 0);
#ifdef Q_OS_UNIX
        // POSIX permissions: Windows protects the files with their folder's.
        for (const QString &made :
             {directory + QStringLiteral("quadros.log"), directory + QStringLiteral("Historico.sqlite")}) {
            struct stat status = {};
            QCOMPARE(::stat(QFile::encodeName(made).constData(), &status), 0);
            QCOMPARE(status.st_mode & 0777, mode_t(0600));
        }
#endif
        const QString &text = round.log;
        QVERIFY(!text.contains(QStringLiteral("Zelta"), Qt::CaseInsensitive));
        const QStringList logged = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QRegularExpression shape(
            QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\tPosto A\t(Transmitiu|Recebeu): )"));
        for (const QString &line : logged)
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
        QStringList requests;
        for (const QString &line : logged) {
            if (line.contains(QStringLiteral("\tTransmitiu: ")) && line.contains(QStringLiteral("<STX>")))
                requests << line.section(QStringLiteral("<STX>"), 1).section(QStringLiteral("<ETX>"), 0, 0);
        }
        QCOMPARE(requests, (QStringList{"ID01", "CF***", "MA", "LS", "LR", "ID02"}));
        QVERIFY(text.contains(QStringLiteral("Transmitiu: *** <STX>CF***<ETX>*")));
    }

    // A peer that sends "CF" back sends the password: neither the log nor the
    // history keeps it.
    void echoedPasswordMasked()
    {
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        const LoggedRound round = loggedRound(directory, "Posto E;127.0.0.183\n",
                                              {"--retries", "0", "--reply-timeout-ms", "1000"});
        QVERIFY(round.result.exitCode >= 0);
        const QString &text = round.log;
        QVERIFY2(text.contains(QStringLiteral("\tRecebeu: *** <STX>CF***")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("Zelta"), Qt::CaseInsensitive), qPrintable(text));
        FileInspector history(directory + QStringLiteral("Historico.sqlite"));
        // A "CF" sent back is no configuration: the station failed on an unusable
        // reply.
        QCOMPARE(history.scalar(QStringLiteral("SELECT count(*) FROM event WHERE kind = 'unusable_reading'")).toInt(),
                 1);
        QCOMPARE(history.scalar(QStringLiteral("SELECT count(*) FROM station WHERE ofe IS NOT NULL")).toInt(), 0);
        QCOMPARE(history
                     .scalar(QStringLiteral("SELECT count(*) FROM event WHERE "
                                            "upper(detail) LIKE '%ZELTA%'"))
                     .toInt(),
                 0);
    }

    // SIGTERM in the middle of a round: the dialogue is closed with "ID02", the
    // history is whole and the exit is clean.
    void terminatedMidRound()
    {
#ifndef Q_OS_UNIX
        QSKIP("SIGTERM is POSIX's: QProcess::terminate asks a program's windows to "
              "close, and the poller has "
              "none; Ctrl+C reaching its handler is tested in "
              "tst_termination_signals");
#endif
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), Passwords));
        QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), "Posto A;127.0.0.180\nPosto Lento;127.0.0.182\n"));
        const QString log = directory + QStringLiteral("quadros.log");
        bool terminated = false;
        const PollRun result = run({"--data-dir", directory, "--stations", directory + QStringLiteral("frota.csv"),
                                    "--log", log, "--reply-timeout-ms", "3000"},
                                   [&](QProcess &process) {
                                       connect(slow_.get(), &ControllerSimulator::requestReceived, &process,
                                               [&](const QString &, const QByteArray &frame) {
                                                   if (requestBody(frame) == QLatin1String("MA") && !terminated) {
                                                       terminated = true;
                                                       process.terminate();
                                                   }
                                               });
                                   });
        QVERIFY(terminated);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.elapsedMs < 5000, qPrintable(QString::number(result.elapsedMs)));
        QVERIFY2(result.out.contains("Rodada 1 interrompida"), result.out.constData());
        QTRY_COMPARE_WITH_TIMEOUT(slowDialogue_->dialogue(), QStringLiteral("ID01 CFZELTA MA ID02"), ServerWaitMs);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\tPosto Lento\tTransmitiu: 007 <STX>ID02<ETX>"));

        FileInspector history(directory + QStringLiteral("Historico.sqlite"));
        QCOMPARE(history.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        // Posto A was read whole before the signal; the interrupted station is no
        // failure.
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory")).toInt(), 1);
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'poll_failed'")).toInt(), 0);
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'connection_opened'")).toInt(),
                 2);
    }

    // Each alarm printed and handed to the command once; the command's time does
    // not hold up the round, and it is killed at its limit.
    void alarms()
    {
#ifndef Q_OS_UNIX
        QSKIP("its alarm command is a POSIX shell one (sh -c)");
#endif
        QTemporaryDir data;
        const QString directory = data.path() + QLatin1Char('/');
        QVERIFY(writeFile(directory + QStringLiteral("poll.ini"), Passwords));
        QVERIFY(writeFile(directory + QStringLiteral("frota.csv"), BothStations));
        QVERIFY(writeFile(directory + QStringLiteral("alarmes.ini"),
                          "[postos]\nfalhas de comunicação = 1\nbarras = não\n"));
        const QString notices = directory + QStringLiteral("avisos.txt");
        const QString command = QStringLiteral("sh -c 'echo \"$COMZELTA_ALARM $COMZELTA_ALARM_STATE "
                                               "$COMZELTA_STATION "
                                               "$COMZELTA_SUBJECT\" >> \"%1\"; sleep 5'")
                                    .arg(notices);
        const QStringList arguments{"--data-dir",
                                    directory,
                                    "--stations",
                                    directory + QStringLiteral("frota.csv"),
                                    "--retries",
                                    "0",
                                    "--on-alarm",
                                    command,
                                    "--on-alarm-timeout-ms",
                                    "2000"};
        const PollRun first = run(arguments);
        QCOMPARE(first.exitCode, 3);
        const QStringList expected{"communication raised Posto R 0", "leak raised Posto A 4"};
        QCOMPARE(sortedLines(notices), expected);
        QCOMPARE(QString::fromUtf8(first.out).count(QStringLiteral("Alarme ativado: ")), 2);
        QVERIFY(first.out.contains("Alarme ativado: Posto A (127.0.0.180), sensor 4: "));
        QCOMPARE(QString::fromUtf8(first.err).count(QStringLiteral("encerrado após 2000 ms")), 2);
        // The round's line came out while the commands still ran; they were killed,
        // not awaited.
        QVERIFY2(first.roundLineMs >= 0 && first.roundLineMs < first.elapsedMs - 1000,
                 qPrintable(QStringLiteral("%1 %2").arg(first.roundLineMs).arg(first.elapsedMs)));
        QVERIFY2(first.elapsedMs < 4500, qPrintable(QString::number(first.elapsedMs)));

        // Still leaking, still silent: nothing new to tell.
        const PollRun second = run(arguments);
        QCOMPARE(second.exitCode, 3);
        QVERIFY(!second.out.contains("Alarme"));
        QCOMPARE(sortedLines(notices), expected);
    }
};

QTEST_GUILESS_MAIN(TestPollProgram)
#include "tst_poll_program.moc"
