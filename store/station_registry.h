#pragma once

#include "base/result.h"
#include "store/listed_hosts.h"
#include "store/statement_cache.h"
#include "store/store_types.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QTimeZone>

#include <memory>
#include <optional>

// The station rows of the writer's connection: matches an identity to its row, creates the row
// the first time, and updates description, host and zone when they change. An OFE number matches
// the station that gave it at this host; at another host only when no host that still uses it
// (listed, or heard with it in the last 30 days) is left, as when a controller moved. Otherwise
// the identity's station is kept apart, with the number in shared_ofe. Remembers what it found;
// forget() after a rollback, since a row created in the rolled-back transaction is gone.
class StationRegistry {
public:
    struct Station {
        qint64 id = 0;
        QTimeZone zone;
        QString description;  // as stored
        QString host;
        QString ofe;  // its controller's number, whether the station holds it or shares it
        // The host whose station holds the number, when this call has just kept the station
        // apart from it: the caller records the conflict, once.
        QString keptApartFrom;
    };

    StationRegistry(StatementCache &statements, std::shared_ptr<const ListedHosts> listed);

    // Inside the caller's transaction; `at` is when the call was handed over, in UTC.
    Result<Station, QSqlError> resolve(const StationIdentity &identity, const QDateTime &at);
    void forget();

private:
    struct Stored {
        qint64 id = 0;
        QString description;
        QString host;
        QString ofe;
        QString sharedOfe;
        QString timeZone;
        QDateTime ofeHeardAt;
    };
    struct Match {
        std::optional<Stored> found;
        QString heldBy;  // the host holding the number, when the identity's station is kept apart
    };

    // Holds other writers off the station table until this transaction ends (PostgreSQL).
    Result<void, QSqlError> lockRegistry();
    Result<Match, QSqlError> find(const StationIdentity &identity, const QDateTime &at);
    Result<QList<Stored>, QSqlError> rows(const QString &condition, std::initializer_list<QVariant> values);
    // Whether the number of this row is still in use at its host.
    bool stillUsed(const Stored &row, const QDateTime &at) const;
    static Stored updated(const Match &match, const StationIdentity &identity, const QDateTime &at);
    static bool sameRow(const Stored &a, const Stored &b);
    // Inserts a new row (setting its id) or updates an existing one.
    Result<void, QSqlError> store(Stored &row);

    StatementCache &statements_;
    std::shared_ptr<const ListedHosts> listed_;
    struct Known {
        StationIdentity identity;
        Station station;
        QDateTime ofeHeardAt;
    };
    QHash<QString, Known> known_;  // by identity key
};
