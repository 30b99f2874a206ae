#include "store/station_registry.h"

#include "session/kept_text.h"
#include "store/sql_dialect.h"

#include <QSqlQuery>

#include <algorithm>

namespace {

// How long a number stays its host's after the host last answered with it.
constexpr qint64 NumberKeptSecs = 30 * 24 * 3600;
// How often a station's ofe_heard_at is written: enough for the 30 days, no write per reading.
constexpr qint64 HeardRefreshSecs = 24 * 3600;

QString identityKey(const StationIdentity &identity)
{
    return identity.ofe.isEmpty() ? QStringLiteral("host:") + identity.host
                                  : QStringLiteral("ofe:") + identity.ofe + QLatin1Char('@') + identity.host;
}

bool sameIdentity(const StationIdentity &a, const StationIdentity &b)
{
    return a.description == b.description && a.host == b.host && a.ofe == b.ofe && a.timeZone == b.timeZone;
}

bool heardWithin(const QDateTime &heard, const QDateTime &at, qint64 secs)
{
    return heard.isValid() && heard.secsTo(at) < secs;
}

QTimeZone zoneNamed(const QString &name)
{
    QTimeZone zone(name.toUtf8());
    return zone.isValid() ? zone : QTimeZone::systemTimeZone();
}

template <typename Row>
std::optional<Row> firstOf(const QList<Row> &rows)
{
    return rows.isEmpty() ? std::nullopt : std::optional<Row>(rows.first());
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

} // namespace

StationRegistry::StationRegistry(StatementCache &statements, std::shared_ptr<const ListedHosts> listed)
    : statements_(statements), listed_(std::move(listed))
{
}

void StationRegistry::forget()
{
    known_.clear();
}

Result<StationRegistry::Station, QSqlError> StationRegistry::resolve(const StationIdentity &given, const QDateTime &at)
{
    StationIdentity identity = given;
    identity.host = given.host.trimmed();
    identity.ofe = keptText(given.ofe).trimmed();
    const QString key = identityKey(identity);
    const auto knownIt = known_.constFind(key);
    if (knownIt != known_.constEnd() && sameIdentity(knownIt->identity, identity)
        && (identity.ofe.isEmpty() || heardWithin(knownIt->ofeHeardAt, at, HeardRefreshSecs)))
        return knownIt->station;

    Result<Match, QSqlError> match = find(identity, at);
    if (!match)
        return failure(match.error());
    Stored row = updated(*match, identity, at);
    if (!match->found || !sameRow(row, *match->found)) {
        // Another writer may be adding or changing this station too: look again under the lock.
        if (const Result<void, QSqlError> locked = lockRegistry(); !locked)
            return failure(locked.error());
        match = find(identity, at);
        if (!match)
            return failure(match.error());
        row = updated(*match, identity, at);
    }
    QString keptApartFrom;
    if (!match->found || !sameRow(row, *match->found)) {
        if (const Result<void, QSqlError> stored = store(row); !stored)
            return failure(stored.error());
        // The row may also be what another key found before: that key must look again.
        known_.removeIf([&row](const auto &entry) { return entry.value().station.id == row.id; });
        keptApartFrom = match->heldBy;
    }
    Station station{row.id, zoneNamed(row.timeZone), row.description, row.host,
                    row.ofe.isEmpty() ? row.sharedOfe : row.ofe, {}};
    known_.insert(key, Known{identity, station, row.ofeHeardAt});
    station.keptApartFrom = keptApartFrom;
    return station;
}

Result<void, QSqlError> StationRegistry::lockRegistry()
{
    const QString &sql = dialectOf(QSqlDatabase::database(statements_.connectionName(), false)).stationLockSql;
    if (sql.isEmpty())
        return {};
    if (const Result<QSqlQuery *, QSqlError> locked = statements_.run(sql, {}); !locked)
        return failure(locked.error());
    return {};
}

Result<QList<StationRegistry::Stored>, QSqlError> StationRegistry::rows(const QString &condition,
                                                                        std::initializer_list<QVariant> values)
{
    const Result<QSqlQuery *, QSqlError> ran =
        statements_.run(QStringLiteral("SELECT id, description, host, ofe, shared_ofe, time_zone, "
                                       "ofe_heard_at FROM station WHERE ")
                            + condition,
                        values);
    if (!ran)
        return failure(ran.error());
    QSqlQuery *query = *ran;
    QList<Stored> found;
    const SqlDialect &dialect = dialectOf(QSqlDatabase::database(statements_.connectionName(), false));
    while (query->next()) {
        found << Stored{query->value(0).toLongLong(), query->value(1).toString(), query->value(2).toString(),
                        query->value(3).toString(),   query->value(4).toString(), query->value(5).toString(),
                        dialect.time(query->value(6))};
    }
    query->finish();
    return found;
}

Result<StationRegistry::Match, QSqlError> StationRegistry::find(const StationIdentity &identity, const QDateTime &at)
{
    if (identity.ofe.isEmpty()) {
        // The station last seen at this host, whatever its number.
        const Result<QList<Stored>, QSqlError> last = rows(QStringLiteral("host = ? ORDER BY id DESC LIMIT 1"), {identity.host});
        if (!last)
            return failure(last.error());
        return Match{firstOf(*last), {}};
    }
    // Every station that gave this number: the one that holds it, then those kept apart from it.
    const Result<QList<Stored>, QSqlError> given =
        rows(QStringLiteral("ofe = ? OR shared_ofe = ? ORDER BY shared_ofe IS NOT NULL, id"), {identity.ofe, identity.ofe});
    if (!given)
        return failure(given.error());
    const QList<Stored> &numbered = *given;
    const auto own = std::find_if(numbered.cbegin(), numbered.cend(), [&identity](const Stored &row) {
        return identity.host.isEmpty() || row.host == identity.host;
    });
    if (own != numbered.cend())
        return Match{*own, {}};
    Match match;
    const auto user = std::find_if(numbered.cbegin(), numbered.cend(),
                                   [&](const Stored &row) { return stillUsed(row, at); });
    if (user != numbered.cend()) {
        match.heldBy = user->host;
    } else {
        // A controller at a new address: its station follows it.
        const auto holder = std::find_if(numbered.cbegin(), numbered.cend(),
                                         [&identity](const Stored &row) { return row.ofe == identity.ofe; });
        if (holder != numbered.cend())
            return Match{*holder, {}};
    }
    // The row made for this host before its configuration reply came takes the number.
    const Result<QList<Stored>, QSqlError> unnumbered =
        rows(QStringLiteral("host = ? AND ofe IS NULL AND shared_ofe IS NULL ORDER BY id DESC LIMIT 1"), {identity.host});
    if (!unnumbered)
        return failure(unnumbered.error());
    match.found = firstOf(*unnumbered);
    return match;
}

bool StationRegistry::stillUsed(const Stored &row, const QDateTime &at) const
{
    return listed_->contains(row.host) || heardWithin(row.ofeHeardAt, at, NumberKeptSecs);
}

StationRegistry::Stored StationRegistry::updated(const Match &match, const StationIdentity &identity,
                                                 const QDateTime &at)
{
    const std::optional<Stored> &found = match.found;
    Stored row = found.value_or(Stored{});
    if (!identity.description.isEmpty())
        row.description = identity.description;
    else if (!found)
        row.description = identity.host;  // until a station list names it
    if (!identity.host.isEmpty() || !found)
        row.host = identity.host;
    if (!identity.ofe.isEmpty()) {
        if (!match.heldBy.isEmpty())
            row.sharedOfe = identity.ofe;
        else if (row.sharedOfe != identity.ofe)
            row.ofe = identity.ofe;
        if (!heardWithin(row.ofeHeardAt, at, HeardRefreshSecs))
            row.ofeHeardAt = at;
    }
    if (!identity.timeZone.isEmpty())
        row.timeZone = identity.timeZone;
    else if (!found)
        row.timeZone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    return row;
}

Result<void, QSqlError> StationRegistry::store(Stored &row)
{
    const SqlDialect &dialect = dialectOf(QSqlDatabase::database(statements_.connectionName(), false));
    const QVariant description = notNullText(row.description);
    const QVariant host = notNullText(row.host);
    const QVariant heardAt = dialect.timeValue(row.ofeHeardAt);
    if (row.id != 0) {
        const Result<QSqlQuery *, QSqlError> updated =
            statements_.run(QStringLiteral("UPDATE station SET description = ?, host = ?, ofe = ?, shared_ofe = ?, "
                                           "time_zone = ?, ofe_heard_at = ? WHERE id = ?"),
                            {description, host, textOrNull(row.ofe), textOrNull(row.sharedOfe), row.timeZone, heardAt,
                             row.id});
        if (!updated)
            return failure(updated.error());
        return {};
    }
    const Result<QSqlQuery *, QSqlError> inserted =
        statements_.run(QStringLiteral("INSERT INTO station (description, host, ofe, shared_ofe, time_zone, "
                                       "ofe_heard_at) VALUES (?, ?, ?, ?, ?, ?) RETURNING id"),
                        {description, host, textOrNull(row.ofe), textOrNull(row.sharedOfe), row.timeZone, heardAt});
    if (!inserted)
        return failure(inserted.error());
    QSqlQuery *insert = *inserted;
    if (!insert->next())
        return failure(insert->lastError());
    row.id = insert->value(0).toLongLong();
    insert->finish();
    return {};
}

bool StationRegistry::sameRow(const Stored &a, const Stored &b)
{
    return a.id == b.id && a.description == b.description && a.host == b.host && a.ofe == b.ofe
        && a.sharedOfe == b.sharedOfe && a.timeZone == b.timeZone && a.ofeHeardAt == b.ofeHeardAt;
}
