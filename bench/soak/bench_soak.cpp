// Long runs of the console against a simulated controller: memory and pace over thousands of
// commands, or the cost of a controller that sends garbage and floods.
#include "common/headless.h"
#include "soak/cycle_soak.h"
#include "soak/garbage_soak.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char *argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Console soak: memory and pace over many commands."));
    parser.addHelpOption();
    const QCommandLineOption cyclesOption(QStringLiteral("cycles"), QStringLiteral("Commands to run (default 10000)."),
                                          QStringLiteral("N"), QStringLiteral("10000"));
    const QCommandLineOption reportOption(QStringLiteral("report-every"),
                                          QStringLiteral("Cycles between progress lines (default 1000)."),
                                          QStringLiteral("N"), QStringLiteral("1000"));
    const QCommandLineOption garbageOption(
        QStringLiteral("garbage"), QStringLiteral("Instead: peak memory and responsiveness under garbage and a flood."));
    parser.addOptions({cyclesOption, reportOption, garbageOption});
    parser.process(app);

    if (parser.isSet(garbageOption))
        return runGarbageSoak();
    const int cycles = parser.value(cyclesOption).toInt();
    const int reportEvery = parser.value(reportOption).toInt();
    if (cycles < 1 || reportEvery < 1) {
        std::fprintf(stderr, "bench_soak: --cycles and --report-every need whole numbers of at least 1\n");
        return 2;
    }
    return runCycleSoak(cycles, reportEvery);
}
