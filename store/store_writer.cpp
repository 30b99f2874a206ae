#include "store/store_writer.h"

#include "store/row_writer.h"
#include "store/store_log.h"
#include "store/store_texts.h"
#include "store/write_failure.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// Calls written in one transaction when the writer has fallen behind: a commit (and on SQLite
// its fsync) per call would leave a fleet's round waiting for the disk long after it ended.
constexpr std::size_t LargestBatch = 256;

} // namespace

StoreWriter::StoreWriter(const DatabaseLocation &location, const WriteConnectionSettings &settings, int retryIntervalMs,
                         std::shared_ptr<WriteQueue> queue, std::shared_ptr<const WriteRules> rules,
                         std::shared_ptr<const ListedHosts> listed)
    : location_(location),
      connectionName_(QStringLiteral("comzelta-history-writer-%1").arg(quintptr(this), 0, 16)),
      settings_(settings),
      queue_(std::move(queue)),
      rules_(std::move(rules)),
      listed_(std::move(listed)),
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
        // The operator's line on the programs' stderr, as it has always read: no category before it.
        qWarning("%s", qUtf8Printable(unwrittenOnCloseText(lost, failure_.value_or(QString()))));
    close();
}

bool StoreWriter::ensureOpen()
{
    // A file removed (or a directory gone) under an open connection would take writes silently.
    if (rows_ && !location_.isPostgres() && !QFileInfo::exists(location_.filePath))
        close();
    if (rows_)
        return true;
    if (const Result<void, HistoryOpenProblem> opened = openForWriting(connectionName_, location_, settings_); !opened) {
        const QString reason = historyOpenProblemText(opened.error());
        if (opened.error().misconfigured())
            emit misconfigured(reason);
        recordFailure(reason);
        return false;
    }
    rows_ = std::make_unique<RowWriter>(connectionName_, rules_, listed_);
    return true;
}

bool StoreWriter::writePending()
{
    if (!ensureOpen())
        return false;
    const Result<QList<AlarmNotice>, QSqlError> written = rows_->write(pending_);
    if (written) {
        committed(pending_.size(), *written);
        return true;
    }
    const WriteFailure failure = writeFailure(written.error());
    if (!failure.workAtFault) {
        // Reopened on the next attempt, so a connection left in a bad state is not reused.
        close();
        recordFailure(writeFailureText(failure));
        return false;
    }
    // One call is at fault: each on its own, so that only that one is dropped.
    while (!pending_.empty()) {
        const Result<QList<AlarmNotice>, QSqlError> one = rows_->write({pending_.front()});
        if (one) {
            committed(1, *one);
            continue;
        }
        const WriteFailure alone = writeFailure(one.error());
        if (!alone.workAtFault) {
            close();
            recordFailure(writeFailureText(alone));
            return false;
        }
        qWarning("%s", qUtf8Printable(jobDroppedText(writeFailureText(alone))));
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
    const QString keptApart = eventKindText(EventKind::OfeConflict);
    for (const AlarmNotice &notice : notices) {
        if (notice.alarm == keptApart)
            emit ofeConflict(notice);
        else
            emit alarmChanged(notice);
    }
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
    if (!rows_->writeDropped(dropped, QDateTime::currentDateTimeUtc()))
        queue_->addDropped(dropped);
}

void StoreWriter::recordFailure(const QString &reason)
{
    qCInfo(lcStore).noquote() << writeRetryText(reason, retryTimer_->interval());
    if (failure_ != reason) {
        failure_ = reason;
        emit failing(reason);
    }
    if (!finishing_)
        retryTimer_->start();
}

void StoreWriter::close()
{
    // The connection first: its prepared statements end with its session on the server, so
    // dropped after it they ask nothing of a connection the server may already have cut.
    closeConnection(connectionName_);
    rows_.reset();
}
