#pragma once

#include "simulator/request_scanner.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpSocket>
#include <string_view>

// The console's side of the line, as far as the tests need it: sends framed requests, keeps
// every byte and every read it gets, and splits what arrives into frames and acknowledgements.
class SimulatorClient : public QObject {
    Q_OBJECT

public:
    explicit SimulatorClient(QObject *parent = nullptr);

    bool connectTo(const QHostAddress &address);
    void send(const QByteArray &bytes);
    void sendRequest(std::string_view body);
    // Acknowledge every frame as it arrives, as the console does.
    void setAutoAck(bool on) { autoAck_ = on; }

    QTcpSocket &socket() { return socket_; }
    const QList<QByteArray> &frames() const { return frames_; }
    const QList<QByteArray> &reads() const { return reads_; }
    QByteArray received() const;
    int acks() const { return acks_; }
    int naks() const { return naks_; }

private:
    void readIncoming();

    QTcpSocket socket_;
    RequestScanner scanner_;
    QList<QByteArray> frames_;
    QList<QByteArray> reads_;
    int acks_ = 0;
    int naks_ = 0;
    bool autoAck_ = true;
};

// The check byte a frame should end with: XOR of everything after the STX up to the ETX.
char expectedCheckByte(const QByteArray &frame);
