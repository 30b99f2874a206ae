#include "alarms/alarm_rules.h"
#include "stations/station_paths.h"
#include "poll/alarm_command.h"
#include "poll/closing_hour_reads.h"
#include "poll/exit_codes.h"
#include "poll/fleet_file.h"
#include "poll/frame_log.h"
#include "poll/parallel_limit.h"
#include "poll/password_file.h"
#include "poll/problem_list.h"
#include "poll/poll_options.h"
#include "poll/poll_output.h"
#include "poll/poll_scheduler.h"
#include "poll/station_poll.h"
#include "process/open_file_limit.h"
#include "process/qt_translations.h"
#include "process/quit_on_signal.h"
#include "process/utf8_output.h"
#include "session/controller_password.h"
#include "session/controller_session.h"
#include "store/history_reader.h"
#include "store/history_store.h"
#include "store/store_drain.h"
#include "store/station_locks.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Diagnostics for a field engineer (QT_LOGGING_RULES="comzelta.poll.info=true"), never the
// operator's lines.
Q_LOGGING_CATEGORY(pollLog, "comzelta.poll", QtWarningMsg)

namespace {

// About what one station's round hands the history: the connection's events, the inventory, the
// sensors, the clock and the outcome; four rounds' worth wait while the history cannot write.
constexpr int QueuedCallsPerStation = 4 * 6;

// Everything a run needs from its files, or the problems that refuse it.
struct Configuration {
    QString dataDirectory;
    QList<PolledStation> stations;
    QList<QByteArray> passwords;  // one per station
    std::shared_ptr<AlarmRules> rules;
    QStringList problems;
    QStringList notes;  // said, but the run goes on
};

Configuration configuration(const PollOptions &options)
{
    Configuration loaded;
    loaded.dataDirectory = dataDirectoryOrDefault(options.dataDirectory);
    if (!QDir(loaded.dataDirectory).exists()) {
        loaded.problems << QStringLiteral("o diretório de dados %1 não existe").arg(loaded.dataDirectory);
        return loaded;
    }
    const StationsLoad stations = options.stationsFile.isEmpty() ? listedStations(loaded.dataDirectory)
                                                                 : readFleetFile(options.stationsFile);
    loaded.problems << stations.problems;
    loaded.notes << stations.notes;
    if (stations.problems.isEmpty() && stations.stations.isEmpty())
        loaded.problems << QStringLiteral("nenhum posto para ler");
    const PasswordLoad passwords = readPasswordFile(loaded.dataDirectory);
    loaded.problems << passwords.problems;
    const Result<std::shared_ptr<AlarmRules>, AlarmFileProblem> rules = loadAlarmRules(loaded.dataDirectory);
    if (!rules)
        loaded.problems << alarmFileProblemText(rules.error());
    loaded.rules = rules.valueOr(nullptr);
    if (!loaded.problems.isEmpty())
        return loaded;
    ProblemList missing(&loaded.problems);
    for (const PolledStation &station : stations.stations) {
        const PasswordBook::Lookup lookup = passwords.book.passwordFor(station);
        if (!lookup.password)
            missing.add(lookup.problem);
        else
            loaded.passwords << controllerPassword(*lookup.password);
    }
    missing.finish();
    loaded.stations = stations.stations;
    return loaded;
}

bool outputIsTerminal()
{
#ifdef Q_OS_UNIX
    return ::isatty(STDOUT_FILENO) == 1;
#else
    return false;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    useUtf8Output();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("comzelta-poll"));
    PollOutput output(outputIsTerminal());

    // Qt's part of the usage ("Uso:", "Opções:") in Portuguese whatever the locale.
    if (!installQtTranslations(app))
        qCInfo(pollLog, "Traduções do Qt não encontradas: a ajuda das opções fica em parte em inglês.");

    const Result<PollOptions, PollUsageProblem> parsed = parsePollArguments(QCoreApplication::arguments().mid(1));
    if (!parsed) {
        output.problem(usageProblemText(parsed.error()) + QStringLiteral("\n\n") + pollUsageText());
        return PollExitUsage;
    }
    if (parsed->help) {
        output.line(pollUsageText());
        return PollExitDone;
    }
    const PollOptions &options = *parsed;
    const Configuration loaded = configuration(options);
    for (const QString &text : loaded.notes + loaded.problems)
        output.problem(text);
    if (!loaded.problems.isEmpty())
        return PollExitUsage;

    AlarmCommandRunner alarmCommand(options.alarmCommand, options.alarmTimeoutMs);
    if (!options.alarmCommand.isEmpty() && !alarmCommand.isValid()) {
        output.problem(QStringLiteral("--on-alarm: o comando \"%1\" não nomeia um programa, ou tem aspas sem fechamento")
                           .arg(options.alarmCommand));
        return PollExitUsage;
    }
    FrameLog frameLog;
    if (!options.logFile.isEmpty()) {
        QString error;
        if (!frameLog.open(options.logFile, &error)) {
            output.problem(error);
            return PollExitUsage;
        }
    }

    HistoryStoreOptions storeOptions;
    storeOptions.rules = loaded.rules;
    for (const PolledStation &station : loaded.stations)
        storeOptions.listedHosts << stationIdentity(station).host;
    // Room for a few rounds of every station while the history cannot write.
    storeOptions.queueCapacity = std::max(storeOptions.queueCapacity, QueuedCallsPerStation * int(loaded.stations.size()));
    const DatabaseLocation location =
        options.database.value_or(DatabaseLocation(HistoryStore::filePathIn(loaded.dataDirectory)));
    HistoryStore store(location, storeOptions);
    StoreDrain drain(&store);
    // Told once, before the failures it causes; the run ends there, with nothing to wait for.
    bool misconfigured = false;
    const auto refuse = [&](const QString &reason) {
        if (std::exchange(misconfigured, true))
            return;
        output.problem(QStringLiteral("Histórico inutilizável: %1").arg(reason));
        QCoreApplication::exit(PollExitUsage);
    };
    QObject::connect(&store, &HistoryStore::misconfigured, refuse);
    QObject::connect(&store, &HistoryStore::writesFailing, [&](const QString &reason) {
        if (!misconfigured)
            output.problem(QStringLiteral("Histórico indisponível: %1; as leituras esperam na fila").arg(reason));
    });
    QObject::connect(&store, &HistoryStore::writesWorking, [&output] {
        output.problem(QStringLiteral("Histórico disponível de novo: gravando as leituras da fila"));
    });
    StationLocks locks(location);
    QObject::connect(&locks, &StationLocks::misconfigured, refuse);
    QObject::connect(&locks, &StationLocks::unavailable, [&output](const QString &reason) {
        output.problem(QStringLiteral("Travas dos postos indisponíveis (%1): os postos são lidos sem trava até o "
                                      "servidor voltar")
                           .arg(reason));
    });
    QObject::connect(&locks, &StationLocks::available,
                     [&output] { output.problem(QStringLiteral("Travas dos postos disponíveis de novo")); });
    QObject::connect(&store, &HistoryStore::alarmChanged, [&](const AlarmNotice &notice) {
        output.line(alarmLine(notice));
        alarmCommand.run(notice);
    });
    QObject::connect(&store, &HistoryStore::ofeConflict,
                     [&output](const AlarmNotice &notice) { output.line(alarmLine(notice)); });
    QObject::connect(&alarmCommand, &AlarmCommandRunner::problem, [&output](const QString &text) { output.problem(text); });

    const PollTiming timing{options.connectTimeoutMs, options.replyTimeoutMs, options.retries, options.backoffMs};
    QObject pollOwner;  // the polls go before the store they write to
    QList<StationPoll *> polls;
    for (qsizetype i = 0; i < loaded.stations.size(); ++i) {
        auto *poll = new StationPoll(loaded.stations.at(i), loaded.passwords.at(i), timing, &store, &pollOwner);
        if (!options.logFile.isEmpty()) {
            const QString description = loaded.stations.at(i).description;
            QObject::connect(poll->session(), &ControllerSession::logLine,
                             [&frameLog, description](const QByteArray &line) { frameLog.write(description, line); });
        }
        polls << poll;
    }
    const ParallelChoice parallel = parallelWithinFileLimit(options.parallel, int(polls.size()), raiseOpenFileLimit());
    if (!parallel.note.isEmpty())
        output.problem(parallel.note);
    qCInfo(pollLog).noquote() << polls.size() << "postos,"
                              << (parallel.parallel == 0 ? QStringLiteral("todos") : QString::number(parallel.parallel))
                              << "ao mesmo tempo";
    PollScheduler scheduler(polls, parallel.parallel, &locks);
    QObject::connect(&scheduler, &PollScheduler::note, [&output](const QString &text) { output.problem(text); });
    QObject::connect(&scheduler, &PollScheduler::progress, [&output](int done, int total, int failed) {
        output.progress(done, total, failed);
    });
    QObject::connect(&scheduler, &PollScheduler::stationFinished,
                     [&output](const QString &description, bool succeeded, const QString &detail) {
                         qCDebug(pollLog).noquote() << description << (succeeded ? "lido" : "falhou:") << detail;
                         if (!succeeded)
                             output.problem(QStringLiteral("%1: sem comunicação: %2").arg(description, detail));
                     });

    // The end of a run: the history has committed what the polls handed it (and told of its
    // alarms), and the alarm commands have ended.
    int exitCode = PollExitDone;
    bool ending = false;
    const auto end = [&](int code) {
        exitCode = std::max(exitCode, code);
        if (std::exchange(ending, true))
            return;
        quint64 last = 0;
        for (const StationPoll *poll : polls)
            last = std::max(last, poll->lastWrite());
        drain.waitFor(last);
    };
    // A history that cannot write at the end is waited for a while: its queue is lost on exit.
    QTimer historyWait;
    historyWait.setSingleShot(true);
    QObject::connect(&drain, &StoreDrain::failing, [&](const QString &reason) {
        output.problem(QStringLiteral("Histórico indisponível ao terminar: %1; esperando até %2 ms que volte")
                           .arg(reason)
                           .arg(options.historyWaitMs));
        historyWait.start(options.historyWaitMs);
    });
    QObject::connect(&historyWait, &QTimer::timeout, [&] {
        // The store says, as it closes, what it could not keep.
        output.problem(QStringLiteral("Histórico ainda indisponível depois de %1 ms: encerrando").arg(options.historyWaitMs));
        QCoreApplication::exit(PollExitOther);
    });
    QObject::connect(&drain, &StoreDrain::drained, [&] {
        historyWait.stop();
        if (alarmCommand.runningCount() == 0)
            QCoreApplication::exit(exitCode);
        else
            QObject::connect(&alarmCommand, &AlarmCommandRunner::idle, [&] { QCoreApplication::exit(exitCode); });
    });
    QObject::connect(&scheduler, &PollScheduler::roundFinished, [&](const RoundSummary &summary) {
        const QString separator = QStringLiteral(", ");
        qCInfo(pollLog).nospace().noquote()
            << "rodada " << summary.number << ": " << summary.elapsedMs << " ms, " << summary.read << " de "
            << summary.stations << " postos lidos; fora da rodada: " << summary.skipped.join(separator)
            << "; com outro coletor: " << summary.heldElsewhere.join(separator)
            << "; na fila do histórico: " << store.queuedCount();
        output.line(roundLine(summary) + historyBacklog(store.writesAreFailing(), store.queuedCount()));
        if (options.everyMs == 0 && !summary.interrupted)
            end(summary.failed.isEmpty() ? PollExitDone : PollExitSomeFailed);
    });
    QObject::connect(&scheduler, &PollScheduler::stopped, [&] { end(PollExitDone); });

    bool stopping = false;
    onTerminationSignals([&] {
        // A second signal does not wait for the dialogues to close.
        if (std::exchange(stopping, true)) {
            QCoreApplication::exit(exitCode);
            return;
        }
        scheduler.stop();
    });

    // With --once every round reads the inventory, so the first after a closing hour gives it; a
    // long --every is joined by a round at each station's closing hour.
    std::unique_ptr<HistoryReader> closingHourReader;
    std::unique_ptr<ClosingHourReads> closingHourReads;
    if (options.everyMs > 0) {
        closingHourReader = std::make_unique<HistoryReader>(location);
        closingHourReads = std::make_unique<ClosingHourReads>(polls, closingHourReader.get());
        QObject::connect(closingHourReads.get(), &ClosingHourReads::due,
                         [&](const QList<StationPoll *> &due, const QList<QTime> &hours) {
                             if (stopping)
                                 return;
                             output.line(closingReadLine(hours, int(due.size())));
                             scheduler.runClosingRound(due);
                         });
        QObject::connect(closingHourReads.get(), &ClosingHourReads::problem,
                         [&output](const QString &text) { output.problem(text); });
        scheduler.runEvery(options.everyMs);
        closingHourReads->start();
    } else {
        scheduler.runRound();
    }
    return app.exec();
}
