#pragma once

#include "poll/polled_station.h"
#include "session/session_request.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class ControllerSession;
class HistoryStore;
class SessionKeeper;
class QTimer;

struct PollTiming {
    int connectTimeoutMs = 5000;
    int replyTimeoutMs = 10000;
    int retries = 2;
    int backoffMs = 2000;  // before the first retry; doubled for each further one
};

// One station's round: connect; "ID01" (the session answers "A01" with "CF" and the password);
// "MA" for every tank; "LS"; "LR"; "ID02"; close. A failed attempt closes the connection (with
// "ID02" while it is up) and is tried again after a back-off, going on from the step that failed;
// when the retries are spent the station is recorded as out of communication. Everything read is
// handed to the history store as it comes. Driven by the session's signals and timers only.
class StationPoll : public QObject {
    Q_OBJECT
public:
    StationPoll(const PolledStation &station, const QByteArray &password, const PollTiming &timing,
                HistoryStore *store, QObject *parent = nullptr);

    const PolledStation &station() const { return station_; }
    ControllerSession *session() const { return session_; }
    // From start() until finished() or stopped().
    bool busy() const { return step_ != Step::Idle; }
    // The sequence number of the last write this station handed to the store.
    quint64 lastWrite() const;

    void start();
    // Ends the round now, recording no outcome: "ID02" where a dialogue is open, then close.
    // stopped() follows once the connection is closed.
    void stop();

signals:
    // The outcome, after it was handed to the store; `detail` in Portuguese.
    void finished(bool succeeded, const QString &detail);
    void stopped();
    // A failed attempt that will be tried again, in Portuguese.
    void retrying(const QString &note);

private:
    enum class Step { Idle, Connecting, Opening, Inventory, Sensors, Clock, Closing, BackingOff };
    static constexpr int Readings = 3;  // MA, LS, LR

    void beginAttempt();
    void onConnected();
    void onConnectionProblem(QAbstractSocket::SocketError error);
    void onOpened(SessionRequest *request);
    void readNext();
    void onRead(SessionRequest *request);
    void fail(const QString &reason, bool worthRetrying);
    void closeThen();
    void onDialogueEnded();
    void afterAttempt();
    void finish(bool succeeded, const QString &detail);

    // Why a request failed; notes a connection lost, for the socket's reason to be added.
    QString requestProblem(const SessionRequest &request, const QString &step);
    QString successDetail() const;

    PolledStation station_;
    QByteArray password_;
    PollTiming timing_;
    ControllerSession *session_;
    HistoryStore *store_;
    SessionKeeper *keeper_;
    QTimer *backoffTimer_;
    QTimer *closeTimer_;

    Step step_ = Step::Idle;
    QPointer<SessionRequest> current_;
    int attempt_ = 0;
    int readingsDone_ = 0;      // of MA, LS, LR, in that order; kept across attempts
    QString failure_;           // the attempt's failure; empty while it goes well
    bool worthRetrying_ = true;
    bool stopping_ = false;
    QString connectionProblem_;  // the socket's last word, for a request cut short by it
    bool lostConnection_ = false;

    int tanksRead_ = 0;
    bool readingKept_ = false;  // a measurement or sensor reading the store keeps as such
    int errorReplies_ = 0;
    quint64 outcomeWrite_ = 0;
    std::optional<qint64> clockOffsetSeconds_;  // the controller's clock minus the PC's
};
