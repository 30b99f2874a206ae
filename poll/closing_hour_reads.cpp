#include "poll/closing_hour_reads.h"

#include "closing/closing_day.h"
#include "store/history_reader.h"

#include <QHash>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// A suspended machine or a clock set by hand is noticed within this.
constexpr qint64 LongestSleepMs = 60 * 60 * 1000;

QDateTime nextClosing(const ClosingClock &clock, const QDateTime &after)
{
    return ClosingDay::containing(after, clock.hour, clock.zone).end();
}

} // namespace

ClosingRound nextClosingRound(const QList<ClosingClock> &clocks, const QDateTime &after)
{
    ClosingRound round;
    for (qsizetype i = 0; i < clocks.size(); ++i) {
        const QDateTime at = nextClosing(clocks.at(i), after);
        if (!round.at.isValid() || at < round.at)
            round = ClosingRound{at, {}};
        if (at == round.at)
            round.stations << int(i);
    }
    return round;
}

QTimeZone stationZone(const QString &ianaName)
{
    return ianaName.isEmpty() ? QTimeZone::systemTimeZone() : QTimeZone(ianaName.toUtf8());
}

ClosingHourReads::ClosingHourReads(const QList<StationPoll *> &polls, HistoryReader *reader, QObject *parent)
    : QObject(parent), polls_(polls), reader_(reader), timer_(new QTimer(this))
{
    for (const StationPoll *poll : polls_)
        clocks_ << ClosingClock{QTime(0, 0), stationZone(poll->station().timeZone)};
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &ClosingHourReads::wake);
    connect(reader_, &HistoryReader::closingHoursReady, this, &ClosingHourReads::onHours);
    connect(reader_, &HistoryReader::queryFailed, this, &ClosingHourReads::onFailed);
}

void ClosingHourReads::start()
{
    handledUntil_ = QDateTime::currentDateTimeUtc();
    ask();
}

void ClosingHourReads::ask()
{
    request_ = reader_->requestClosingHours();
}

void ClosingHourReads::onHours(int requestId, const QList<StationClosingHour> &hours)
{
    if (requestId != request_)
        return;
    failing_ = false;
    QHash<QString, QTime> byHost;
    for (const StationClosingHour &stored : hours)
        byHost.insert(stored.host, stored.closingHour);
    for (qsizetype i = 0; i < polls_.size(); ++i)
        clocks_[i].hour = byHost.value(stationIdentity(polls_.at(i)->station()).host, QTime(0, 0));
    arm();
}

void ClosingHourReads::onFailed(int requestId, const QString &reason)
{
    if (requestId != request_)
        return;
    // Said once while it lasts; the hours last read stay.
    if (!std::exchange(failing_, true))
        emit problem(QStringLiteral("horas de fechamento indisponíveis no histórico (%1): valem as últimas lidas, "
                                    "ou 00:00")
                         .arg(reason));
    arm();
}

void ClosingHourReads::arm()
{
    // A clock set back brings its closing hours round again.
    handledUntil_ = std::min(handledUntil_, QDateTime::currentDateTimeUtc());
    const ClosingRound next = nextClosingRound(clocks_, handledUntil_);
    if (!next.at.isValid())
        return;
    const qint64 waitMs = QDateTime::currentDateTimeUtc().msecsTo(next.at);
    timer_->start(int(std::clamp<qint64>(waitMs, 0, LongestSleepMs)));
}

void ClosingHourReads::wake()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Every station whose hour came since the last round, several days' worth after a suspension
    // included, is read once.
    QList<StationPoll *> reading;
    QList<QTime> hours;
    for (qsizetype i = 0; i < polls_.size(); ++i) {
        if (nextClosing(clocks_.at(i), handledUntil_) > now)
            continue;
        reading << polls_.at(i);
        if (!hours.contains(clocks_.at(i).hour))
            hours << clocks_.at(i).hour;
    }
    if (!reading.isEmpty()) {
        handledUntil_ = now;
        std::sort(hours.begin(), hours.end());
        emit due(reading, hours);
    }
    ask();
}
