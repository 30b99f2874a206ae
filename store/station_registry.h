#pragma once

#include "store/statement_cache.h"
#include "store/store_types.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QTimeZone>

#include <optional>

// The station rows of the writer's connection: matches an identity to its row (by OFE number
// when known, otherwise by host), creates the row the first time, and updates description, host
// and zone when they change. Remembers what it found; forget() after a rollback, since a row
// created in the rolled-back transaction is gone.
class StationRegistry {
public:
    struct Station {
        qint64 id = 0;
        QTimeZone zone;
        QString description;  // as stored
        QString host;
        QString ofe;
    };

    explicit StationRegistry(StatementCache &statements);

    // Inside the caller's transaction.
    std::optional<Station> resolve(const StationIdentity &identity, QSqlError *error);
    void forget();

private:
    struct Stored {
        qint64 id = 0;
        QString description;
        QString host;
        QString ofe;
        QString timeZone;
    };

    // Holds other writers off the station table until this transaction ends (PostgreSQL).
    bool lockRegistry(QSqlError *error);
    std::optional<Stored> find(const StationIdentity &identity, QSqlError *error);
    std::optional<Stored> findOne(const QString &sql, const QString &value, QSqlError *error);
    static Stored updated(const std::optional<Stored> &found, const StationIdentity &identity);
    static bool sameRow(const Stored &a, const Stored &b);
    // Inserts a new row (setting its id) or updates an existing one.
    bool store(Stored &row, QSqlError *error);

    StatementCache &statements_;
    struct Known {
        StationIdentity identity;
        Station station;
    };
    QHash<QString, Known> known_;  // by identity key
};
