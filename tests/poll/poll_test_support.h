#pragma once

#include "simulator/controller_simulator.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QStringList>

#include <memory>

// A station file's text: OFE number %1, password "Zelta", tank 1 GASOLINA 18,250 of 30,000 L and
// tank 2 DIESEL 4,100 of 15,000 L.
QString twoTankStation();

// A simulated controller on its own loopback address, from a station file's text; nothing when
// the text has problems or the address is taken.
std::unique_ptr<ControllerSimulator> startSimulator(const QString &stationText, const QString &address);

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
    int clients_ = 0;
    int mostClients_ = 0;
};

// A request frame's body: STX, ETX and the check byte taken off.
QString requestBody(const QByteArray &frame);

// The lines of a text file, sorted.
QStringList sortedLines(const QString &path);

// A program run as a child process, its output collected while this thread's event loop runs, so
// that the test's simulators answer it meanwhile.
class ProgramRun : public QObject {
    Q_OBJECT
public:
    ProgramRun(const QString &program, const QStringList &arguments, QObject *parent = nullptr);
    ~ProgramRun() override;

    QProcess &process() { return process_; }
    QByteArray out() const { return out_; }
    QByteArray err() const { return err_; }
    // Whether `text` came on standard output or error within the time.
    bool waitForText(const QByteArray &text, int timeoutMs);
    // The exit code; -1 after a crash, or after the time, when the program is killed.
    int waitForExit(int timeoutMs);

private:
    QProcess process_;
    QByteArray out_;
    QByteArray err_;
};
