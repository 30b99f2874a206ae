#include "session/socket_state.h"

QString Traduzir_Estado_TCP(int estado)
{
    switch (estado) {
    case 1: return QStringLiteral("Aberta");
    case 2: return QStringLiteral("Escutando ...");
    case 3: return QStringLiteral("Conexão Pendente");
    case 4: return QStringLiteral("Localizando Host");
    case 5: return QStringLiteral("Host localizado");
    case 6: return QStringLiteral("Conectando ...");
    case 7: return QStringLiteral("Conectado");
    case 8: return QStringLiteral("Conv. está fechando a conexão");
    case 9: return QStringLiteral("Erro");
    default: return QStringLiteral("Fechada");
    }
}

SocketStateTracker::SocketStateTracker(QAbstractSocket *socket)
    : QObject(socket), socket_(socket)
{
    connect(socket, &QAbstractSocket::errorOccurred, this, &SocketStateTracker::onError);
    connect(socket, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::HostLookupState)
            peerClosed_ = failed_ = false;
    });
}

void SocketStateTracker::onError(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::RemoteHostClosedError)
        peerClosed_ = true;
    else
        failed_ = true;
}

int SocketStateTracker::State() const
{
    switch (socket_->state()) {
    case QAbstractSocket::HostLookupState: return LocalizandoHost;
    case QAbstractSocket::ConnectingState: return Conectando;
    case QAbstractSocket::ConnectedState: return Conectado;
    case QAbstractSocket::BoundState: return 1;
    case QAbstractSocket::ListeningState: return 2;
    case QAbstractSocket::ClosingState: return Fechando;
    case QAbstractSocket::UnconnectedState: break;
    }
    if (peerClosed_)
        return Fechando;
    return failed_ ? Erro : Fechada;
}

void SocketStateTracker::reset()
{
    peerClosed_ = failed_ = false;
}
