#pragma once

#include "poll/station_poll.h"
#include "store/history_queries.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTime>
#include <QTimeZone>

class HistoryReader;
class QTimer;

// When one station's book day starts: its closing hour in its zone.
struct ClosingClock {
    QTime hour;
    QTimeZone zone;
};

// The soonest closing instant strictly after `after`, and the stations (indexes into `clocks`)
// whose day starts at it.
struct ClosingRound {
    QDateTime at;  // UTC; invalid when there are no clocks
    QList<int> stations;
};
ClosingRound nextClosingRound(const QList<ClosingClock> &clocks, const QDateTime &after);

// A fleet file's zone, or the PC's when it names none.
QTimeZone stationZone(const QString &ianaName);

// Asks for an inventory of every station right at its closing hour, so that the book's physical
// stock is read at the hour whatever the interval between rounds. The hours come from the history
// (00:00 for a station it does not know) and are read again at every wake-up, so that a closing
// hour changed meanwhile is taken up without a restart.
class ClosingHourReads : public QObject {
    Q_OBJECT
public:
    ClosingHourReads(const QList<StationPoll *> &polls, HistoryReader *reader, QObject *parent = nullptr);

    void start();

signals:
    // The stations whose closing hour has come, and those hours.
    void due(const QList<StationPoll *> &polls, const QList<QTime> &hours);
    // In Portuguese.
    void problem(const QString &text);

private:
    void ask();
    void onHours(int requestId, const QList<StationClosingHour> &hours);
    void onFailed(int requestId, const QString &reason);
    void arm();
    void wake();

    QList<StationPoll *> polls_;
    QList<ClosingClock> clocks_;  // one per poll
    HistoryReader *reader_;
    QTimer *timer_;
    int request_ = 0;
    bool failing_ = false;
    QDateTime handledUntil_;  // closing instants up to here have had their round
};
