#pragma once

#include "simulator/controller_simulator.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QStringList>

#include <memory>

// A simulated controller on its own loopback address, from a station file's text; nothing when
// the text has problems or the address is taken.
std::unique_ptr<ControllerSimulator> startSimulator(const QString &stationText, const QString &address);

// The real comzelta-sim (`program`) as a child process with these arguments and --quiet, once
// `lastAddress` answers on port 4001; false when it did not start or never answered.
bool startSimulatorProcess(QProcess &simulator, const QString &program, const QStringList &arguments,
                           const QString &lastAddress);
// Stops it as SIGTERM does, and waits for its end.
void stopSimulatorProcess(QProcess &simulator);

// What one simulated controller received, as a dialogue: the request bodies of each connection
// in order, connections separated by " | ", e.g. "ID01 CFsenha MA LS LR ID02".
class DialogueRecorder : public QObject {
    Q_OBJECT
public:
    explicit DialogueRecorder(ControllerSimulator *simulator);

    QString dialogue() const { return connections_.join(QStringLiteral(" | ")); }
    // The most clients connected at once.
    int mostClients() const { return mostClients_; }

private:
    QStringList connections_;
    QSet<QString> connected_;  // peers, as address:port
    int mostClients_ = 0;
};

// A request frame's body: STX, ETX and the check byte taken off.
QString requestBody(const QByteArray &frame);
