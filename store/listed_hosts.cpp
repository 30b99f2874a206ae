#include "store/listed_hosts.h"

namespace {

QString hostKey(const QString &host)
{
    return host.trimmed().toLower();
}

} // namespace

void ListedHosts::replace(const QStringList &hosts)
{
    QSet<QString> keys;
    for (const QString &host : hosts)
        keys.insert(hostKey(host));
    const QMutexLocker lock(&mutex_);
    hosts_ = std::move(keys);
}

bool ListedHosts::contains(const QString &host) const
{
    const QMutexLocker lock(&mutex_);
    return hosts_.contains(hostKey(host));
}
