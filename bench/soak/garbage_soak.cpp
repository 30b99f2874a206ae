#include "soak/garbage_soak.h"

#include "common/console_dialogue.h"
#include "common/event_wait.h"
#include "common/process_memory.h"
#include "common/simulator_process.h"
#include "console/message_log_model.h"
#include "simulator/default_station.h"
#include "soak/command_runner.h"
#include "tests/console/console_fixture.h"

#include <QAbstractButton>

#include <atomic>
#include <cstdio>

namespace {

constexpr char QuietAddress[] = "127.0.0.44";
constexpr char NoisyAddress[] = "127.0.0.45";
constexpr int GarbageBytes = 1024 * 1024;
constexpr int FloodFrames = 10000;
constexpr double TargetPeakGrowthMB = 10.0;
constexpr double TargetResponseMs = 1000.0;
constexpr int CommandTimeoutMs = 10000;
constexpr int NoiseTimeoutMs = 120000;
constexpr int QuietMs = 1000;

// Time points as plain numbers, so that the watching thread can hand them over atomically.
long long ticks(BenchClock::time_point at)
{
    return at.time_since_epoch().count();
}

BenchClock::time_point timePoint(long long ticks)
{
    return BenchClock::time_point(BenchClock::duration(ticks));
}

// Follows the noisy simulator's output on its watching thread. When the flood's last frame has
// been written it presses the button through the console's event queue, as a click would
// arrive, and then notes when the simulator receives the console's next request.
class NoiseWatch {
public:
    explicit NoiseWatch(QAbstractButton *button)
        : button_(button)
    {
    }

    void onLine(const QByteArray &line, BenchClock::time_point readAt)
    {
        if (line.contains(" -> ") && ++repliesSent_ == FloodFrames) {
            pressedAt_ = ticks(BenchClock::now());
            QAbstractButton *button = button_;
            QMetaObject::invokeMethod(button, [button] { button->click(); }, Qt::QueuedConnection);
        } else if (line.contains(" <- ") && pressedAt_ != 0 && requestAt_ == 0) {
            requestAt_ = ticks(readAt);
        }
    }

    bool requestArrived() const { return requestAt_ != 0; }
    double responseMs() const { return millisecondsBetween(timePoint(pressedAt_), timePoint(requestAt_)); }

private:
    QAbstractButton *const button_;
    std::atomic<int> repliesSent_{0};
    std::atomic<long long> pressedAt_{0};
    std::atomic<long long> requestAt_{0};
};

long long discardedBytes(const MessageLogModel &log, int fromRow)
{
    long long total = 0;
    for (int row = fromRow; row < log.rowCount(); ++row) {
        long long bytes = 0;
        if (std::sscanf(log.line(row).toLatin1().constData(), "Descartou: %lld", &bytes) == 1)
            total += bytes;
    }
    return total;
}

} // namespace

int runGarbageSoak()
{
    ConsoleFixture fixture({{QStringLiteral("Posto Calmo"), QString::fromLatin1(QuietAddress)},
                            {QStringLiteral("Posto Ruidoso"), QString::fromLatin1(NoisyAddress)}});
    NoiseWatch watch(fixture.child<QAbstractButton>(QStringLiteral("LR_Cmd")));
    SimulatorProcess quiet(QString::fromLatin1(QuietAddress), {});
    SimulatorProcess noisy(QString::fromLatin1(NoisyAddress),
                           {QStringLiteral("--garbage"), QString::number(GarbageBytes), QStringLiteral("--flood"),
                            QString::number(FloodFrames)},
                           [&watch](const QByteArray &line, BenchClock::time_point readAt) { watch.onLine(line, readAt); });
    QString error;
    if (!quiet.start(&error) || !noisy.start(&error)) {
        std::fprintf(stderr, "bench_soak: %s\n", qPrintable(error));
        return 1;
    }

    // The console's ordinary working peak first: the dialogue and every command once.
    CommandRunner runner(fixture);
    if (!openDialogue(fixture, 0)) {
        std::fprintf(stderr, "bench_soak: the dialogue with the controller did not open\n");
        return 1;
    }
    for (const SoakCommand &command : commandMix(demonstrationStation()))
        runner.run(command, CommandTimeoutMs);
    const MessageLogModel &log = fixture.console().log();
    const ProcessMemory before = readProcessMemory();
    const int linesBefore = log.rowCount();
    const int framesBefore = runner.framesTaken();

    std::printf("bench_soak --garbage: %d bytes without ETX, then %d clock replies back to back, from %s\n",
                GarbageBytes, FloodFrames, NoisyAddress);
    const BenchClock::time_point pickedAt = BenchClock::now();
    fixture.pick(1);
    const bool answered = waitUntil([&watch] { return watch.requestArrived(); }, NoiseTimeoutMs);
    runner.waitForQuiet(QuietMs);
    const ProcessMemory after = readProcessMemory();
    const double peakGrowthMB = double(after.peakKiB - before.peakKiB) * 1024.0 / 1e6;

    std::printf("before: RSS %.1f MiB, peak %.1f MiB\n", mebibytes(before.residentKiB), mebibytes(before.peakKiB));
    std::printf("after:  RSS %.1f MiB, peak %.1f MiB\n", mebibytes(after.residentKiB), mebibytes(after.peakKiB));
    std::printf("peak growth: %.2f MB (target: within %.0f MB)\n", peakGrowthMB, TargetPeakGrowthMB);
    std::printf("absorbed in %.2f s: %d frames taken, %d log lines, %lld bytes discarded as unframed\n",
                millisecondsBetween(pickedAt, runner.lastFrameAt()) / 1000.0,
                runner.framesTaken() - framesBefore, log.rowCount() - linesBefore, discardedBytes(log, linesBefore));
    if (!answered) {
        std::printf("button pressed after the flood: no request reached the simulator within %d ms\n", NoiseTimeoutMs);
        return 1;
    }
    std::printf("button pressed as the flood's last frame left the simulator: its request arrived after %.1f ms "
                "(target <= %.0f ms)\n",
                watch.responseMs(), TargetResponseMs);
    return 0;
}
