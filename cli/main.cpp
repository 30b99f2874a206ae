#include "cli/cli_options.h"
#include "cli/command_runner.h"
#include "cli/csv_report.h"
#include "cli/exit_codes.h"
#include "cli/json_report.h"
#include "cli/password_source.h"
#include "cli/station_address.h"
#include "cli/text_report.h"
#include "config/station_paths.h"
#include "session/controller_session.h"
#include "session/log_masking.h"
#include "session/log_text.h"
#include "session/utf8_output.h"
#include "store/history_store.h"
#include "store/session_keeper.h"
#include "store/store_drain.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

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

void complain(const QString &message)
{
    err() << "comzelta-cli: " << message << Qt::endl;
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

    const ParsedArguments parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (parsed.help) {
        out() << usageText();
        return ExitDone;
    }
    if (!parsed.options) {
        complain(parsed.error);
        err() << '\n' << usageText();
        return ExitUsage;
    }
    const CliOptions &options = *parsed.options;

    const StationResolution station = resolveStation(options.station, options.dataDirectory);
    if (!station.address) {
        complain(station.error);
        return ExitUsage;
    }
    const PasswordSource password = readPassword(options.passwordFile, environmentPassword());
    if (!password.password) {
        complain(password.error);
        return ExitUsage;
    }

    // Opened on its own thread while the connection is made; the command never waits for it.
    HistoryStore store(options.database.value_or(
        DatabaseLocation(HistoryStore::filePathIn(dataDirectoryOrDefault(options.dataDirectory)))));
    StoreDrain drain(&store);
    ControllerSession session;
    SessionKeeper keeper(&session, &store, Origin::Cli);
    const QString host = historyHost(*station.address);
    keeper.setStation({station.description.isEmpty() ? host : station.description, host, {}, {}});
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
    QObject::connect(&runner, &CommandRunner::finished, [&](int code) {
        if (runner.hasReport()) {
            out() << QString::fromUtf8(formatted(runner.report(), options.format));
            out().flush();
        }
        exitCode = code;
        drain.waitFor(keeper.lastWrite());
    });
    // A history that cannot write is not waited for: the store says, as it closes, what it could
    // not keep and why.
    const auto quit = [&exitCode] { QCoreApplication::exit(exitCode); };
    QObject::connect(&drain, &StoreDrain::drained, quit);
    QObject::connect(&drain, &StoreDrain::failing, quit);
    QTimer::singleShot(0, &runner, &CommandRunner::start);
    return app.exec();
}
