#pragma once

#include "store/database_location.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <functional>

class LockConnection;

// Claims on controllers, shared by every program that writes one PostgreSQL history. A gateway
// on the controller's port often takes one client only, so a poller dials a controller only while
// it holds the controller's claim: a session-level advisory lock (pg_try_advisory_lock), taken on
// a connection of this object's own, on a thread of its own, so that the event loop never waits
// for the server. The server drops a program's claims when its connection ends, however the
// program ended.
//
// A claim the server cannot be asked about is granted: the readings then wait in the history's
// queue, and reading the fleet matters more than the rare second dialler. unavailable() says so,
// once per outage. On SQLite there is no server to share: every claim is granted at once.
class StationLocks : public QObject {
    Q_OBJECT
public:
    explicit StationLocks(const DatabaseLocation &location, QObject *parent = nullptr);
    ~StationLocks() override;

    // The controller as the history names its station (host, or host:port). `answer` runs on this
    // thread, from the event loop on PostgreSQL, unless `context` is gone by then.
    void claim(const QString &controller, QObject *context, std::function<void(bool granted)> answer);
    void release(const QString &controller);

    // The lock's key for a controller: the same in every program, whatever its build.
    static qint64 keyOf(const QString &controller);

signals:
    void unavailable(const QString &reason);
    void available();
    // As HistoryStore::misconfigured: the database named does not exist.
    void misconfigured(const QString &reason);

private:
    void answered(quint64 claimId, bool granted);

    LockConnection *connection_ = nullptr;  // PostgreSQL only; lives on thread_
    QThread thread_;
    struct Pending {
        QPointer<QObject> context;
        std::function<void(bool)> answer;
        QString controller;
    };
    QHash<quint64, Pending> pending_;
    quint64 lastClaim_ = 0;
};
