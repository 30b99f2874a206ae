#include "simulator_client.h"

#include "protocol/bcc.h"
#include "protocol/control_codes.h"
#include "protocol/frame.h"

#include <QTest>

SimulatorClient::SimulatorClient(QObject *parent)
    : QObject(parent)
{
    connect(&socket_, &QTcpSocket::readyRead, this, &SimulatorClient::readIncoming);
}

bool SimulatorClient::connectTo(const QHostAddress &address)
{
    socket_.connectToHost(address, 4001);
    return socket_.waitForConnected(5000);
}

void SimulatorClient::send(const QByteArray &bytes)
{
    socket_.write(bytes);
    socket_.flush();
}

void SimulatorClient::sendRequest(std::string_view body)
{
    send(QByteArray::fromStdString(zelta::frameRequest(body)));
}

QByteArray SimulatorClient::received() const
{
    return reads_.join();
}

void SimulatorClient::readIncoming()
{
    const QByteArray bytes = socket_.readAll();
    reads_.append(bytes);
    for (const RequestScanner::Event &event : scanner_.feed(bytes)) {
        switch (event.kind) {
        case RequestScanner::Kind::Ack: ++acks_; break;
        case RequestScanner::Kind::Nak: ++naks_; break;
        case RequestScanner::Kind::Frame:
            frames_.append(event.frame);
            if (autoAck_)
                send(QByteArray(1, zelta::ACK));
            break;
        }
    }
}

char expectedCheckByte(const QByteArray &frame)
{
    return char(zelta::blockCheckCharacter(std::string_view(frame.constData() + 1, std::size_t(frame.size() - 2))));
}
