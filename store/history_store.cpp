#include "store/history_store.h"

#include "store/listed_hosts.h"
#include "store/sql_driver_preload.h"
#include "store/store_writer.h"
#include "store/write_queue.h"

QString HistoryStore::fileName()
{
    return QStringLiteral("Historico.sqlite");
}

QString HistoryStore::filePathIn(const QString &dataDirectory)
{
    return dataDirectory + fileName();
}

HistoryStore::HistoryStore(const DatabaseLocation &location, const HistoryStoreOptions &options, QObject *parent)
    : QObject(parent),
      location_(location),
      queue_(std::make_shared<WriteQueue>(options.queueCapacity)),
      listed_(std::make_shared<ListedHosts>()),
      writer_(new StoreWriter(location, WriteConnectionSettings{options.busyTimeoutMs, options.connectOptions,
                                                                options.maxPageCount},
                              options.retryIntervalMs, queue_, options.rules, listed_))
{
    listed_->replace(options.listedHosts);
    thread_.setObjectName(QStringLiteral("HistoryStore writer"));
    writer_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    connect(writer_, &StoreWriter::written, this, &HistoryStore::written);
    connect(writer_, &StoreWriter::alarmChanged, this, &HistoryStore::alarmChanged);
    connect(writer_, &StoreWriter::ofeConflict, this, &HistoryStore::ofeConflict);
    connect(writer_, &StoreWriter::misconfigured, this, &HistoryStore::misconfigured);
    connect(writer_, &StoreWriter::failing, this, [this](const QString &reason) {
        failing_ = true;
        failureReason_ = reason;
        emit writesFailing(reason);
    });
    connect(writer_, &StoreWriter::working, this, [this] {
        failing_ = false;
        failureReason_.clear();
        emit writesWorking();
    });
    preloadSqlDriver(location);
    thread_.start();
    // Opened at once, so a file that cannot be written is reported before the first reading.
    QMetaObject::invokeMethod(writer_, &StoreWriter::drain, Qt::QueuedConnection);
}

HistoryStore::~HistoryStore()
{
    disconnect(writer_, nullptr, this, nullptr);
    QMetaObject::invokeMethod(writer_, &StoreWriter::finish, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

int HistoryStore::queuedCount() const
{
    // While writes fail, the writer holds one more call it could not write.
    return int(queue_->size()) + (failing_ ? 1 : 0);
}

void HistoryStore::setListedHosts(const QStringList &hosts)
{
    listed_->replace(hosts);
}

quint64 HistoryStore::enqueue(WriteJob &&job)
{
    job.receivedAt = QDateTime::currentDateTimeUtc();
    bool wake = false;
    const quint64 sequence = queue_->push(std::move(job), &wake);
    if (wake)
        QMetaObject::invokeMethod(writer_, &StoreWriter::drain, Qt::QueuedConnection);
    return sequence;
}

quint64 HistoryStore::keepMeasurement(const StationIdentity &station, const MeasurementReading &reading, Origin origin)
{
    return enqueue(WriteJob{0, station, {}, MeasurementWork{reading, origin}});
}

quint64 HistoryStore::keepInventory(const StationIdentity &station, const QList<MeasurementReading> &readings,
                                    Origin origin)
{
    return enqueue(WriteJob{0, station, {}, InventoryWork{readings, origin}});
}

quint64 HistoryStore::keepSensors(const StationIdentity &station, const SensorReading &reading)
{
    return enqueue(WriteJob{0, station, {}, SensorWork{reading}});
}

quint64 HistoryStore::keepScheduled(const StationIdentity &station, const QList<ScheduledReading> &readings)
{
    return enqueue(WriteJob{0, station, {}, ScheduledWork{readings}});
}

quint64 HistoryStore::keepErrorReply(const StationIdentity &station, const ErrorReply &reply)
{
    QString detail = reply.command + QLatin1Char(' ') + reply.code;
    if (!reply.text.isEmpty())
        detail += QStringLiteral(": ") + reply.text;
    const EventKind kind = reply.checkByteMatches ? EventKind::ErrorReply : EventKind::BadCheckByte;
    return keepEvent(station, kind, detail);
}

quint64 HistoryStore::keepEvent(const StationIdentity &station, EventKind kind, const QString &detail)
{
    return enqueue(WriteJob{0, station, {}, EventWork{kind, detail}});
}

quint64 HistoryStore::keepClock(const StationIdentity &station, const ClockReading &reading, const QDateTime &pcTimeUtc)
{
    return enqueue(WriteJob{0, station, {}, ClockWork{reading, pcTimeUtc.toUTC()}});
}

quint64 HistoryStore::keepPollOutcome(const StationIdentity &station, bool succeeded, const QString &detail)
{
    return enqueue(WriteJob{0, station, {}, PollOutcomeWork{succeeded, detail}});
}
