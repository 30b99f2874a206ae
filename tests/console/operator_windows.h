#pragma once

#include "stations/station_table.h"
#include "tables/station_readings.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

class ConsoleFixture;
class SimulatedConsole;

// One window of the program, built and shown as the program builds it, for the checks that hold
// for every window alike: the console with its station list, the two entry dialogs, the editor
// on a saved list, and the two report windows filled.
class OperatorWindow {
public:
    explicit OperatorWindow(const QString &form);
    ~OperatorWindow();

    QWidget *window() const { return window_; }

    // "Form1" ... "Form6".
    static QStringList forms();
    // The console once a simulated controller with 16 tanks has opened the dialogue: every panel
    // enabled.
    static QString connectedConsole() { return QStringLiteral("Form1 em diálogo"); }

private:
    std::unique_ptr<ConsoleFixture> console_;
    std::unique_ptr<SimulatedConsole> simulated_;
    QTemporaryDir directory_;
    StationTable stations_;
    StationReadings readings_;
    std::unique_ptr<QWidget> owned_;
    QWidget *window_ = nullptr;
};
