#include "scripted_controller.h"

#include "protocol/bcc.h"
#include "session/controller_session.h"

#include <QTcpSocket>
#include <QTest>

bool ScriptedController::listen(const QHostAddress &address)
{
    return server_.listen(address, ControllerSession::DefaultPort);
}

bool ScriptedController::accept()
{
    if (!QTest::qWaitFor([this] { return server_.hasPendingConnections(); }, 5000))
        return false;
    peer_ = server_.nextPendingConnection();
    return true;
}

void ScriptedController::close()
{
    delete peer_;
    peer_ = nullptr;
    server_.close();
}

QByteArray ScriptedController::read(int expected, int timeoutMs, KeepAlive keepAlive)
{
    QByteArray got;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            got += peer_->readAll();
            if (keepAlive == KeepAlive::Skip)
                got.replace("\xFF\xF1", "");
            return got.size() >= expected;
        },
        timeoutMs));
    return got;
}

bool ScriptedController::writeAndAwaitAck(const QByteArray &bytes)
{
    peer_->readAll();
    peer_->write(bytes);
    return read(1, 3000) == QByteArray(1, '\x06');
}

QByteArray ScriptedController::frame(const QByteArray &body)
{
    QByteArray bytes = '\x02' + body + '\x03';
    bytes += char(zelta::blockCheckCharacter(std::string_view(bytes.constData() + 1, std::size_t(bytes.size() - 1))));
    return bytes;
}
