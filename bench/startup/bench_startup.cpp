// Start-up of the console to its first painted window, beside a minimal Qt Widgets window
// started the same way: each is a child process (bench_startup_probe), timed from its start to
// the line it prints once its window has been painted.
#include "common/process_memory.h"
#include "common/statistics.h"
#include "stations/station_file_writer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

constexpr double TargetRatio = 1.3;
constexpr int ProbeTimeoutMs = 20000;

struct Sample {
    double ms = 0.0;
    long peakKiB = 0;
};

// Two demonstration stations; the console does not connect at start-up, so no controller is needed.
bool writeDemoStations(const QString &directory)
{
    StationTable table;
    table.entry(1) = {QStringLiteral("Posto Centro"), QStringLiteral("127.0.0.58"), QStringLiteral("4001")};
    table.entry(2) = {QStringLiteral("Posto Rodovia"), QStringLiteral("127.0.0.59"), QStringLiteral("4001")};
    const Result<void, StationFileProblem> saved = saveStationFile(directory, table);
    if (saved)
        return true;
    std::fprintf(stderr, "bench_startup: station file: %s\n", qPrintable(stationFileProblemText(saved.error())));
    return false;
}

std::optional<Sample> startProbe(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess probe;
    probe.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_startup_probe"));
    probe.setArguments(arguments);
    probe.setProcessEnvironment(environment);

    QElapsedTimer clock;
    clock.start();
    probe.start();
    QByteArray output;
    while (!output.contains('\n') && probe.waitForReadyRead(ProbeTimeoutMs))
        output += probe.readAllStandardOutput();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (!probe.waitForFinished(ProbeTimeoutMs))
        probe.kill();

    Sample sample;
    sample.ms = ms;
    if (std::sscanf(output.constData(), "painted %ld", &sample.peakKiB) == 1)
        return sample;
    std::fprintf(stderr, "bench_startup: probe %s printed no paint:\n%s\n", qPrintable(arguments.join(' ')),
                 probe.readAllStandardError().constData());
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Console start-up to its first painted window, against a minimal window."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Starts of each window (default 10)."),
                                        QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption platformOption(
        QStringLiteral("platform"), QStringLiteral("Qt platform of the windows (default xcb when DISPLAY is set, else offscreen)."),
        QStringLiteral("NAME"));
    parser.addOptions({runsOption, platformOption});
    parser.process(app);
    const int runs = parser.value(runsOption).toInt();
    if (runs < 1) {
        std::fprintf(stderr, "bench_startup: --runs needs a whole number of at least 1\n");
        return 2;
    }
    const QString platform = parser.isSet(platformOption) ? parser.value(platformOption)
                             : qEnvironmentVariableIsEmpty("DISPLAY") ? QStringLiteral("offscreen")
                                                                      : QStringLiteral("xcb");

    QTemporaryDir dataDirectory;
    const QString dataPath = dataDirectory.path() + QLatin1Char('/');
    if (!dataDirectory.isValid() || !writeDemoStations(dataPath))
        return 1;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);

    const QStringList consoleArguments{QStringLiteral("console"), dataPath};
    const QStringList minimalArguments{QStringLiteral("minimal")};
    std::printf("bench_startup: platform %s, %d starts of each window, alternating\n", qPrintable(platform), runs);
    std::vector<double> consoleMs, minimalMs, consolePeak, minimalPeak;
    for (int i = 1; i <= runs; ++i) {
        // Alternating which goes first keeps a warming cache or a busy moment from favouring one.
        std::optional<Sample> console, minimal;
        if (i % 2) {
            console = startProbe(consoleArguments, environment);
            minimal = startProbe(minimalArguments, environment);
        } else {
            minimal = startProbe(minimalArguments, environment);
            console = startProbe(consoleArguments, environment);
        }
        if (!console || !minimal)
            return 1;
        consoleMs.push_back(console->ms);
        minimalMs.push_back(minimal->ms);
        consolePeak.push_back(double(console->peakKiB));
        minimalPeak.push_back(double(minimal->peakKiB));
        std::printf("run %d: console %.1f ms (peak %.1f MiB), minimal %.1f ms (peak %.1f MiB)\n", i, console->ms,
                    mebibytes(console->peakKiB), minimal->ms, mebibytes(minimal->peakKiB));
        std::fflush(stdout);
    }

    const double consoleMedian = median(consoleMs);
    const double minimalMedian = median(minimalMs);
    std::printf("median time to first paint: console %.1f ms, minimal %.1f ms\n", consoleMedian, minimalMedian);
    std::printf("ratio console/minimal: %.2f (target <= %.1f)\n", consoleMedian / minimalMedian, TargetRatio);
    std::printf("median peak memory (VmHWM): console %.1f MiB, minimal %.1f MiB\n",
                mebibytes(long(median(consolePeak))), mebibytes(long(median(minimalPeak))));
    return 0;
}
