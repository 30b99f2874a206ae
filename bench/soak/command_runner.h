#pragma once

#include "common/elapsed.h"
#include "soak/command_mix.h"

#include <QMetaObject>

#include <map>
#include <optional>

class ConsoleFixture;

// Presses the console's command buttons one at a time and waits for each command's replies,
// answering the windows the commands open as an operator in a hurry would: the date window gets
// ScheduleDay, the results and inventory windows are closed as soon as they show.
class CommandRunner {
public:
    explicit CommandRunner(ConsoleFixture &fixture);
    ~CommandRunner();

    CommandRunner(const CommandRunner &) = delete;
    CommandRunner &operator=(const CommandRunner &) = delete;

    // Presses the command's button and waits until the dispatcher has taken all its reply frames
    // and no window is left open. Returns the milliseconds this took, or nothing after `timeoutMs`.
    std::optional<double> run(const SoakCommand &command, int timeoutMs);
    // Lets the console run until no frame has been taken for `quietMs`.
    void waitForQuiet(int quietMs);

    int framesTaken() const { return framesTaken_; }
    BenchClock::time_point lastFrameAt() const { return lastFrameAt_; }
    // Frames that did not start with STX: a reply read in one piece with the ACK before it.
    int framesWithoutStx() const { return framesWithoutStx_; }
    // Windows opened so far, by object name ("Form2", "Form5", "Form6" ...).
    int windowsOpened(const QString &objectName) const;
    // Times the command of that name was pressed.
    int pressed(const QString &commandName) const;

private:
    ConsoleFixture &fixture_;
    QMetaObject::Connection frames_;
    int framesTaken_ = 0;
    BenchClock::time_point lastFrameAt_;
    int framesWithoutStx_ = 0;
    std::map<QString, int> windowsOpened_;
    std::map<QString, int> pressed_;
};
