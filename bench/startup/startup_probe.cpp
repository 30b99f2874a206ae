// Starts one window the way an application starts it and prints "painted <peak KiB>" once the
// window's first paint is done, then quits. Modes: "console DATA_DIR" (the console window with the
// station file of DATA_DIR) or "minimal" (a plain window holding a label).
#include "common/process_memory.h"
#include "console/form1.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <memory>

namespace {

// Reports the first paint of the window it watches. The report waits for the event loop to come
// back, so that the window and all its children have been painted.
class FirstPaintReporter : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [] {
                std::printf("painted %ld\n", readProcessMemory().peakKiB);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }
};

std::unique_ptr<QWidget> minimalWindow()
{
    auto window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(window.get());
    layout->addWidget(new QLabel(QStringLiteral("ComZelta"), window.get()));
    return window;
}

std::unique_ptr<QWidget> consoleWindow(const QString &dataDirectory)
{
    auto console = std::make_unique<Form1>(dataDirectory);
    console->Form_Load();
    return console;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    std::unique_ptr<QWidget> window;
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("console")) {
        window = consoleWindow(arguments[2]);
    } else if (arguments.size() == 2 && arguments[1] == QStringLiteral("minimal")) {
        window = minimalWindow();
    } else {
        std::fprintf(stderr, "usage: bench_startup_probe console DATA_DIR | minimal\n");
        return 2;
    }
    FirstPaintReporter reporter;
    window->installEventFilter(&reporter);
    window->show();
    return app.exec();
}
