// Time from pressing "Efetuar Inventário" to the inventory window, against a 16-tank controller
// that answers as fast as the link allows.
#include "common/console_dialogue.h"
#include "common/elapsed.h"
#include "common/event_wait.h"
#include "common/headless.h"
#include "common/link_pauses.h"
#include "common/simulator_process.h"
#include "common/statistics.h"
#include "tests/console/console_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr char Address[] = "127.0.0.40";
constexpr int Tanks = 16;
constexpr double TargetRatio = 1.05;
constexpr int InventoryTimeoutMs = 10000;
constexpr int PaintTimeoutMs = 2000;
constexpr int SettleMs = 300;

// Notes when an inventory window first paints, then closes it from inside its own loop, as
// "Retornar" would.
class InventoryWindowCloser : public QObject {
public:
    std::optional<BenchClock::time_point> paintedAt;

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
            QTimer::singleShot(0, static_cast<QWidget *>(watched), &QWidget::close);
        }
        return false;
    }
};

struct Run {
    std::optional<double> shownMs;
    std::optional<double> paintedMs;
    int framesWithoutStx = 0;  // a reply read together with the ACK before it
};

Run measureInventory(ConsoleFixture &fixture)
{
    Run run;
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
    const QMetaObject::Connection frames =
        QObject::connect(&fixture.console(), &Form1::mensagemRecebida, [&run](const QByteArray &frame) {
            if (!frame.startsWith('\x02'))
                ++run.framesWithoutStx;
        });

    pressedAt = BenchClock::now();
    fixture.child<QAbstractButton>(QStringLiteral("IV_Cmd"))->click();
    waitUntil([&] { return closed; }, InventoryTimeoutMs);
    if (window)
        window->close();
    waitUntil([&] { return closed; }, InventoryTimeoutMs);

    QObject::disconnect(frames);
    fixture.onWindow = nullptr;
    if (closer.paintedAt)
        run.paintedMs = millisecondsBetween(pressedAt, *closer.paintedAt);
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Inventory of 16 tanks: button to window, against its floor."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Inventories to time (default 5)."),
                                        QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption delayOption(QStringLiteral("delay"),
                                         QStringLiteral("Simulator's gap before each reply frame (default %1).")
                                             .arg(FastestReplyDelayMs),
                                         QStringLiteral("MS"), QString::number(FastestReplyDelayMs));
    parser.addOptions({runsOption, delayOption});
    parser.process(app);
    const int runs = parser.value(runsOption).toInt();
    const int delayMs = parser.value(delayOption).toInt();
    if (runs < 1 || delayMs < 0) {
        std::fprintf(stderr, "bench_inventory: --runs needs a whole number of at least 1, --delay one of at least 0\n");
        return 2;
    }

    SimulatorProcess simulator(QString::fromLatin1(Address),
                               {QStringLiteral("--station"), QStringLiteral(COMZELTA_BENCH_STATION),
                                QStringLiteral("--delay"), QString::number(delayMs)});
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "bench_inventory: %s\n", qPrintable(error));
        return 1;
    }
    ConsoleFixture fixture({{QStringLiteral("Posto Dezesseis Tanques"), QString::fromLatin1(Address)}});
    if (!openDialogue(fixture, 0) || fixture.text(QStringLiteral("CF_NumTanques")).toInt() != Tanks) {
        std::fprintf(stderr, "bench_inventory: the dialogue with the 16-tank controller did not open\n");
        return 1;
    }

    const int floorMs = pauseFloorMs(Tanks);
    std::printf("bench_inventory: %d tanks at %s, simulator reply delay %d ms, %d runs\n", Tanks, Address, delayMs,
                runs);
    std::vector<double> shown;
    std::vector<double> painted;
    int failed = 0;
    for (int i = 1; i <= runs; ++i) {
        runEventsFor(SettleMs);
        const Run run = measureInventory(fixture);
        if (!run.shownMs) {
            ++failed;
            std::printf("run %d: no inventory window within %d ms (%d replies read together with an ACK)\n", i,
                        InventoryTimeoutMs, run.framesWithoutStx);
            continue;
        }
        shown.push_back(*run.shownMs);
        if (run.paintedMs)
            painted.push_back(*run.paintedMs);
        std::printf("run %d: window shown after %.1f ms, painted after %.1f ms\n", i, *run.shownMs,
                    run.paintedMs.value_or(0.0));
        std::fflush(stdout);
    }
    if (shown.empty())
        return 1;

    const double medianShown = median(shown);
    std::printf("median: shown %.1f ms, painted %.1f ms\n", medianShown, median(painted));
    std::printf("floor: %d ms (%d ms after \"MA\" + %d x %d ms after acknowledging each reply)\n", floorMs,
                ConsolePauseMs, Tanks, ConsolePauseMs);
    std::printf("ratio shown/floor: %.3f (target <= %.2f)\n", medianShown / floorMs, TargetRatio);
    // The simulator waits its gap before every reply, and the console's pause after the last ACK
    // still follows: the least this pairing can do, whatever the console.
    const int simulatorFloorMs = Tanks * std::max(delayMs, ConsolePauseMs) + ConsolePauseMs;
    std::printf("least possible with this simulator: %d ms (%d x %d ms before each reply + %d ms after the last "
                "ACK); the console adds %.1f ms to it\n",
                simulatorFloorMs, Tanks, std::max(delayMs, ConsolePauseMs), ConsolePauseMs,
                medianShown - simulatorFloorMs);
    if (failed > 0)
        std::printf("failed runs: %d of %d\n", failed, runs);
    return failed > 0 ? 1 : 0;
}
