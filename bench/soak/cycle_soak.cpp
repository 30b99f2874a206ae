#include "soak/cycle_soak.h"

#include "common/console_dialogue.h"
#include "common/link_pauses.h"
#include "common/process_memory.h"
#include "common/simulator_process.h"
#include "console/message_log_model.h"
#include "session/controller_session.h"
#include "simulator/default_station.h"
#include "soak/command_runner.h"
#include "soak/log_size.h"
#include "tests/console/console_fixture.h"

#include <QAbstractButton>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr char Address[] = "127.0.0.43";
constexpr int CommandTimeoutMs = 10000;
constexpr int QuietMs = 1000;

// CPU time of this process, in milliseconds: the console's own work, whatever the pauses.
double cpuMilliseconds()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

struct Times {
    double totalMs = 0.0;
    double floorMs = 0.0;
    double longestMs = 0.0;
    int count = 0;

    void add(double ms, int floor)
    {
        totalMs += ms;
        floorMs += floor;
        longestMs = std::max(longestMs, ms);
        ++count;
    }
};

void printMemoryLine(const char *label, const ProcessMemory &memory, int logLines)
{
    std::printf("%s: RSS %.1f MiB, peak %.1f MiB, log %d lines\n", label, mebibytes(memory.residentKiB),
                mebibytes(memory.peakKiB), logLines);
}

} // namespace

int runCycleSoak(int cycles, int reportEvery)
{
    const std::vector<SoakCommand> mix = commandMix(demonstrationStation());
    SimulatorProcess simulator(QString::fromLatin1(Address), {});
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "bench_soak: %s\n", qPrintable(error));
        return 1;
    }
    ConsoleFixture fixture({{QStringLiteral("Posto Soak"), QString::fromLatin1(Address)}});
    CommandRunner runner(fixture);
    if (!openDialogue(fixture, 0)) {
        std::fprintf(stderr, "bench_soak: the dialogue with the controller did not open\n");
        return 1;
    }
    // "MT" and "LM" ask for tank 2.
    fixture.child<QAbstractButton>(QStringLiteral("TQ_Ativo_1"))->click();

    std::printf("bench_soak: %d cycles of", cycles);
    for (const SoakCommand &command : mix)
        std::printf(" %s", qPrintable(command.name));
    std::printf(" against %s (answering at once)\n", Address);

    // One pass first, so that what every command allocates once (its windows' first use) is not
    // counted as growth.
    for (const SoakCommand &command : mix)
        runner.run(command, CommandTimeoutMs);
    const MessageLogModel &log = fixture.console().log();
    const ProcessMemory start = readProcessMemory();
    const int startLines = log.rowCount();
    const long long startLogBytes = estimatedLogBytes(log);
    printMemoryLine("start", start, startLines);
    std::fflush(stdout);

    std::vector<Times> byCommand(mix.size());
    Times all, sinceReport;
    double cpuAtReport = cpuMilliseconds();
    int timeouts = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const std::size_t index = std::size_t(cycle - 1) % mix.size();
        const SoakCommand &command = mix[index];
        const std::optional<double> ms = runner.run(command, CommandTimeoutMs);
        if (!ms) {
            ++timeouts;
            std::printf("cycle %d: %s not answered within %d ms\n", cycle, qPrintable(command.name), CommandTimeoutMs);
            runner.waitForQuiet(QuietMs);
        } else {
            const int floor = backToBackFloorMs(command.replies, fixture.console().session().pauseMs());
            byCommand[index].add(*ms, floor);
            all.add(*ms, floor);
            sinceReport.add(*ms, floor);
        }
        if (cycle % reportEvery == 0 || cycle == cycles) {
            const ProcessMemory now = readProcessMemory();
            const double cpu = cpuMilliseconds();
            const int counted = std::max(1, sinceReport.count);
            std::printf("cycle %d: %.1f ms per cycle (floor %.1f, CPU %.2f), RSS %.1f MiB, peak %.1f MiB, log %d lines\n",
                        cycle, sinceReport.totalMs / counted, sinceReport.floorMs / counted, (cpu - cpuAtReport) / counted,
                        mebibytes(now.residentKiB), mebibytes(now.peakKiB), log.rowCount());
            cpuAtReport = cpu;
            std::fflush(stdout);
            sinceReport = {};
        }
    }

    const ProcessMemory end = readProcessMemory();
    const long long logBytes = estimatedLogBytes(log) - startLogBytes;
    const double growthMiB = mebibytes(end.residentKiB - start.residentKiB);
    const double logMiB = double(logBytes) / (1024.0 * 1024.0);

    std::printf("\ncommand  cycles  mean ms  floor ms  ratio  longest ms\n");
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const Times &times = byCommand[i];
        if (times.count == 0)
            continue;
        std::printf("%-7s %7d %8.1f %9.1f %6.3f %11.1f\n", qPrintable(mix[i].name), times.count,
                    times.totalMs / times.count, times.floorMs / times.count, times.totalMs / times.floorMs,
                    times.longestMs);
    }
    if (all.count > 0)
        std::printf("all     %7d %8.1f %9.1f %6.3f %11.1f\n", all.count, all.totalMs / all.count,
                    all.floorMs / all.count, all.totalMs / all.floorMs, all.longestMs);
    std::printf("floor: one %d ms pause per transmission, the request and the ACK of each reply, as commands follow "
                "one another; the keep-alive takes a pause of its own every 5 s\n",
                fixture.console().session().pauseMs());
    printMemoryLine("end", end, log.rowCount());
    std::printf("RSS growth %.2f MiB; the log's new %d lines take about %.2f MiB; growth beyond the log %.2f MiB\n",
                growthMiB, log.rowCount() - startLines, logMiB, growthMiB - logMiB);
    std::printf("timeouts %d, frames read together with an ACK %d\n", timeouts, runner.framesWithoutStx());
    std::printf("inventory windows %d for %d inventories, results windows %d for %d requests\n",
                runner.windowsOpened(QStringLiteral("Form2")), runner.pressed(QStringLiteral("IV")),
                runner.windowsOpened(QStringLiteral("Form5")), runner.pressed(QStringLiteral("MP")));
    return timeouts > 0 ? 1 : 0;
}
