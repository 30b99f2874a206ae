#include "store/database_location.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace {

using Kind = DatabaseUrlProblem::Kind;

Failure<DatabaseUrlProblem> refused(Kind kind, const QString &atFault = {})
{
    return failure(DatabaseUrlProblem{kind, atFault});
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

Result<DatabaseLocation, DatabaseUrlProblem> parseDatabaseUrl(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return refused(Kind::Malformed, url.errorString());
    if (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres"))
        return refused(Kind::NotPostgres, text);
    if (!url.password().isEmpty())
        return refused(Kind::PasswordGiven);
    if (!url.fragment().isNull())
        return refused(Kind::Fragment, text);
    DatabaseLocation location;
    location.databaseName = url.path(QUrl::FullyDecoded).mid(1);
    if (location.databaseName.isEmpty() || location.databaseName.contains(QLatin1Char('/')))
        return refused(Kind::NoDatabase, text);
    location.userName = url.userName(QUrl::FullyDecoded);
    location.host = url.host(QUrl::FullyDecoded);
    location.port = url.port();
    const QUrlQuery query(url);
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (name != QLatin1String("host"))
            return refused(Kind::UnknownOption, name);
        if (!location.host.isEmpty() || value.isEmpty())
            return refused(Kind::HostTwice, text);
        location.host = value;
    }
    return location;
}
