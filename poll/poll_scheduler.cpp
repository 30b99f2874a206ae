#include "poll/poll_scheduler.h"

#include "poll/station_poll.h"
#include "store/station_locks.h"

#include <QTimer>

namespace {

QString controllerOf(const StationPoll *poll)
{
    return historyHost(poll->station().address);
}

} // namespace

PollScheduler::PollScheduler(const QList<StationPoll *> &polls, int parallel, StationLocks *locks, QObject *parent)
    : QObject(parent), polls_(polls), parallel_(parallel), locks_(locks), timer_(new QTimer(this))
{
    connect(timer_, &QTimer::timeout, this, &PollScheduler::runRound);
    for (StationPoll *poll : polls_) {
        connect(poll, &StationPoll::finished, this,
                [this, poll](bool succeeded, const QString &detail) { onFinished(poll, succeeded, detail); });
        connect(poll, &StationPoll::stopped, this, [this, poll] { onStopped(poll, true); });
        connect(poll, &StationPoll::retrying, this, &PollScheduler::note);
    }
}

void PollScheduler::runRound()
{
    startRound(polls_, false);
}

void PollScheduler::runClosingRound(const QList<StationPoll *> &polls)
{
    startRound(polls, true);
}

void PollScheduler::startRound(const QList<StationPoll *> &polls, bool closingHour)
{
    if (stopping_)
        return;
    const int number = ++rounds_;
    Round &round = open_[number];
    round.summary.number = number;
    round.summary.startedAt = QDateTime::currentDateTimeUtc();
    round.clock.start();
    for (StationPoll *poll : polls) {
        if (roundOf_.contains(poll)) {
            round.summary.skipped << poll->station().description;
            emit note(QStringLiteral("%1: ainda ocupado com a rodada %2, fica fora da rodada %3%4")
                          .arg(poll->station().description)
                          .arg(roundOf_.value(poll))
                          .arg(number)
                          .arg(closingHour ? QStringLiteral(" (o inventário da rodada %1 vale para o fechamento)")
                                                 .arg(roundOf_.value(poll))
                                           : QString()));
            continue;
        }
        roundOf_.insert(poll, number);
        waiting_.push_back(poll);
        ++round.summary.stations;
    }
    if (round.summary.stations == 0) {
        endRound(number, false);
        return;
    }
    emit progress(0, round.summary.stations, 0);
    startWaiting();
}

void PollScheduler::runEvery(int intervalMs)
{
    timer_->start(intervalMs);
    runRound();
}

void PollScheduler::stop()
{
    if (stopping_)
        return;
    stopping_ = true;
    timer_->stop();
    for (StationPoll *poll : waiting_)
        roundOf_.remove(poll);
    waiting_.clear();
    if (running_.isEmpty()) {
        // Told from the event loop, as when polls had to be stopped first.
        QMetaObject::invokeMethod(this, &PollScheduler::finishStopping, Qt::QueuedConnection);
        return;
    }
    for (StationPoll *poll : QSet<StationPoll *>(running_))
        poll->stop();
}

void PollScheduler::startWaiting()
{
    while (!stopping_ && !waiting_.empty() && (parallel_ <= 0 || running_.size() < parallel_)) {
        StationPoll *poll = waiting_.front();
        waiting_.pop_front();
        running_.insert(poll);
        if (locks_)
            locks_->claim(controllerOf(poll), this, [this, poll](bool granted) { onClaimed(poll, granted); });
        else
            poll->start();
    }
}

void PollScheduler::onClaimed(StationPoll *poll, bool granted)
{
    if (stopping_) {
        onStopped(poll, granted);
        return;
    }
    if (granted) {
        poll->start();
        return;
    }
    running_.remove(poll);
    const int number = roundOf_.take(poll);
    open_.at(number).summary.heldElsewhere << poll->station().description;
    emit note(QStringLiteral("%1: em leitura por outro coletor, fica fora da rodada %2")
                  .arg(poll->station().description)
                  .arg(number));
    countDone(number);
    startWaiting();
}

void PollScheduler::onFinished(StationPoll *poll, bool succeeded, const QString &detail)
{
    running_.remove(poll);
    if (locks_)
        locks_->release(controllerOf(poll));
    const int number = roundOf_.take(poll);
    RoundSummary &summary = open_.at(number).summary;
    if (succeeded)
        ++summary.read;
    else
        summary.failed << poll->station().description;
    emit stationFinished(poll->station().description, succeeded, detail);
    countDone(number);
    if (stopping_ && running_.isEmpty())
        finishStopping();
    startWaiting();
}

void PollScheduler::countDone(int number)
{
    Round &round = open_.at(number);
    ++round.done;
    emit progress(round.done, round.summary.stations, int(round.summary.failed.size()));
    if (round.done == round.summary.stations)
        endRound(number, false);
}

void PollScheduler::onStopped(StationPoll *poll, bool claimed)
{
    if (locks_ && claimed)
        locks_->release(controllerOf(poll));
    running_.remove(poll);
    roundOf_.remove(poll);
    if (running_.isEmpty())
        finishStopping();
}

void PollScheduler::finishStopping()
{
    while (!open_.empty())
        endRound(open_.begin()->first, true);
    emit stopped();
}

void PollScheduler::endRound(int number, bool interrupted)
{
    const auto found = open_.find(number);
    RoundSummary summary = found->second.summary;
    summary.elapsedMs = found->second.clock.elapsed();
    summary.interrupted = interrupted;
    open_.erase(found);
    emit roundFinished(summary);
}
