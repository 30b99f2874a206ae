#include "store/store_writer.h"

#include "store/row_writer.h"
#include "store/write_failure.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// Calls written in one transaction when the writer has fallen behind: a commit (and on SQLite
// its fsync) per call would leave a fleet's round waiting for the disk long after it ended.
constexpr std::size_t LargestBatch = 256;

} // namespace

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
        // While writes fail the batch stays as it was, so the queue alone bounds what waits.
        while (!failure_ && pending_.size() < LargestBatch) {
            std::optional<WriteJob> job = queue_->take();
            if (!job)
                break;
            pending_.push_back(std::move(*job));
        }
        if (pending_.empty())
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
    for (const WriteJob &job : std::as_const(pending_))
        lost += droppedCounts(job);
    pending_.clear();
    while (std::optional<WriteJob> job = queue_->take())
        lost += droppedCounts(*job);
    if (lost.any())
        qWarning("Histórico: %lld leituras e %lld eventos não gravados ao fechar: %s", lost.readings, lost.events,
                 qUtf8Printable(failure_.value_or(QString())));
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
    if (rows_->write(pending_, &error, &notices)) {
        committed(pending_.size(), notices);
        return true;
    }
    const WriteFailure failure = writeFailure(error);
    if (!failure.workAtFault) {
        // Reopened on the next attempt, so a connection left in a bad state is not reused.
        close();
        recordFailure(failure.reason);
        return false;
    }
    // One call is at fault: each on its own, so that only that one is dropped.
    while (!pending_.empty()) {
        notices.clear();
        if (rows_->write({pending_.front()}, &error, &notices)) {
            committed(1, notices);
            continue;
        }
        const WriteFailure alone = writeFailure(error);
        if (!alone.workAtFault) {
            close();
            recordFailure(alone.reason);
            return false;
        }
        qWarning("Histórico: registro descartado: %s", qUtf8Printable(alone.reason));
        queue_->addDropped(droppedCounts(pending_.front()));
        pending_.erase(pending_.begin());
    }
    return true;
}

void StoreWriter::committed(std::size_t calls, const QList<AlarmNotice> &notices)
{
    if (failure_) {
        failure_.reset();
        emit working();
    }
    for (const AlarmNotice &notice : notices)
        emit alarmChanged(notice);
    for (std::size_t i = 0; i < calls; ++i)
        emit written(pending_.at(i).sequence);
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(calls));
    writeDropped();
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
