#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>

class QTcpSocket;

// A controller played by the test itself: the console reads exactly the bytes the test writes.
// Every wait lets the console run, since both live on the test's thread.
class ScriptedController {
public:
    enum class KeepAlive { Skip, Keep };

    bool listen(const QHostAddress &address);
    // Waits for the console to connect.
    bool accept();
    void close();
    QTcpSocket *peer() const { return peer_; }

    // Up to `expected` bytes from the console, or what came before the wait ran out. Keep-alive
    // pairs, due every five seconds, are left out unless asked for.
    QByteArray read(int expected, int timeoutMs = 7000, KeepAlive keepAlive = KeepAlive::Skip);
    // Writes `bytes` and waits for the console's ACK and nothing else.
    bool writeAndAwaitAck(const QByteArray &bytes);

    // STX, body, ETX and the check byte.
    static QByteArray frame(const QByteArray &body);

private:
    QTcpServer server_;
    QTcpSocket *peer_ = nullptr;
};
