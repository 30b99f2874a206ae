#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <deque>
#include <map>

class QTimer;
class StationLocks;
class StationPoll;

struct RoundSummary {
    int number = 0;
    QDateTime startedAt;  // UTC
    qint64 elapsedMs = 0;
    int stations = 0;     // taken into the round
    int read = 0;
    QStringList failed;   // descriptions
    QStringList skipped;  // still busy with an earlier round
    QStringList heldElsewhere;  // being read by another poller of the same history
    bool interrupted = false;
};

// Rounds over every station: a station's poll never overlaps itself, so one still busy (or still
// waiting for its turn) when a round begins stays out of it. At most `parallel` polls run at once,
// all on this thread's event loop. With `locks`, a station is dialled only once its claim is
// granted, and one that another poller holds is left to it for this round.
class PollScheduler : public QObject {
    Q_OBJECT
public:
    // `parallel` 0: every station at once.
    PollScheduler(const QList<StationPoll *> &polls, int parallel, StationLocks *locks = nullptr,
                  QObject *parent = nullptr);

    void runRound();
    // A round of these of the scheduler's stations only, for their closing hour: one busy in
    // another round is reading its inventory already, and is left to it.
    void runClosingRound(const QList<StationPoll *> &polls);
    // A round now, and another at each interval.
    void runEvery(int intervalMs);
    // No more rounds; the stations waiting for their turn are dropped and the polls in progress
    // stopped. stopped() once none runs.
    void stop();

signals:
    void stationFinished(const QString &description, bool succeeded, const QString &detail);
    // Of the round a station just finished in.
    void progress(int done, int total, int failed);
    void note(const QString &text);
    void roundFinished(const RoundSummary &summary);
    void stopped();

private:
    struct Round {
        RoundSummary summary;
        QElapsedTimer clock;
        int done = 0;
    };

    void startRound(const QList<StationPoll *> &polls, bool closingHour);
    void startWaiting();
    void onClaimed(StationPoll *poll, bool granted);
    void onFinished(StationPoll *poll, bool succeeded, const QString &detail);
    // One more station done in the round, which ends with its last one.
    void countDone(int number);
    void onStopped(StationPoll *poll, bool claimed);
    void finishStopping();
    void endRound(int number, bool interrupted);

    QList<StationPoll *> polls_;
    int parallel_;
    StationLocks *locks_;
    QTimer *timer_;
    int rounds_ = 0;
    std::map<int, Round> open_;        // rounds with stations still to finish
    QHash<StationPoll *, int> roundOf_;  // waiting or running
    std::deque<StationPoll *> waiting_;
    QSet<StationPoll *> running_;   // claiming, or polling
    bool stopping_ = false;
};
