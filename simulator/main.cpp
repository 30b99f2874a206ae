#include "session/open_file_limit.h"
#include "session/quit_on_signal.h"
#include "session/utf8_output.h"
#include "simulator/address_range.h"
#include "simulator/controller_simulator.h"
#include "simulator/default_station.h"
#include "simulator/frame_text.h"
#include "simulator/station_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

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

void addOptions(QCommandLineParser &parser)
{
    const auto withValue = [](const char *name, const char *description, const char *value) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(description),
                                  QString::fromLatin1(value));
    };
    const auto flag = [](const char *name, const char *description) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(description));
    };
    parser.addOptions({
        withValue("address", "Address to listen on (default 127.0.0.1).", "A"),
        withValue("addresses",
                  "One station per address from FIRST to LAST (IPv4), all on the same port, each with a state "
                  "of its own.",
                  "FIRST-LAST"),
        withValue("port", "TCP port (default 4001).", "P"),
        withValue("station", "Station file (default: a built-in demo station).", "FILE"),
        flag("quiet", "Print nothing but problems."),
        flag("silent", "Accept connections and never acknowledge or answer anything."),
        withValue("delay", "Milliseconds before each reply frame (default 0).", "MS"),
        withValue("ack-timeout", "Milliseconds a series waits for the console's ACK of each frame (default 1000).",
                  "MS"),
        withValue("chunk", "Fault: send replies in chunks of N bytes.", "N"),
        flag("nak", "Fault: NAK every request and answer none."),
        flag("bad-check", "Fault: replies carry a wrong check byte."),
        withValue("close-after", "Fault: close the connection on receiving the K-th frame.", "K"),
        flag("unterminated", "Fault: once per connection, send a frame without ETX before the first reply."),
        withValue("garbage", "Fault: send N bytes without ETX on connection.", "N"),
        withValue("flood", "Fault: send N reply frames on connection, without waiting for ACKs.", "N"),
    });
}

// A whole number from 0 to `largest` for an option, or nothing after reporting the bad value.
std::optional<int> number(const QCommandLineParser &parser, const char *name, int fallback,
                          int largest = std::numeric_limits<int>::max())
{
    const QString option = QString::fromLatin1(name);
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0 || value > largest) {
        err() << "comzelta-sim: --" << option << " needs a whole number from 0 to " << largest << ", not \""
              << parser.value(option) << "\"\n";
        return std::nullopt;
    }
    return value;
}

// Nothing after reporting a bad value.
std::optional<SimulatorSettings> linkSettings(const QCommandLineParser &parser)
{
    const SimulatorSettings defaults;
    const std::optional<int> delay = number(parser, "delay", defaults.replyDelayMs);
    const std::optional<int> ackTimeout = number(parser, "ack-timeout", defaults.ackTimeoutMs);
    const std::optional<int> chunk = number(parser, "chunk", defaults.chunkSize);
    const std::optional<int> closeAfter = number(parser, "close-after", defaults.closeAfterFrames);
    const std::optional<int> garbage = number(parser, "garbage", defaults.garbageOnConnect);
    const std::optional<int> flood = number(parser, "flood", defaults.floodOnConnect);
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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated tank-gauge controller for the ComZelta console."));
    parser.addHelpOption();
    addOptions(parser);
    parser.process(app);
    const bool quiet = parser.isSet(QStringLiteral("quiet"));

    const std::optional<int> port = number(parser, "port", ControllerSimulator::DefaultPort, 65535);
    const std::optional<QList<QHostAddress>> addresses = listenAddresses(parser);
    const std::optional<SimulatorSettings> settings = linkSettings(parser);
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
