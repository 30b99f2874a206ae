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

StationRegistry::StationRegistry(StatementCache &statements) : statements_(statements) {}

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

    std::optional<Stored> found = find(identity, error);
    if (error->isValid())
        return std::nullopt;
    Stored row = updated(found, identity);
    if (!found || !sameRow(row, *found)) {
        // Another writer may be adding or changing this station too: look again under the lock.
        if (!lockRegistry(error))
            return std::nullopt;
        found = find(identity, error);
        if (error->isValid())
            return std::nullopt;
        row = updated(found, identity);
    }
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
    const QString &sql = dialectOf(QSqlDatabase::database(statements_.connectionName(), false)).stationLockSql;
    return sql.isEmpty() || statements_.run(sql, {}, error);
}

std::optional<StationRegistry::Stored> StationRegistry::findOne(const QString &sql, const QString &value,
                                                                QSqlError *error)
{
    QSqlQuery *query = statements_.run(sql, {value}, error);
    if (!query)
        return std::nullopt;
    std::optional<Stored> found;
    if (query->next())
        found = Stored{query->value(0).toLongLong(), query->value(1).toString(), query->value(2).toString(),
                       query->value(3).toString(), query->value(4).toString()};
    query->finish();
    return found;
}

std::optional<StationRegistry::Stored> StationRegistry::find(const StationIdentity &identity, QSqlError *error)
{
    const QString columns = QStringLiteral("SELECT id, description, host, ofe, time_zone FROM station ");
    if (!identity.ofe.isEmpty()) {
        if (std::optional<Stored> byOfe = findOne(columns + QStringLiteral("WHERE ofe = ?"), identity.ofe, error))
            return byOfe;
        if (error->isValid())
            return std::nullopt;
        // The row made for this host before its configuration reply came: it takes the number.
        return findOne(columns + QStringLiteral("WHERE host = ? AND ofe IS NULL ORDER BY id DESC LIMIT 1"),
                       identity.host, error);
    }
    // The station last seen at this host, whatever its number.
    return findOne(columns + QStringLiteral("WHERE host = ? ORDER BY id DESC LIMIT 1"), identity.host, error);
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
    const QVariant description = notNullText(row.description);
    const QVariant host = notNullText(row.host);
    const QVariant ofe = row.ofe.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(row.ofe);
    if (row.id != 0) {
        return statements_.run(QStringLiteral("UPDATE station SET description = ?, host = ?, ofe = ?, time_zone = ? "
                                              "WHERE id = ?"),
                               {description, host, ofe, row.timeZone, row.id}, error);
    }
    QSqlQuery *insert = statements_.run(QStringLiteral("INSERT INTO station (description, host, ofe, time_zone) "
                                                       "VALUES (?, ?, ?, ?) RETURNING id"),
                                        {description, host, ofe, row.timeZone}, error);
    if (!insert)
        return false;
    if (!insert->next()) {
        *error = insert->lastError();
        return false;
    }
    row.id = insert->value(0).toLongLong();
    insert->finish();
    return true;
}

bool StationRegistry::sameRow(const Stored &a, const Stored &b)
{
    return a.id == b.id && a.description == b.description && a.host == b.host && a.ofe == b.ofe
        && a.timeZone == b.timeZone;
}
