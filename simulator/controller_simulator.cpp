#include "simulator/controller_simulator.h"

#include "simulator/default_station.h"
#include "simulator/simulator_session.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

ControllerSimulator::ControllerSimulator(QObject *parent)
    : ControllerSimulator(demonstrationStation(), parent)
{
}

ControllerSimulator::ControllerSimulator(SimulatedStation station, QObject *parent)
    : QObject(parent), server_(new QTcpServer(this)), station_(std::move(station))
{
    connect(server_, &QTcpServer::newConnection, this, &ControllerSimulator::acceptConnections);
}

bool ControllerSimulator::listen(const QHostAddress &address, quint16 port)
{
    return server_->listen(address, port);
}

ControllerSimulator::~ControllerSimulator()
{
    close();
}

void ControllerSimulator::close()
{
    server_->close();
    // Taken out of the list first: closing a socket may report its disconnection.
    const QList<SimulatorSession *> sessions = std::exchange(sessions_, {});
    for (SimulatorSession *session : sessions) {
        session->disconnect(this);
        delete session;
    }
}

QString ControllerSimulator::errorString() const
{
    return server_->errorString();
}

int ControllerSimulator::clientCount() const
{
    return int(sessions_.size());
}

void ControllerSimulator::sendGarbage(int bytes)
{
    for (SimulatorSession *session : std::as_const(sessions_))
        session->sendGarbage(bytes);
}

void ControllerSimulator::sendFlood(int frames)
{
    for (SimulatorSession *session : std::as_const(sessions_))
        session->sendFlood(frames);
}

void ControllerSimulator::acceptConnections()
{
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        auto *session = new SimulatorSession(socket, station_, settings_, this);
        const QString peer = session->peer();
        sessions_.append(session);

        connect(session, &SimulatorSession::requestReceived, this,
                [this, peer](const QByteArray &frame) { emit requestReceived(peer, frame); });
        connect(session, &SimulatorSession::replySent, this,
                [this, peer](const QByteArray &frame) { emit replySent(peer, frame); });
        connect(session, &SimulatorSession::finished, this, [this, session, peer] {
            sessions_.removeOne(session);
            session->deleteLater();
            emit clientDisconnected(peer);
        });

        emit clientConnected(peer);
        if (settings_.garbageOnConnect > 0)
            session->sendGarbage(settings_.garbageOnConnect);
        if (settings_.floodOnConnect > 0)
            session->sendFlood(settings_.floodOnConnect);
    }
}
