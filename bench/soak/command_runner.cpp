#include "soak/command_runner.h"

#include "common/event_wait.h"
#include "tests/console/console_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

CommandRunner::CommandRunner(ConsoleFixture &fixture)
    : fixture_(fixture)
{
    frames_ = QObject::connect(&fixture_.console(), &Form1::mensagemRecebida, [this](const QByteArray &frame) {
        ++framesTaken_;
        lastFrameAt_ = BenchClock::now();
        if (!frame.startsWith('\x02'))
            ++framesWithoutStx_;
    });
    fixture_.onWindow = [this](QWidget *window) {
        ++windowsOpened_[window->objectName()];
        if (window->objectName() == QStringLiteral("Form6"))
            answerDialog(window, QStringLiteral("Data_Medicoes"), scheduleDateText(), QStringLiteral("Solicitar_Medicoes"));
        else
            QTimer::singleShot(0, window, &QWidget::close);
    };
}

CommandRunner::~CommandRunner()
{
    QObject::disconnect(frames_);
    fixture_.onWindow = nullptr;
}

std::optional<double> CommandRunner::run(const SoakCommand &command, int timeoutMs)
{
    const int awaited = framesTaken_ + command.replies;
    ++pressed_[command.name];
    const BenchClock::time_point pressedAt = BenchClock::now();
    fixture_.child<QAbstractButton>(command.button)->click();
    const bool answered = waitUntil(
        [&] { return framesTaken_ >= awaited && !QApplication::activeModalWidget(); }, timeoutMs);
    if (!answered)
        return std::nullopt;
    return millisecondsBetween(pressedAt, BenchClock::now());
}

void CommandRunner::waitForQuiet(int quietMs)
{
    int seen = -1;
    while (seen != framesTaken_) {
        seen = framesTaken_;
        runEventsFor(quietMs);
    }
}

namespace {

int countOf(const std::map<QString, int> &counts, const QString &key)
{
    const auto found = counts.find(key);
    return found == counts.end() ? 0 : found->second;
}

} // namespace

int CommandRunner::windowsOpened(const QString &objectName) const
{
    return countOf(windowsOpened_, objectName);
}

int CommandRunner::pressed(const QString &commandName) const
{
    return countOf(pressed_, commandName);
}
