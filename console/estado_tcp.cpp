#include "console/estado_tcp.h"

QString Traduzir_Estado_TCP(ControllerSession::LinkState estado)
{
    using LinkState = ControllerSession::LinkState;
    switch (estado) {
    case LinkState::LookingUpHost: return QStringLiteral("Localizando Host");
    case LinkState::Connecting: return QStringLiteral("Conectando ...");
    case LinkState::Connected: return QStringLiteral("Conectado");
    case LinkState::Closing: return QStringLiteral("Conv. está fechando a conexão");
    case LinkState::Failed: return QStringLiteral("Erro");
    case LinkState::Closed: break;
    }
    return QStringLiteral("Fechada");
}
