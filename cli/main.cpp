#include "cli/book_command.h"
#include "cli/cli_options.h"
#include "cli/command_runner.h"
#include "cli/csv_report.h"
#include "cli/exit_codes.h"
#include "cli/json_report.h"
#include "cli/password_source.h"
#include "cli/station_address.h"
#include "cli/text_report.h"
#include "process/qt_translations.h"
#include "process/utf8_output.h"
#include "stations/station_paths.h"
#include "session/controller_session.h"
#include "session/log_masking.h"
#include "session/log_text.h"
#include "store/history_store.h"
#include "store/session_keeper.h"
#include "store/store_drain.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>

// Diagnostics for a field engineer (QT_LOGGING_RULES="comzelta.cli.info=true"), never the command's output.
Q_LOGGING_CATEGORY(cliLog, "comzelta.cli", QtWarningMsg)

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// A message may quote what the controller sent (an address, an error code): never raw to a terminal.
void complain(const QString &message)
{
    err() << "comzelta-cli: " << readableText(message) << Qt::endl;
}

QByteArray formatted(const CommandReport &report, OutputFormat format)
{
    switch (format) {
    case OutputFormat::Json:
        return jsonReport(report);
    case OutputFormat::Csv:
        return csvReport(report);
    case OutputFormat::Text:
        break;
    }
    return textReport(report);
}

std::optional<QString> environmentPassword()
{
    if (!qEnvironmentVariableIsSet(PasswordVariable))
        return std::nullopt;
    return qEnvironmentVariable(PasswordVariable);
}

} // namespace

int main(int argc, char *argv[])
{
    useUtf8Output();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("comzelta-cli"));

    // Qt's part of the usage ("Uso:", "Opções:") in Portuguese whatever the locale.
    if (!installQtTranslations(app))
        qCInfo(cliLog, "Traduções do Qt não encontradas: a ajuda das opções fica em parte em inglês.");

    const Result<CliOptions, CliUsageProblem> parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (!parsed) {
        complain(usageProblemText(parsed.error()));
        err() << '\n' << usageText();
        return ExitUsage;
    }
    if (parsed->help) {
        out() << usageText();
        return ExitDone;
    }
    const CliOptions &options = *parsed;

    const StationResolution station = resolveStation(options.station, options.dataDirectory);
    if (!station.address) {
        complain(station.error);
        return ExitUsage;
    }
    // The book lives in the history alone: no password, no controller.
    if (options.book)
        return runBookCommand(options, station, out(), err());
    const PasswordSource password = readPassword(options.passwordFile, environmentPassword());
    if (!password.password) {
        complain(password.error);
        return ExitUsage;
    }

    const QString dataDirectory = dataDirectoryOrDefault(options.dataDirectory);
    // The console's own place, made as the console makes it; a directory named with --data-dir
    // must exist, lest a mistyped name start a history of its own.
    if (!options.database && options.dataDirectory.isEmpty())
        QDir().mkpath(dataDirectory);
    // Opened on its own thread while the connection is made; the command never waits for it.
    HistoryStoreOptions storeOptions;
    storeOptions.listedHosts = station.listedHosts;
    HistoryStore store(options.database.value_or(DatabaseLocation(HistoryStore::filePathIn(dataDirectory))), storeOptions);
    StoreDrain drain(&store);
    ControllerSession session;
    SessionKeeper keeper(&session, &store, Origin::Cli);
    const QString host = historyHost(*station.address);
    // An address typed on the command line names no station: the history keeps the listed name.
    keeper.setStation({station.description, host, {}, {}});
    qCInfo(cliLog).noquote() << "posto" << (station.description.isEmpty() ? host : station.description) << "em"
                             << station.address->host << station.address->port;
    if (options.log) {
        QObject::connect(&session, &ControllerSession::logLine,
                         [](const QByteArray &line) { err() << readableLogLine(maskedLogLine(line)) << Qt::endl; });
    }
    CommandRunner runner(&session, options, *station.address, *password.password);
    QObject::connect(&runner, &CommandRunner::problem, complain);
    QObject::connect(&runner, &CommandRunner::commandSent, &keeper, [&keeper](SessionRequest *request) {
        if (request->code() == "MA")
            keeper.keepSeriesOf(request);
    });
    // The history never changes what the command printed nor its exit code.
    int exitCode = ExitDone;
    QElapsedTimer clock;
    QObject::connect(&runner, &CommandRunner::finished, [&](int code) {
        qCInfo(cliLog) << "comando terminado em" << clock.elapsed() << "ms, código de saída" << code;
        if (runner.hasReport()) {
            out() << QString::fromUtf8(formatted(runner.report(), options.format));
            out().flush();
        }
        exitCode = code;
        drain.waitFor(keeper.lastWrite());
    });
    // A history that cannot write is not waited for: the store says, as it closes, what it could
    // not keep and why.
    const auto quit = [&exitCode, &clock] {
        qCInfo(cliLog) << "espera pelo histórico terminada em" << clock.elapsed() << "ms";
        QCoreApplication::exit(exitCode);
    };
    QObject::connect(&drain, &StoreDrain::drained, quit);
    QObject::connect(&drain, &StoreDrain::failing, quit);
    clock.start();
    QTimer::singleShot(0, &runner, &CommandRunner::start);
    return app.exec();
}
