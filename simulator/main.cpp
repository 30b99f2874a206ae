#include "process/command_line.h"
#include "process/open_file_limit.h"
#include "process/qt_translations.h"
#include "process/quit_on_signal.h"
#include "process/utf8_output.h"
#include "process/whole_number.h"
#include "simulator/address_range.h"
#include "simulator/controller_simulator.h"
#include "simulator/default_station.h"
#include "simulator/frame_text.h"
#include "simulator/station_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int MostStations = 65536;

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

QCommandLineOption withValue(const char *name, const QString &description, const QString &value)
{
    return QCommandLineOption(QString::fromLatin1(name), description, value);
}

QCommandLineOption flag(const char *name, const QString &description)
{
    return QCommandLineOption(QString::fromLatin1(name), description);
}

QCommandLineOption whole(const char *name, const QString &description, const QString &value, int fallback)
{
    return wholeNumberOption(QString::fromLatin1(name), description, value, fallback);
}

// Every option, named once with its help, the name of its value and its default.
struct SimulatorOptionTable {
    const SimulatorSettings defaults;
    const QCommandLineOption help = helpOption();
    const QCommandLineOption address =
        withValue("address", QStringLiteral("Endereço onde escutar (padrão 127.0.0.1)."), QStringLiteral("A"));
    const QCommandLineOption addresses =
        withValue("addresses",
                  QStringLiteral("Um posto por endereço de PRIMEIRO a ÚLTIMO (IPv4), todos na mesma porta, cada um com "
                                 "um estado próprio."),
                  QStringLiteral("PRIMEIRO-ÚLTIMO"));
    const QCommandLineOption port =
        whole("port", QStringLiteral("Porta TCP (padrão %1)."), QStringLiteral("P"), ControllerSimulator::DefaultPort);
    const QCommandLineOption station =
        withValue("station", QStringLiteral("Arquivo do posto (padrão: um posto de demonstração embutido)."),
                  QStringLiteral("ARQUIVO"));
    const QCommandLineOption quiet = flag("quiet", QStringLiteral("Não mostra nada além dos problemas."));
    const QCommandLineOption silent =
        flag("silent", QStringLiteral("Aceita conexões e nunca confirma nem responde nada."));
    const QCommandLineOption delay = whole(
        "delay", QStringLiteral("Milissegundos antes de cada quadro de resposta (padrão %1)."), QStringLiteral("MS"),
        defaults.replyDelayMs);
    const QCommandLineOption ackTimeout =
        whole("ack-timeout",
              QStringLiteral("Milissegundos que uma série espera pelo ACK do console a cada quadro (padrão %1)."),
              QStringLiteral("MS"), defaults.ackTimeoutMs);
    const QCommandLineOption chunk = whole(
        "chunk", QStringLiteral("Falha: envia as respostas em pedaços de N bytes."), QStringLiteral("N"),
        defaults.chunkSize);
    const QCommandLineOption nak =
        flag("nak", QStringLiteral("Falha: responde NAK a toda requisição e não responde nenhuma."));
    const QCommandLineOption badCheck =
        flag("bad-check", QStringLiteral("Falha: as respostas levam um byte de verificação errado."));
    const QCommandLineOption closeAfter =
        whole("close-after", QStringLiteral("Falha: fecha a conexão ao receber o K-ésimo quadro."),
              QStringLiteral("K"), defaults.closeAfterFrames);
    const QCommandLineOption unterminated =
        flag("unterminated",
             QStringLiteral("Falha: uma vez por conexão, envia um quadro sem ETX antes da primeira resposta."));
    const QCommandLineOption garbage = whole(
        "garbage", QStringLiteral("Falha: envia N bytes sem ETX ao receber a conexão."), QStringLiteral("N"),
        defaults.garbageOnConnect);
    const QCommandLineOption flood =
        whole("flood",
              QStringLiteral("Falha: envia N quadros de resposta ao receber a conexão, sem esperar pelos ACKs."),
              QStringLiteral("N"), defaults.floodOnConnect);
    const QCommandLineOption replyFault =
        withValue("reply-fault",
                  QStringLiteral("Falha: estraga as respostas (%1).").arg(replyFaultNames().join(QStringLiteral(", "))),
                  QStringLiteral("MODO"));
    const QCommandLineOption faultCodes =
        withValue("fault-codes",
                  QStringLiteral("Os códigos de requisição cujas respostas --reply-fault estraga (padrão: todos)."),
                  QStringLiteral("CÓDIGO,CÓDIGO..."));

    QList<QCommandLineOption> all() const
    {
        return {help, address,      addresses, port,    station, quiet,      silent,     delay,     ackTimeout,
                chunk, nak, badCheck, closeAfter, unterminated, garbage, flood, replyFault, faultCodes};
    }
};

// Why the command line cannot be used: its form in Portuguese, as the other programs say it but for
// the unknown option, unquoted; a value in English, as the simulator's other messages.
QString simulatorProblemText(const CommandLineProblem &problem)
{
    const QString hint = QStringLiteral(" (comzelta-sim --help lista as opções)");
    switch (problem.kind) {
    case CommandLineProblem::Kind::UnknownOption:
        return QStringLiteral("opção desconhecida: %1").arg(problem.argument) + hint;
    case CommandLineProblem::Kind::NotAWholeNumber:
        return QStringLiteral("%1 needs a whole number from %2 to %3, not \"%4\"")
            .arg(problem.argument)
            .arg(problem.lowest)
            .arg(problem.highest)
            .arg(problem.value);
    case CommandLineProblem::Kind::MissingValue:
    case CommandLineProblem::Kind::UnexpectedValue:
    case CommandLineProblem::Kind::UnexpectedArgument:
        break;
    }
    return problemText(problem) + hint;
}

// A whole number from 0 to `largest` for an option, or nothing after reporting the bad value.
std::optional<int> number(const QCommandLineParser &parser, const QCommandLineOption &option,
                          int largest = std::numeric_limits<int>::max())
{
    const Result<int, CommandLineProblem> value = readWholeNumber(parser, option, 0, largest);
    if (!value) {
        err() << "comzelta-sim: " << simulatorProblemText(value.error()) << '\n';
        return std::nullopt;
    }
    return *value;
}

// The reply fault and the codes it applies to, into `settings`; false after reporting a bad value.
bool readReplyFault(const QCommandLineParser &parser, SimulatorSettings &settings)
{
    const QString mode = QStringLiteral("reply-fault");
    const QString codes = QStringLiteral("fault-codes");
    if (parser.isSet(codes) && !parser.isSet(mode)) {
        err() << "comzelta-sim: --fault-codes needs --reply-fault\n";
        return false;
    }
    if (!parser.isSet(mode))
        return true;
    const std::optional<ReplyFault> fault = replyFaultNamed(parser.value(mode));
    if (!fault) {
        err() << "comzelta-sim: --reply-fault needs one of " << replyFaultNames().join(QStringLiteral(", "))
              << ", not \"" << parser.value(mode) << "\"\n";
        return false;
    }
    settings.replyFault = *fault;
    if (!parser.isSet(codes))
        return true;
    for (const QString &code : parser.value(codes).split(QLatin1Char(','))) {
        const QByteArray letters = code.trimmed().toUpper().toLatin1();
        const bool twoLetters = letters.size() == 2
            && std::all_of(letters.begin(), letters.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
        if (!twoLetters) {
            err() << "comzelta-sim: --fault-codes needs two-letter request codes separated by commas, not \""
                  << parser.value(codes) << "\"\n";
            return false;
        }
        settings.faultCodes << letters;
    }
    return true;
}

// Nothing after reporting a bad value.
std::optional<SimulatorSettings> linkSettings(const QCommandLineParser &parser, const SimulatorOptionTable &table)
{
    const std::optional<int> delay = number(parser, table.delay);
    const std::optional<int> ackTimeout = number(parser, table.ackTimeout);
    const std::optional<int> chunk = number(parser, table.chunk);
    const std::optional<int> closeAfter = number(parser, table.closeAfter);
    const std::optional<int> garbage = number(parser, table.garbage);
    const std::optional<int> flood = number(parser, table.flood);
    if (!delay || !ackTimeout || !chunk || !closeAfter || !garbage || !flood)
        return std::nullopt;

    SimulatorSettings settings;
    settings.replyDelayMs = *delay;
    settings.ackTimeoutMs = *ackTimeout;
    settings.chunkSize = *chunk;
    settings.nakRequests = parser.isSet(QStringLiteral("nak"));
    settings.wrongCheckByte = parser.isSet(QStringLiteral("bad-check"));
    settings.closeAfterFrames = *closeAfter;
    settings.unterminatedFrame = parser.isSet(QStringLiteral("unterminated"));
    settings.garbageOnConnect = *garbage;
    settings.floodOnConnect = *flood;
    settings.silent = parser.isSet(QStringLiteral("silent"));
    if (!readReplyFault(parser, settings))
        return std::nullopt;
    return settings;
}

// The addresses to listen on, or nothing after reporting why.
std::optional<QList<QHostAddress>> listenAddresses(const QCommandLineParser &parser)
{
    const QString single = QStringLiteral("address");
    const QString range = QStringLiteral("addresses");
    if (parser.isSet(single) && parser.isSet(range)) {
        err() << "comzelta-sim: --address and --addresses cannot go together\n";
        return std::nullopt;
    }
    if (parser.isSet(range)) {
        const std::optional<QList<QHostAddress>> addresses = addressRange(parser.value(range), MostStations);
        if (!addresses)
            err() << "comzelta-sim: --addresses needs FIRST-LAST, two IPv4 addresses, the first not after the "
                     "last, at most "
                  << MostStations << " in all, not \"" << parser.value(range) << "\"\n";
        return addresses;
    }
    const QString text = parser.isSet(single) ? parser.value(single) : QStringLiteral("127.0.0.1");
    const QHostAddress address(text);
    if (address.isNull()) {
        err() << "comzelta-sim: \"" << text << "\" is not an IP address\n";
        return std::nullopt;
    }
    return QList<QHostAddress>{address};
}

// With several stations each line starts with the address of the station it concerns.
void printTraffic(const ControllerSimulator &simulator, const QString &station)
{
    const auto print = [station](const QString &line) { out() << station << line << Qt::endl; };
    QObject::connect(&simulator, &ControllerSimulator::clientConnected,
                     [print](const QString &peer) { print(peer + QStringLiteral(" connected")); });
    QObject::connect(&simulator, &ControllerSimulator::clientDisconnected,
                     [print](const QString &peer) { print(peer + QStringLiteral(" disconnected")); });
    QObject::connect(&simulator, &ControllerSimulator::requestReceived,
                     [print](const QString &peer, const QByteArray &frame) {
                         print(peer + QStringLiteral(" <- ") + frameText(frame));
                     });
    QObject::connect(&simulator, &ControllerSimulator::replySent,
                     [print](const QString &peer, const QByteArray &frame) {
                         print(peer + QStringLiteral(" -> ") + frameText(frame));
                     });
}

} // namespace

int main(int argc, char *argv[])
{
    useUtf8Output();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("comzelta-sim"));

    // Qt's part of the help ("Uso:", "Opções:") in Portuguese whatever the locale; without its
    // translations, in English.
    installQtTranslations(app);

    const SimulatorOptionTable table;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Controlador de medição de tanques simulado, para o console ComZelta."));
    if (const Result<void, CommandLineProblem> read =
            readCommandLine(parser, table.all(), QCoreApplication::arguments().mid(1), Positionals::Taken);
        !read) {
        err() << "comzelta-sim: " << simulatorProblemText(read.error()) << '\n';
        return 2;
    }
    if (parser.isSet(table.help))
        parser.showHelp(0);
    const bool quiet = parser.isSet(table.quiet);

    const std::optional<int> port = number(parser, table.port, 65535);
    const std::optional<QList<QHostAddress>> addresses = listenAddresses(parser);
    const std::optional<SimulatorSettings> settings = linkSettings(parser, table);
    if (!port || !addresses || !settings)
        return 2;

    SimulatedStation station = demonstrationStation();
    if (parser.isSet(QStringLiteral("station"))) {
        const StationLoad load = loadStationFile(parser.value(QStringLiteral("station")));
        for (const QString &problem : load.problems)
            err() << "comzelta-sim: " << problem << '\n';
        err().flush();
        if (!load.readable)
            return 1;
        station = load.station;
    }
    raiseOpenFileLimit();
    const bool several = addresses->size() > 1;
    std::vector<std::unique_ptr<ControllerSimulator>> simulators;
    for (qsizetype i = 0; i < addresses->size(); ++i) {
        const QHostAddress &address = addresses->at(i);
        // Each address is a controller of its own, and the history tells controllers apart by
        // their OFE number: the file's, then one more for each address after the first.
        SimulatedStation own = station;
        own.ofe = int((station.ofe + i) % 1000000);
        auto &simulator = simulators.emplace_back(std::make_unique<ControllerSimulator>(own));
        simulator->setSettings(*settings);
        if (!quiet)
            printTraffic(*simulator, several ? address.toString() + QStringLiteral(" | ") : QString());
        if (!simulator->listen(address, quint16(*port))) {
            err() << "comzelta-sim: cannot listen on " << address.toString() << ':' << *port << ": "
                  << simulator->errorString() << '\n';
            return 1;
        }
    }
    if (!quiet && several)
        out() << "listening on " << addresses->first().toString() << '-' << addresses->last().toString()
              << ", port " << *port << " (" << addresses->size() << " stations)" << Qt::endl;
    else if (!quiet)
        out() << "listening on " << addresses->first().toString() << ':' << *port << Qt::endl;

    quitOnTerminationSignals();
    return app.exec();
}
