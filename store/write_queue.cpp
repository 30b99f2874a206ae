#include "store/write_queue.h"

#include <algorithm>

DroppedCounts &DroppedCounts::operator+=(const DroppedCounts &other)
{
    readings += other.readings;
    events += other.events;
    return *this;
}

DroppedCounts droppedCounts(const WriteJob &job)
{
    struct Count {
        DroppedCounts operator()(const MeasurementWork &) const { return {1, 0}; }
        DroppedCounts operator()(const InventoryWork &work) const { return {work.readings.size(), 0}; }
        DroppedCounts operator()(const SensorWork &) const { return {1, 0}; }
        DroppedCounts operator()(const ScheduledWork &work) const { return {work.readings.size(), 0}; }
        DroppedCounts operator()(const EventWork &) const { return {0, 1}; }
        DroppedCounts operator()(const ClockWork &) const { return {1, 0}; }
        DroppedCounts operator()(const PollOutcomeWork &work) const { return {0, work.succeeded ? 0 : 1}; }
    };
    return std::visit(Count{}, job.work);
}

WriteQueue::WriteQueue(int capacity) : capacity_(std::size_t(std::max(capacity, 1))) {}

quint64 WriteQueue::push(WriteJob &&job, bool *wake)
{
    std::lock_guard<std::mutex> lock(mutex_);
    job.sequence = ++lastSequence_;
    const quint64 sequence = job.sequence;
    if (jobs_.size() >= capacity_) {
        dropped_ += droppedCounts(jobs_.front());
        jobs_.pop_front();
    }
    jobs_.push_back(std::move(job));
    *wake = !writerAwake_;
    writerAwake_ = true;
    return sequence;
}

std::optional<WriteJob> WriteQueue::take()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (jobs_.empty()) {
        writerAwake_ = false;
        return std::nullopt;
    }
    WriteJob job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

std::size_t WriteQueue::size()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return jobs_.size();
}

DroppedCounts WriteQueue::takeDropped()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const DroppedCounts counts = dropped_;
    dropped_ = DroppedCounts{};
    return counts;
}

void WriteQueue::addDropped(const DroppedCounts &counts)
{
    std::lock_guard<std::mutex> lock(mutex_);
    dropped_ += counts;
}
