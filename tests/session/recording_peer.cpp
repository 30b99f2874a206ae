#include "recording_peer.h"

#include "protocol/bcc.h"
#include "protocol/control_codes.h"
#include "session/controller_session.h"

#include <QTcpSocket>
#include <QTest>
#include <QTimer>

RecordingPeer::RecordingPeer(const QHostAddress &address)
{
    clock_.start();
    server_.listen(address, ControllerSession::DefaultPort);
}

bool RecordingPeer::waitForClient(int timeoutMs)
{
    if (!QTest::qWaitFor([this] { return server_.hasPendingConnections(); }, timeoutMs))
        return false;
    client_ = server_.nextPendingConnection();
    connect(client_, &QTcpSocket::readyRead, this, &RecordingPeer::onReadyRead);
    return true;
}

bool RecordingPeer::clientGone() const
{
    return client_ && client_->state() == QAbstractSocket::UnconnectedState;
}

void RecordingPeer::write(const QByteArray &bytes)
{
    client_->write(bytes);
    client_->flush();
}

void RecordingPeer::dropClient()
{
    client_->disconnectFromHost();
}

// Units are cut where the session's writes must end: a frame at the byte after ETX, an ACK and
// the keep-alive pair whole.
void RecordingPeer::onReadyRead()
{
    pending_ += client_->readAll();
    const qint64 now = clock_.elapsed();
    while (!pending_.isEmpty()) {
        qsizetype length = 0;
        if (pending_.startsWith(zelta::ACK)) {
            length = 1;
        } else if (pending_.startsWith(QByteArray(zelta::KeepAlive.data(), 2))) {
            length = 2;
        } else {
            const qsizetype etx = pending_.indexOf(zelta::ETX);
            if (etx < 0 || etx + 1 >= pending_.size())
                return;
            length = etx + 2;
        }
        const QByteArray unit = pending_.left(length);
        units_.append({unit, now});
        pending_.remove(0, length);
        const QByteArray body = unit.mid(1, unit.size() - 3);
        if (unit.startsWith(zelta::STX) && replies_.contains(body)) {
            const Reply reply = replies_.value(body);
            if (reply.delayMs == 0)
                write(reply.bytes);
            else
                QTimer::singleShot(reply.delayMs, this, [this, reply] { write(reply.bytes); });
        }
    }
}

QList<QByteArray> RecordingPeer::bodies() const
{
    QList<QByteArray> bodies;
    for (const Unit &unit : units_) {
        if (unit.bytes.startsWith(zelta::STX))
            bodies << unit.bytes.mid(1, unit.bytes.size() - 3);
    }
    return bodies;
}

QByteArray RecordingPeer::frame(const QByteArray &body)
{
    QByteArray bytes = zelta::STX + body + zelta::ETX;
    bytes += char(zelta::blockCheckCharacter(std::string_view(bytes.constData() + 1, std::size_t(bytes.size() - 1))));
    return bytes;
}
