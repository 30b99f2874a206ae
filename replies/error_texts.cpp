#include "replies/error_texts.h"

QString errorReplyText(const std::string &errorCode)
{
    if (errorCode == "TI")
        return QStringLiteral("Número do tanque inválido !");
    if (errorCode == "NH")
        return QStringLiteral("Tanque não habilitado !");
    if (errorCode == "SL")
        return QStringLiteral("Não há medições para a data !");
    if (errorCode == "OL")
        return QStringLiteral("Sonda OFF-LINE ou Inexistente !");
    return {};
}
