#pragma once

#include "store/history_file.h"
#include "store/store_types.h"
#include "store/write_queue.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class ListedHosts;
class QTimer;
class RowWriter;
class WriteRules;
struct WriteFailure;

// The writer thread's side of a HistoryStore: owns the connection (opened, and reopened after a
// failure, on this thread), takes the jobs waiting in the queue (up to a bound) and writes them in
// one transaction. While writes fail it holds the jobs it could not write and tries again on a
// timer; the queue keeps filling meanwhile, up to its bound.
class StoreWriter : public QObject {
    Q_OBJECT
public:
    StoreWriter(const DatabaseLocation &location, const WriteConnectionSettings &settings, int retryIntervalMs,
                std::shared_ptr<WriteQueue> queue, std::shared_ptr<const WriteRules> rules,
                std::shared_ptr<const ListedHosts> listed);
    ~StoreWriter() override;

    // Writes what is queued, until the queue is empty or a write fails.
    void drain();
    // Writes what is queued with one attempt, then closes: what still fails is counted lost.
    void finish();

signals:
    void written(quint64 sequence);
    void alarmChanged(const AlarmNotice &notice);  // after the commit of the job that decided it
    void ofeConflict(const AlarmNotice &notice);   // after the commit that kept a station apart
    void failing(const QString &reason);  // on the first failure, and when the reason changes
    void working();                       // after a failure, the first write that succeeds
    void misconfigured(const QString &reason);  // the history cannot be opened as given: waiting will not help

private:
    bool ensureOpen();
    bool writePending();
    // The first `calls` pending calls are committed: told, with the alarms they decided.
    void committed(std::size_t calls, const QList<AlarmNotice> &notices);
    void writeDropped();
    void recordFailure(const QString &reason);
    void close();

    DatabaseLocation location_;
    QString connectionName_;
    WriteConnectionSettings settings_;
    std::shared_ptr<WriteQueue> queue_;
    std::shared_ptr<const WriteRules> rules_;
    std::shared_ptr<const ListedHosts> listed_;
    QTimer *retryTimer_;
    std::unique_ptr<RowWriter> rows_;  // while the connection is open
    std::vector<WriteJob> pending_;    // taken from the queue, not written yet, oldest first
    std::optional<QString> failure_;   // the reason, while writes fail
    bool finishing_ = false;
};
