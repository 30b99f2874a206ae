// Cost of one new line in the console's communication log as it grows to 100,000 lines: the real
// window's log, fed through its session's log signal, beside a bare QListView over the same
// lines in Qt's default layout, which lays every row out again for each new one (so it is only
// timed up to BareLimit lines).
#include "common/headless.h"
#include "console/message_log_model.h"
#include "session/controller_session.h"
#include "tests/console/console_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>

#include <cstdio>
#include <functional>

namespace {

constexpr int Sample = 200;
constexpr int BareLimit = 10000;
const QByteArray Line("Recebeu: 072 \x02MA001GASOLINA   0.00120.74030000018250011750018130001420131831071226 \x03$");

// Milliseconds per line over `Sample` lines added after the log holds `lines`, each followed by
// the event loop turning once, as a line from the controller would be.
// `fill` brings the log near that size first.
double perLineAt(int lines, const std::function<int()> &count, const std::function<void()> &add,
                 const std::function<void()> &fill)
{
    while (count() < lines - Sample)
        fill();
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Sample; ++i) {
        add();
        QCoreApplication::processEvents();
    }
    return double(clock.nsecsElapsed()) / 1e6 / Sample;
}

} // namespace

int main(int argc, char *argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);

    ConsoleFixture fixture({{QStringLiteral("Posto Centro"), QStringLiteral("127.0.0.41")}});
    ControllerSession &session = fixture.console().session();
    const MessageLogModel &log = fixture.console().log();

    MessageLogModel bareModel;
    QListView bare;
    bare.setModel(&bareModel);
    bare.resize(1086, 152);
    bare.show();

    std::printf("bench_log: ms per new log line, %d lines timed at each size\n", Sample);
    std::printf("%10s %12s %14s %8s\n", "lines", "console", "bare QListView", "ratio");
    for (const int lines : {200, 10000, 60000, 100000}) {
        const double console = perLineAt(lines, [&] { return log.rowCount(); }, [&] { emit session.logLine(Line); }, [&] {
            emit session.logLine(Line);
            QCoreApplication::processEvents();
        });
        std::printf("%10d %12.3f", lines, console);
        std::fflush(stdout);
        if (lines > BareLimit) {
            std::printf(" %14s %8s\n", "-", "-");
            std::fflush(stdout);
            continue;
        }
        const double plain = perLineAt(lines, [&] { return bareModel.rowCount(); }, [&] {
            const QScrollBar *bar = bare.verticalScrollBar();
            const bool following = bar->value() == bar->maximum();
            bareModel.append(Line.toStdString());
            if (following)
                bare.scrollToBottom();
        }, [&] { bareModel.append(Line.toStdString()); });
        std::printf(" %14.3f %8.2f\n", plain, console / plain);
        std::fflush(stdout);
    }
    std::printf("target: <= 1 ms per line at 100000 lines\n");
    return 0;
}
