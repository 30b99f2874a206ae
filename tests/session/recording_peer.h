#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QTcpServer>

class QTcpSocket;

// A controller played by the test: it records what the session writes, unit by unit (a frame,
// an ACK, a keep-alive), with the time each arrived, and writes whatever the test tells it to.
class RecordingPeer : public QObject {
    Q_OBJECT
public:
    struct Unit {
        QByteArray bytes;
        qint64 arrivedMs = 0;
    };

    explicit RecordingPeer(const QHostAddress &address);

    bool isListening() const { return server_.isListening(); }
    bool waitForClient(int timeoutMs = 5000);
    bool clientGone() const;
    void write(const QByteArray &bytes);
    // Answers the request with this body when it arrives, or that many milliseconds later.
    void replyTo(const QByteArray &body, const QByteArray &reply, int delayMs = 0)
    {
        replies_.insert(body, {reply, delayMs});
    }
    // Closes the connection from the controller's side.
    void dropClient();

    const QList<Unit> &units() const { return units_; }
    // Request bodies, without STX, ETX and the check byte.
    QList<QByteArray> bodies() const;

    static QByteArray frame(const QByteArray &body);

private:
    void onReadyRead();

    QTcpServer server_;
    QTcpSocket *client_ = nullptr;
    QElapsedTimer clock_;
    QByteArray pending_;
    QList<Unit> units_;
    struct Reply {
        QByteArray bytes;
        int delayMs = 0;
    };
    QHash<QByteArray, Reply> replies_;
};
