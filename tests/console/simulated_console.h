#pragma once

#include "console_fixture.h"
#include "simulator/controller_simulator.h"

#include <QByteArray>
#include <QList>
#include <memory>

// A tank of `capacity` holding `measured`, density 0.74 and a level of 1200 mm.
SimulatedTank simpleTank(const char *product, int capacity, int measured);

// A console whose first station is a simulated controller on `address`, with every request the
// controller receives kept in order (whole frames, as on the wire).
class SimulatedConsole {
public:
    explicit SimulatedConsole(const QString &address, SimulatedStation station = {},
                              const HistoryStoreOptions &historyOptions = {});

    ConsoleFixture &fixture() { return *fixture_; }
    Form1 &console() { return fixture_->console(); }
    ControllerSimulator &controller() { return controller_; }
    const QList<QByteArray> &requests() const { return requests_; }
    // Request bodies, without STX, ETX and the check byte.
    QList<QByteArray> requestBodies() const;

    // Picks the station and waits until the socket is up.
    bool connectSocket();
    // "Conectar Zelta" with the password, up to the configuration reply that enables the panels.
    bool openDialogue(const QString &password = QStringLiteral("abc"));
    void click(const QString &button);

private:
    ControllerSimulator controller_;
    std::unique_ptr<ConsoleFixture> fixture_;
    QList<QByteArray> requests_;
};
