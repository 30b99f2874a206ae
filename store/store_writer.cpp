#include "store/store_writer.h"

#include "store/row_writer.h"
#include "store/write_failure.h"

#include <QFileInfo>
#include <QTimer>

StoreWriter::StoreWriter(const DatabaseLocation &location, const WriteConnectionSettings &settings, int retryIntervalMs,
                         std::shared_ptr<WriteQueue> queue, std::shared_ptr<const WriteRules> rules)
    : location_(location),
      connectionName_(QStringLiteral("comzelta-history-writer-%1").arg(quintptr(this), 0, 16)),
      settings_(settings),
      queue_(std::move(queue)),
      rules_(std::move(rules)),
      retryTimer_(new QTimer(this))
{
    retryTimer_->setSingleShot(true);
    retryTimer_->setInterval(retryIntervalMs);
    connect(retryTimer_, &QTimer::timeout, this, &StoreWriter::drain);
}

StoreWriter::~StoreWriter()
{
    close();
}

void StoreWriter::drain()
{
    // While writes fail, the retry timer decides when to try again.
    if (retryTimer_->isActive())
        return;
    for (;;) {
        if (!pending_)
            pending_ = queue_->take();
        if (!pending_)
            return;
        if (!writePending())
            return;
    }
}

void StoreWriter::finish()
{
    finishing_ = true;
    retryTimer_->stop();
    drain();
    DroppedCounts lost = queue_->takeDropped();
    if (pending_) {
        lost += droppedCounts(*pending_);
        pending_.reset();
    }
    while (std::optional<WriteJob> job = queue_->take())
        lost += droppedCounts(*job);
    if (lost.any())
        qWarning("Histórico: %lld leituras e %lld eventos não gravados ao fechar: %s", lost.readings, lost.events,
                 qPrintable(failure_.value_or(QString())));
    close();
}

bool StoreWriter::ensureOpen()
{
    // A file removed (or a directory gone) under an open connection would take writes silently.
    if (rows_ && !location_.isPostgres() && !QFileInfo::exists(location_.filePath))
        close();
    if (rows_)
        return true;
    if (const std::optional<QString> reason = openForWriting(connectionName_, location_, settings_)) {
        recordFailure(*reason);
        return false;
    }
    rows_ = std::make_unique<RowWriter>(connectionName_, rules_);
    return true;
}

bool StoreWriter::writePending()
{
    if (!ensureOpen())
        return false;
    QSqlError error;
    QList<AlarmNotice> notices;
    if (!rows_->write(*pending_, &error, &notices)) {
        const WriteFailure failure = writeFailure(error);
        if (failure.workAtFault) {
            qWarning("Histórico: registro descartado: %s", qPrintable(failure.reason));
            queue_->addDropped(droppedCounts(*pending_));
            pending_.reset();
            return true;
        }
        // Reopened on the next attempt, so a connection left in a bad state is not reused.
        close();
        recordFailure(failure.reason);
        return false;
    }
    const quint64 sequence = pending_->sequence;
    pending_.reset();
    if (failure_) {
        failure_.reset();
        emit working();
    }
    for (const AlarmNotice &notice : std::as_const(notices))
        emit alarmChanged(notice);
    emit written(sequence);
    writeDropped();
    return true;
}

void StoreWriter::writeDropped()
{
    const DroppedCounts dropped = queue_->takeDropped();
    if (!dropped.any())
        return;
    QSqlError error;
    if (!rows_->writeDropped(dropped, QDateTime::currentDateTimeUtc(), &error))
        queue_->addDropped(dropped);
}

void StoreWriter::recordFailure(const QString &reason)
{
    if (failure_ != reason) {
        failure_ = reason;
        emit failing(reason);
    }
    if (!finishing_)
        retryTimer_->start();
}

void StoreWriter::close()
{
    rows_.reset();
    closeConnection(connectionName_);
}
