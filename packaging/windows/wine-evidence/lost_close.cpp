// Does a server see its client's close when it answers the client's last bytes at once, inside
// readyRead, after the client has already closed? Linux does; under Wine the reset those bytes
// provoke is dropped while Qt has the socket's notifications off, and the close is never reported.
//   lost_close.exe            answers with write() and flush() inside readyRead
//   lost_close.exe buffered   answers with write() only: Qt sends it later, and the close is seen
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool flushAtOnce = !(argc > 1 && QByteArray(argv[1]) == "buffered");
    const QHostAddress address(QStringLiteral("127.0.0.252"));
    QTcpServer server;
    if (!server.listen(address, 4001))
        return 2;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *accepted = server.nextPendingConnection();
        QObject::connect(accepted, &QTcpSocket::readyRead, [accepted, flushAtOnce] {
            accepted->readAll();
            accepted->write("\x06");
            if (flushAtOnce)
                accepted->flush();
        });
        QObject::connect(accepted, &QTcpSocket::disconnected, [&] { app.exit(0); });
    });
    QTcpSocket client;
    QObject::connect(&client, &QTcpSocket::connected, [&] {
        client.write("\x02ID02\x03");
        client.flush();
        client.disconnectFromHost();
    });
    client.connectToHost(address, 4001);
    QTimer::singleShot(3000, [&] { app.exit(1); });
    return app.exec();
}
