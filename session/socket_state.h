#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QString>

// Traduzir_Estado_TCP: the text shown in Estado_TCP for a socket state number 0-9.
QString Traduzir_Estado_TCP(int estado);

// The console reads its socket's state as one number, 0 to 9: 0 closed, 1 open, 2 listening,
// 3 connection pending, 4 resolving host, 5 host resolved, 6 connecting, 7 connected, 8 peer is
// closing, 9 error. Qt reports a refused connection or a peer's close through signals and then
// simply says "unconnected", so this tracker remembers them until the console closes the socket.
class SocketStateTracker : public QObject {
    Q_OBJECT
public:
    enum Number { Fechada = 0, LocalizandoHost = 4, Conectando = 6, Conectado = 7, Fechando = 8, Erro = 9 };

    explicit SocketStateTracker(QAbstractSocket *socket);

    int State() const;
    // The console closed the socket itself: forget any error or peer close.
    void reset();

private:
    void onError(QAbstractSocket::SocketError error);

    QAbstractSocket *socket_;
    bool peerClosed_ = false;
    bool failed_ = false;
};
