#include "store/station_locks.h"

#include "store/history_file.h"
#include "store/sql_driver_preload.h"
#include "store/statement_cache.h"
#include "store/store_log.h"
#include "store/store_texts.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

namespace {

// While the server cannot be reached, claims are granted without asking it again for this long,
// so that a round over many stations does not wait for one failed connection per station.
constexpr int ReconnectAfterMs = 5000;

} // namespace

// The lock thread's side: the connection, opened when first needed and again after it failed.
class LockConnection : public QObject {
public:
    LockConnection(const DatabaseLocation &location, StationLocks *owner)
        : location_(location), owner_(owner),
          connectionName_(QStringLiteral("comzelta-station-locks-%1").arg(quintptr(this), 0, 16))
    {
    }
    ~LockConnection() override { close(); }

    // Whether the claim is granted; a server that cannot be asked grants it.
    bool tryLock(qint64 key)
    {
        QVariant granted = ask(QStringLiteral("SELECT pg_try_advisory_lock(?)"), key);
        return !granted.isValid() || granted.toBool();
    }

    void unlock(qint64 key) { ask(QStringLiteral("SELECT pg_advisory_unlock(?)"), key); }

private:
    QVariant ask(const QString &sql, qint64 key)
    {
        if (!ensureOpen())
            return {};
        const Result<QSqlQuery *, QSqlError> query = statements_->run(sql, {key});
        QSqlError error = query ? QSqlError() : query.error();
        if (query) {
            if ((*query)->next()) {
                const QVariant answer = (*query)->value(0);
                (*query)->finish();
                return answer;
            }
            error = (*query)->lastError();
        }
        // The connection is gone, and every lock it held with it.
        failed(error.databaseText().simplified());
        return {};
    }

    bool ensureOpen()
    {
        if (statements_)
            return true;
        if (!retryAt_.hasExpired())
            return false;
        if (const Result<void, HistoryOpenProblem> opened = openServerConnection(connectionName_, location_); !opened) {
            failed(historyOpenProblemText(opened.error()), opened.error().misconfigured());
            return false;
        }
        statements_ = std::make_unique<StatementCache>(connectionName_);
        if (std::exchange(unavailable_, false))
            QMetaObject::invokeMethod(owner_, &StationLocks::available, Qt::QueuedConnection);
        return true;
    }

    // As the store's writer closes: the connection before its statements.
    void close()
    {
        closeConnection(connectionName_);
        statements_.reset();
    }

    void failed(const QString &reason, bool misconfigured = false)
    {
        qCInfo(lcStore).noquote() << lockServerUnavailableText(reason, ReconnectAfterMs);
        close();
        retryAt_.setRemainingTime(ReconnectAfterMs);
        if (!std::exchange(unavailable_, true))
            QMetaObject::invokeMethod(owner_, [owner = owner_, reason, misconfigured] {
                if (misconfigured)
                    emit owner->misconfigured(reason);
                else
                    emit owner->unavailable(reason);
            }, Qt::QueuedConnection);
    }

    DatabaseLocation location_;
    StationLocks *owner_;
    QString connectionName_;
    std::unique_ptr<StatementCache> statements_;  // while the connection is open
    bool unavailable_ = false;
    QDeadlineTimer retryAt_{0};
};

StationLocks::StationLocks(const DatabaseLocation &location, QObject *parent) : QObject(parent)
{
    if (!location.isPostgres())
        return;
    connection_ = new LockConnection(location, this);
    thread_.setObjectName(QStringLiteral("StationLocks"));
    connection_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, connection_, &QObject::deleteLater);
    preloadSqlDriver(location);
    thread_.start();
}

StationLocks::~StationLocks()
{
    thread_.quit();
    thread_.wait();
}

qint64 StationLocks::keyOf(const QString &controller)
{
    const QByteArray digest = QCryptographicHash::hash(QByteArrayLiteral("comzelta controller ") + controller.toUtf8(),
                                                       QCryptographicHash::Sha256);
    return qFromBigEndian<qint64>(digest.constData());
}

void StationLocks::claim(const QString &controller, QObject *context, std::function<void(bool)> answer)
{
    if (!connection_) {
        answer(true);
        return;
    }
    const quint64 id = ++lastClaim_;
    pending_.insert(id, Pending{context, std::move(answer), controller});
    QMetaObject::invokeMethod(
        connection_,
        [connection = connection_, owner = this, id, key = keyOf(controller)] {
            const bool granted = connection->tryLock(key);
            QMetaObject::invokeMethod(owner, [owner, id, granted] { owner->answered(id, granted); },
                                      Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void StationLocks::release(const QString &controller)
{
    if (!connection_)
        return;
    QMetaObject::invokeMethod(connection_, [connection = connection_, key = keyOf(controller)] { connection->unlock(key); },
                              Qt::QueuedConnection);
}

void StationLocks::answered(quint64 claimId, bool granted)
{
    const Pending pending = pending_.take(claimId);
    if (!granted)
        qCDebug(lcStore).noquote() << claimRefusedText(pending.controller);
    if (pending.context)
        pending.answer(granted);
}
