#include "postgres_server.h"

#include <QFile>
#include <QProcess>

namespace {

// initdb and the first start take seconds; a loaded machine, more.
constexpr int ScriptTimeoutMs = 180000;

QString script()
{
    return QStringLiteral(COMZELTA_POSTGRES_SERVER);
}

} // namespace

PostgresServer::PostgresServer(const QString &stateDirectory) : state_(stateDirectory) {}

PostgresServer::~PostgresServer()
{
    if (!started_)
        return;
    QProcess stop;
    stop.setProcessChannelMode(QProcess::ForwardedChannels);
    stop.start(script(), {QStringLiteral("stop"), state_});
    stop.waitForFinished(ScriptTimeoutMs);
}

std::optional<QString> PostgresServer::start(QString *why)
{
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    // Even a start that fails may leave a server or a directory behind for stop to clear.
    started_ = true;
    server.start(script(), {QStringLiteral("start"), state_});
    if (!server.waitForFinished(ScriptTimeoutMs) || server.exitStatus() != QProcess::NormalExit
        || server.exitCode() != 0) {
        *why = QString::fromUtf8(server.readAll()).trimmed();
        if (why->isEmpty())
            *why = server.errorString();
        return std::nullopt;
    }
    QFile url(state_ + QStringLiteral("/url"));
    if (!url.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("%1: %2").arg(url.fileName(), url.errorString());
        return std::nullopt;
    }
    return QString::fromUtf8(url.readAll()).trimmed();
}
