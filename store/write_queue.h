#pragma once

#include "store/write_job.h"

#include <deque>
#include <mutex>
#include <optional>

// The jobs between the callers and the writer thread, bounded: when it is full (writes failing
// for long), the oldest job is dropped and counted. Callers only ever wait for the mutex, which
// the writer holds just long enough to take one job.
class WriteQueue {
public:
    explicit WriteQueue(int capacity);

    // Adds the job under the next sequence number and returns it. `wake` is set when the writer
    // has to be told there is work (it said it found none since).
    quint64 push(WriteJob &&job, bool *wake);
    // The oldest job; nothing when empty, and then the next push wakes the writer.
    std::optional<WriteJob> take();
    // Jobs waiting; the one the writer is trying to write is no longer among them.
    std::size_t size();
    // What was dropped since the last call, and zero from now on.
    DroppedCounts takeDropped();
    // Counted by the writer: a job it could not write, or counts it could not record.
    void addDropped(const DroppedCounts &counts);

private:
    std::mutex mutex_;
    std::deque<WriteJob> jobs_;
    std::size_t capacity_;
    quint64 lastSequence_ = 0;
    bool writerAwake_ = false;
    DroppedCounts dropped_;
};
