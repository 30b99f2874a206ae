#include "store/station_registry.h"

#include "store/sql_dialect.h"

#include <QSqlQuery>

namespace {

QString identityKey(const StationIdentity &identity)
{
    return identity.ofe.isEmpty() ? QStringLiteral("host:") + identity.host : QStringLiteral("ofe:") + identity.ofe;
}

bool sameIdentity(const StationIdentity &a, const StationIdentity &b)
{
    return a.description == b.description && a.host == b.host && a.ofe == b.ofe && a.timeZone == b.timeZone;
}

QTimeZone zoneNamed(const QString &name)
{
    QTimeZone zone(name.toUtf8());
    return zone.isValid() ? zone : QTimeZone::systemTimeZone();
}

} // namespace

StationRegistry::StationRegistry(const QString &connectionName) : connectionName_(connectionName) {}

void StationRegistry::forget()
{
    known_.clear();
}

std::optional<StationRegistry::Station> StationRegistry::resolve(const StationIdentity &given, QSqlError *error)
{
    StationIdentity identity = given;
    identity.host = given.host.trimmed();
    identity.ofe = given.ofe.trimmed();
    const QString key = identityKey(identity);
    const auto knownIt = known_.constFind(key);
    if (knownIt != known_.constEnd() && sameIdentity(knownIt->identity, identity))
        return knownIt->station;

    if (!lockRegistry(error))
        return std::nullopt;
    const std::optional<Stored> found = find(identity, error);
    if (error->isValid())
        return std::nullopt;
    Stored row = updated(found, identity);
    if (!found || !sameRow(row, *found)) {
        if (!store(row, error))
            return std::nullopt;
        // The row may also be what another key found before: that key must look again.
        known_.removeIf([&row](const auto &entry) { return entry.value().station.id == row.id; });
    }
    const Station station{row.id, zoneNamed(row.timeZone), row.description, row.host, row.ofe};
    known_.insert(key, Known{identity, station});
    return station;
}

bool StationRegistry::lockRegistry(QSqlError *error)
{
    const QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    const QString &sql = dialectOf(db).stationLockSql;
    if (sql.isEmpty())
        return true;
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    *error = query.lastError();
    return false;
}

std::optional<StationRegistry::Stored> StationRegistry::findOne(const QString &sql, const QString &value,
                                                                QSqlError *error) const
{
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.setForwardOnly(true);
    const bool prepared = query.prepare(sql);
    query.bindValue(QStringLiteral(":value"), value);
    if (!prepared || !query.exec()) {
        *error = query.lastError();
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return Stored{query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
                  query.value(3).toString(), query.value(4).toString()};
}

std::optional<StationRegistry::Stored> StationRegistry::find(const StationIdentity &identity, QSqlError *error) const
{
    const QString columns = QStringLiteral("SELECT id, description, host, ofe, time_zone FROM station ");
    if (!identity.ofe.isEmpty()) {
        if (std::optional<Stored> byOfe = findOne(columns + QStringLiteral("WHERE ofe = :value"), identity.ofe, error))
            return byOfe;
        if (error->isValid())
            return std::nullopt;
        // The row made for this host before its configuration reply came: it takes the number.
        return findOne(columns + QStringLiteral("WHERE host = :value AND ofe IS NULL ORDER BY id DESC LIMIT 1"),
                       identity.host, error);
    }
    // The station last seen at this host, whatever its number.
    return findOne(columns + QStringLiteral("WHERE host = :value ORDER BY id DESC LIMIT 1"), identity.host, error);
}

StationRegistry::Stored StationRegistry::updated(const std::optional<Stored> &found, const StationIdentity &identity)
{
    Stored row = found.value_or(Stored{});
    if (!identity.description.isEmpty() || !found)
        row.description = identity.description;
    if (!identity.host.isEmpty() || !found)
        row.host = identity.host;
    if (!identity.ofe.isEmpty())
        row.ofe = identity.ofe;
    if (!identity.timeZone.isEmpty())
        row.timeZone = identity.timeZone;
    else if (!found)
        row.timeZone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    return row;
}

bool StationRegistry::store(Stored &row, QSqlError *error)
{
    const bool isNew = row.id == 0;
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    const bool prepared = query.prepare(isNew ? QStringLiteral("INSERT INTO station (description, host, ofe, time_zone) "
                                         "VALUES (:description, :host, :ofe, :zone) RETURNING id")
                        : QStringLiteral("UPDATE station SET description = :description, host = :host, ofe = :ofe, "
                                         "time_zone = :zone WHERE id = :id"));
    query.bindValue(QStringLiteral(":description"), notNullText(row.description));
    query.bindValue(QStringLiteral(":host"), notNullText(row.host));
    query.bindValue(QStringLiteral(":ofe"), row.ofe.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : row.ofe);
    query.bindValue(QStringLiteral(":zone"), row.timeZone);
    if (!isNew)
        query.bindValue(QStringLiteral(":id"), row.id);
    if (!prepared || !query.exec() || (isNew && !query.next())) {
        *error = query.lastError();
        return false;
    }
    if (isNew)
        row.id = query.value(0).toLongLong();
    return true;
}

bool StationRegistry::sameRow(const Stored &a, const Stored &b)
{
    return a.id == b.id && a.description == b.description && a.host == b.host && a.ofe == b.ofe
        && a.timeZone == b.timeZone;
}
