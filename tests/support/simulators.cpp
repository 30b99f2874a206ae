#include "simulators.h"

#include "simulator/station_file.h"

#include <QDebug>
#include <QFile>
#include <QTcpSocket>
#include <QTest>

std::unique_ptr<ControllerSimulator> startSimulator(const QString &stationText, const QString &address)
{
    const StationLoad load = parseStation(stationText);
    if (!load.problems.isEmpty()) {
        qWarning() << load.problems;
        return nullptr;
    }
    auto simulator = std::make_unique<ControllerSimulator>(load.station);
    if (!simulator->listen(QHostAddress(address))) {
        qWarning() << address << simulator->errorString();
        return nullptr;
    }
    return simulator;
}

bool startSimulatorProcess(QProcess &simulator, const QString &program, const QStringList &arguments,
                           const QString &lastAddress)
{
    simulator.start(program, arguments + QStringList{"--quiet"});
    return simulator.waitForStarted() && QTest::qWaitFor(
                                             [&] {
                                                 QTcpSocket probe;
                                                 probe.connectToHost(lastAddress, 4001);
                                                 return probe.waitForConnected(100);
                                             },
                                             10000);
}

void stopSimulatorProcess(QProcess &simulator)
{
#ifdef Q_OS_WIN
    // terminate() asks a program's windows to close, and comzelta-sim has none.
    simulator.kill();
#else
    simulator.terminate();
#endif
    simulator.waitForFinished();
}

DialogueRecorder::DialogueRecorder(ControllerSimulator *simulator) : QObject(simulator)
{
    connect(simulator, &ControllerSimulator::clientConnected, this, [this](const QString &peer) {
        connections_ << QString();
        connected_.insert(peer);
        mostClients_ = std::max(mostClients_, int(connected_.size()));
    });
    // A client of an earlier case may be seen leaving only now: it was never counted here.
    connect(simulator, &ControllerSimulator::clientDisconnected, this,
            [this](const QString &peer) { connected_.remove(peer); });
    connect(simulator, &ControllerSimulator::requestReceived, this, [this](const QString &, const QByteArray &frame) {
        if (connections_.isEmpty())
            connections_ << QString();
        QString &current = connections_.last();
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + requestBody(frame);
    });
}

QString requestBody(const QByteArray &frame)
{
    const qsizetype etx = frame.indexOf('\x03');
    return QString::fromLatin1(frame.mid(1, etx < 0 ? -1 : etx - 1));
}
