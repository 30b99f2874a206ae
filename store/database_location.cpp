#include "store/database_location.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace {

ParsedDatabaseLocation refused(const QString &reason)
{
    return {std::nullopt, QStringLiteral("endereço do banco inválido: %1").arg(reason)};
}

} // namespace

QString DatabaseLocation::displayName() const
{
    if (!isPostgres())
        return QDir::toNativeSeparators(filePath);
    // Written out rather than through QUrl, which drops the "//" of a URL with a user and no host.
    const bool socket = host.startsWith(QLatin1Char('/'));
    QString text = QStringLiteral("postgresql://");
    if (!userName.isEmpty())
        text += userName + QLatin1Char('@');
    if (!socket)
        text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    if (port != -1)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + databaseName;
    if (socket)
        text += QStringLiteral("?host=") + host;
    return text;
}

ParsedDatabaseLocation parseDatabaseUrl(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return refused(url.errorString());
    if (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres"))
        return refused(QStringLiteral("%1 não começa com postgresql://").arg(text));
    if (!url.password().isEmpty())
        return refused(QStringLiteral("a senha não vai no endereço; use ~/.pgpass ou PGPASSFILE"));
    if (!url.fragment().isNull())
        return refused(QStringLiteral("%1 tem um fragmento (#)").arg(text));
    DatabaseLocation location;
    location.databaseName = url.path(QUrl::FullyDecoded).mid(1);
    if (location.databaseName.isEmpty() || location.databaseName.contains(QLatin1Char('/')))
        return refused(QStringLiteral("%1 não nomeia um banco (postgresql://usuário@servidor/banco)").arg(text));
    location.userName = url.userName(QUrl::FullyDecoded);
    location.host = url.host(QUrl::FullyDecoded);
    location.port = url.port();
    const QUrlQuery query(url);
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (name != QLatin1String("host"))
            return refused(QStringLiteral("opção %1 desconhecida (só host=)").arg(name));
        if (!location.host.isEmpty() || value.isEmpty())
            return refused(QStringLiteral("o servidor foi dado duas vezes, ou host= vazio"));
        location.host = value;
    }
    return {location, {}};
}
