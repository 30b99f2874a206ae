// Inventory of a 16-tank controller that answers at once, against the protocol's floor: the
// console's time from "Efetuar Inventário" to the inventory window and the longest its event loop
// stalled until that window was painted (and, apart, while it closes), then comzelta-cli's
// inventory from its start to its exit.
#include "common/console_dialogue.h"
#include "common/elapsed.h"
#include "common/event_wait.h"
#include "common/headless.h"
#include "common/link_pauses.h"
#include "common/loop_stall_probe.h"
#include "common/simulator_process.h"
#include "common/statistics.h"
#include "inventory/cli_inventory.h"
#include "session/controller_session.h"
#include "tests/console/console_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr char Address[] = "127.0.0.40";
constexpr char Password[] = "bench";
constexpr int Tanks = 16;
constexpr double TargetRatio = 1.05;
constexpr double TargetStallMs = 20.0;
constexpr int InventoryTimeoutMs = 10000;
constexpr int PaintTimeoutMs = 2000;
constexpr int SettleMs = 300;

// Notes when an inventory window first paints, then, once that paint is over, calls
// `afterFirstPaint` and closes the window from inside its own loop, as "Retornar" would.
class InventoryWindowCloser : public QObject {
public:
    std::optional<BenchClock::time_point> paintedAt;
    std::optional<BenchClock::time_point> paintDoneAt;  // the loop's next turn after that paint
    std::function<void()> afterFirstPaint;

    void watch(QWidget *window)
    {
        window->installEventFilter(this);
        QTimer::singleShot(PaintTimeoutMs, window, &QWidget::close);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !paintedAt) {
            paintedAt = BenchClock::now();
            auto *window = static_cast<QWidget *>(watched);
            QTimer::singleShot(0, window, [this, window] {
                paintDoneAt = BenchClock::now();
                if (afterFirstPaint)
                    afterFirstPaint();
                window->close();
            });
        }
        return false;
    }
};

// The link's own traffic during one inventory, from the session's log lines.
struct LinkTimes {
    std::vector<double> transmittedMs;  // "MA" and the ACKs, from the button press
    std::optional<double> lastReplyMs;
    int replies = 0;

    std::optional<double> requestToLastReplyMs() const
    {
        if (transmittedMs.empty() || !lastReplyMs)
            return std::nullopt;
        return *lastReplyMs - transmittedMs.front();
    }
    double shortestGapMs() const
    {
        double shortest = 0.0;
        for (std::size_t i = 1; i < transmittedMs.size(); ++i) {
            const double gap = transmittedMs[i] - transmittedMs[i - 1];
            shortest = i == 1 ? gap : std::min(shortest, gap);
        }
        return shortest;
    }
};

struct ConsoleRun {
    std::optional<double> shownMs;
    std::optional<double> paintedMs;
    std::optional<double> paintMs;
    // Button press to the window's first paint done, then closing it and returning to the console.
    double stallMs = 0.0;
    double stallEndedMs = 0.0;
    double stallCpuMs = 0.0;
    double closingStallMs = 0.0;
    LinkTimes link;
};

ConsoleRun measureInventory(ConsoleFixture &fixture, LoopStallProbe &probe)
{
    ConsoleRun run;
    InventoryWindowCloser closer;
    QPointer<QWidget> window;
    bool closed = false;
    BenchClock::time_point pressedAt;

    fixture.onWindow = [&](QWidget *opened) {
        if (opened->objectName() != QStringLiteral("Form2"))
            return;
        run.shownMs = millisecondsBetween(pressedAt, BenchClock::now());
        window = opened;
        QObject::connect(opened, &QObject::destroyed, [&closed] { closed = true; });
        closer.watch(opened);
    };
    closer.afterFirstPaint = [&] {
        probe.stop();
        run.stallMs = probe.longestStallMs();
        run.stallEndedMs = probe.longestStallEndedMs();
        run.stallCpuMs = probe.longestStallCpuMs();
        probe.start();
    };
    const QMetaObject::Connection lines =
        QObject::connect(&fixture.console().session(), &ControllerSession::logLine, [&](const QByteArray &line) {
            const double ms = millisecondsBetween(pressedAt, BenchClock::now());
            if (line.startsWith("Transmitiu: ")) {
                run.link.transmittedMs.push_back(ms);
            } else if (line.startsWith("Recebeu: ") && line.contains("\x02MA")) {
                ++run.link.replies;
                run.link.lastReplyMs = ms;
            }
        });

    probe.start();
    pressedAt = BenchClock::now();
    fixture.child<QAbstractButton>(QStringLiteral("IV_Cmd"))->click();
    waitUntil([&] { return closed; }, InventoryTimeoutMs);
    probe.stop();
    if (window)
        window->close();
    waitUntil([&] { return closed; }, InventoryTimeoutMs);

    QObject::disconnect(lines);
    fixture.onWindow = nullptr;
    if (closer.paintedAt)
        run.paintedMs = millisecondsBetween(pressedAt, *closer.paintedAt);
    if (closer.paintedAt && closer.paintDoneAt)
        run.paintMs = millisecondsBetween(*closer.paintedAt, *closer.paintDoneAt);
    run.closingStallMs = probe.longestStallMs();
    return run;
}

struct ConsoleFigures {
    std::vector<double> shown, painted, paints, stalls, stallCpu, closingStalls, requestToLastReply, shortestGaps;
    int pauseMs = ControllerSession::DefaultPauseMs;
    int failed = 0;
};

ConsoleFigures runConsoleInventories(int runs)
{
    ConsoleFigures figures;
    ConsoleFixture fixture({{QStringLiteral("Posto Dezesseis Tanques"), QString::fromLatin1(Address)}});
    if (!openDialogue(fixture, 0, QString::fromLatin1(Password))
        || fixture.text(QStringLiteral("CF_NumTanques")).toInt() != Tanks) {
        std::fprintf(stderr, "bench_inventory: the dialogue with the 16-tank controller did not open\n");
        figures.failed = runs;
        return figures;
    }
    figures.pauseMs = fixture.console().session().pauseMs();
    LoopStallProbe probe;
    for (int i = 1; i <= runs; ++i) {
        runEventsFor(SettleMs);
        const ConsoleRun run = measureInventory(fixture, probe);
        const std::optional<double> lastReply = run.link.requestToLastReplyMs();
        if (!run.shownMs || !run.paintedMs || !run.paintMs || !lastReply || run.link.replies != Tanks) {
            ++figures.failed;
            std::printf("console run %d: no inventory window within %d ms (%d replies)\n", i, InventoryTimeoutMs,
                        run.link.replies);
            continue;
        }
        figures.shown.push_back(*run.shownMs);
        figures.painted.push_back(*run.paintedMs);
        figures.paints.push_back(*run.paintMs);
        figures.stalls.push_back(run.stallMs);
        figures.stallCpu.push_back(run.stallCpuMs);
        figures.closingStalls.push_back(run.closingStallMs);
        figures.requestToLastReply.push_back(*lastReply);
        figures.shortestGaps.push_back(run.link.shortestGapMs());
        std::printf("console run %d: window shown after %.1f ms, painted after %.1f ms (for %.1f ms); \"MA\" sent "
                    "at %.1f ms, last reply %.1f ms after it; %zu transmissions, least gap %.2f ms; longest stall "
                    "%.1f ms (%.1f ms of it on the CPU), ending at %.1f ms; closing the window stalled %.1f ms\n",
                    i, *run.shownMs, *run.paintedMs, *run.paintMs, run.link.transmittedMs.front(), *lastReply,
                    run.link.transmittedMs.size(), run.link.shortestGapMs(), run.stallMs, run.stallCpuMs,
                    run.stallEndedMs, run.closingStallMs);
        std::fflush(stdout);
    }
    return figures;
}

struct CliFigures {
    std::vector<double> exit, beforeFirstTransmission, requestToExit, requestToLastReply;
    int acknowledgedReplies = 0;
    int transmissions = 0;
    int failed = 0;
};

CliFigures runCliInventories(int runs)
{
    CliFigures figures;
    QTemporaryDir dataDirectory;
    const QString station =
        QStringLiteral("%1:%2").arg(QString::fromLatin1(Address)).arg(ControllerSession::DefaultPort);
    for (int i = 1; i <= runs; ++i) {
        runEventsFor(SettleMs);
        const CliInventoryRun run =
            runCliInventory(station, QString::fromLatin1(Password), dataDirectory.path(), InventoryTimeoutMs);
        if (!run.problem.isEmpty() || !run.exitMs || !run.firstTransmissionMs || !run.inventoryRequestMs
            || !run.lastReplyMs || run.replies != Tanks) {
            ++figures.failed;
            const QString problem = run.problem.isEmpty() ? QStringLiteral("incomplete log") : run.problem;
            std::printf("cli run %d: %s (%d replies)\n", i, qPrintable(problem), run.replies);
            continue;
        }
        figures.exit.push_back(*run.exitMs);
        figures.beforeFirstTransmission.push_back(*run.firstTransmissionMs);
        figures.requestToExit.push_back(*run.exitMs - *run.inventoryRequestMs);
        figures.requestToLastReply.push_back(*run.lastReplyMs - *run.inventoryRequestMs);
        figures.acknowledgedReplies = run.acknowledgedReplies;
        figures.transmissions = run.transmissions;
        std::printf("cli run %d: exited after %.1f ms; first transmission at %.1f ms, \"MA\" at %.1f ms, last reply "
                    "%.1f ms after it, exit %.1f ms after it; %d of %d replies acknowledged\n",
                    i, *run.exitMs, *run.firstTransmissionMs, *run.inventoryRequestMs,
                    *run.lastReplyMs - *run.inventoryRequestMs, *run.exitMs - *run.inventoryRequestMs,
                    run.acknowledgedReplies, run.replies);
        std::fflush(stdout);
    }
    return figures;
}

double worst(const std::vector<double> &values)
{
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

double least(const std::vector<double> &values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

void printFigures(const ConsoleFigures &console, const CliFigures &cli, int runs)
{
    const int floorMs = seriesFloorMs(Tanks, console.pauseMs);
    std::printf("\nfloor: %d ms. \"MA\" leaves at 0; reply k + 1 comes only after the ACK of reply k, and the "
                "session leaves at least %d ms between any two transmissions (the request, then each ACK), so the "
                "ACK of reply k leaves no earlier than k x %d ms and the last reply arrives no earlier than "
                "(%d - 1) x %d ms after the request\n",
                floorMs, console.pauseMs, console.pauseMs, Tanks, console.pauseMs);
    std::printf("\n%-48s %9s %9s %9s %9s  %s\n", "", "median", "best", "worst", "/floor", "target");
    const auto row = [floorMs](const char *label, const std::vector<double> &values, const char *target,
                               bool againstFloor = true) {
        if (values.empty()) {
            std::printf("%-48s %9s\n", label, "-");
            return;
        }
        std::printf("%-48s %9.1f %9.1f %9.1f ", label, median(values), least(values), worst(values));
        if (againstFloor)
            std::printf("%9.3f  %s\n", median(values) / floorMs, target);
        else
            std::printf("%9s  %s\n", "", target);
    };
    row("console: button to inventory window, ms", console.shown, "<= 1.05");
    row("console: button to window painted, ms", console.painted, "");
    row("console: \"MA\" sent to last reply, ms", console.requestToLastReply, "");
    row("console: longest loop stall to window painted, ms", console.stalls, "<= 20 ms", false);
    row("console: CPU time of this thread in that stall, ms", console.stallCpu, "", false);
    row("console: the window's first paint, ms", console.paints, "", false);
    row("console: longest loop stall closing it, ms", console.closingStalls, "", false);
    std::printf("%-48s %9.2f %9s %9.2f %9s  >= %d ms\n", "console: least gap between transmissions, ms",
                median(console.shortestGaps), "", least(console.shortestGaps), "", console.pauseMs);
    row("comzelta-cli inventory: start to exit, ms", cli.exit, "");
    row("comzelta-cli: start to first transmission, ms", cli.beforeFirstTransmission, "", false);
    row("comzelta-cli: \"MA\" logged to last reply, ms", cli.requestToLastReply, "");
    row("comzelta-cli: \"MA\" logged to exit, ms", cli.requestToExit, "");

    if (!console.shown.empty()) {
        const double ratio = median(console.shown) / floorMs;
        std::printf("\nconsole ratio %.3f: %s (target <= %.2f); longest stall %.1f ms over %zu runs: %s (target <= "
                    "%.0f ms)\n",
                    ratio, ratio <= TargetRatio ? "met" : "NOT met", TargetRatio, worst(console.stalls),
                    console.stalls.size(), worst(console.stalls) <= TargetStallMs ? "met" : "NOT met", TargetStallMs);
    }
    if (!cli.exit.empty()) {
        // The same pacing bounds the whole dialogue: one pause between any two of its transmissions.
        const int dialogueFloorMs = console.pauseMs * (cli.transmissions - 1);
        std::printf("comzelta-cli also starts, connects, opens the dialogue (ID01, ACK, CF, ACK before \"MA\") and "
                    "ends it (ID02 after the last ACK): %d transmissions, so at least %d x %d = %d ms from the first "
                    "to the last; start to exit is %.3f of that; %d of %d replies acknowledged\n",
                    cli.transmissions, cli.transmissions - 1, console.pauseMs, dialogueFloorMs,
                    median(cli.exit) / dialogueFloorMs, cli.acknowledgedReplies, Tanks);
    }
    const int failed = console.failed + cli.failed;
    if (failed > 0)
        std::printf("failed runs: %d of %d\n", failed, 2 * runs);
}

} // namespace

int main(int argc, char *argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Inventory of 16 tanks, console and comzelta-cli, against the protocol's floor."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"),
                                        QStringLiteral("Inventories to time, in the console and with comzelta-cli "
                                                       "each (default 10)."),
                                        QStringLiteral("N"), QStringLiteral("10"));
    parser.addOption(runsOption);
    parser.process(app);
    const int runs = parser.value(runsOption).toInt();
    if (runs < 1) {
        std::fprintf(stderr, "bench_inventory: --runs needs a whole number of at least 1\n");
        return 2;
    }

    SimulatorProcess simulator(QString::fromLatin1(Address),
                               {QStringLiteral("--station"), QStringLiteral(COMZELTA_BENCH_STATION),
                                QStringLiteral("--delay"), QStringLiteral("0")});
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "bench_inventory: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("bench_inventory: %d tanks at %s, simulator answering at once (--delay 0), %d runs each\n", Tanks,
                Address, runs);
    const ConsoleFigures console = runConsoleInventories(runs);
    const CliFigures cli = runCliInventories(runs);
    printFigures(console, cli, runs);
    return console.failed + cli.failed > 0 ? 1 : 0;
}
