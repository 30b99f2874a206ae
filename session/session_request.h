#pragma once

#include "session/readings.h"
#include "session/reply_check.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

// One request of a program to the controller, and what came of it. Owned by its session; it
// emits finished() once and is deleted later by the session, so keep no pointer past that.
class SessionRequest : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Pending,
        Replied,         // every reply of the request arrived (an "SL" answer is an empty series)
        ErrorReply,      // the controller answered with an error reply; see error()
        WrongAddress,    // opening the dialogue: the controller is not "A01"
        TimedOut,        // no reply within the timeout
        NotConnected,    // the socket was not connected when the request was due
        Dropped,         // still queued when the station changed or the dialogue closed
        ConnectionLost,  // the connection failed or was closed while waiting
        Unusable,        // a reply could not be used (see rejected()); a series keeps its usable replies
    };
    Q_ENUM(Outcome)

    // How the replies of a request end.
    enum class Replies {
        None,        // "ID02": done once written
        One,         // one reply of the request's code
        TankSeries,  // "MA": one reply per tank, error replies included
        Scheduled,   // "MP": until the reply without SOH; "SL" is an empty series
    };

    SessionRequest(const QByteArray &body, Replies replies, int timeoutMs, QObject *parent);

    const QByteArray &body() const { return body_; }
    QByteArray code() const { return body_.left(2).toUpper(); }
    Replies replies() const { return replies_; }
    int timeoutMs() const { return timeoutMs_; }

    Outcome outcome() const { return outcome_; }
    // Every usable reply frame of the request, in order, exactly as received.
    const QList<QByteArray> &frames() const { return frames_; }
    // The replies that could not be used, in order; the first is what the request failed on.
    const QList<RejectedReply> &rejected() const { return rejected_; }
    // The place of frames().at(index) among all the replies of the request, the rejected ones
    // included: in an "MA" series, the tank an error reply answers for is its place + 1.
    int replyPosition(int index) const;
    // The error reply that ended a request, or an "SL" answer to "MP".
    const std::optional<ErrorReply> &error() const { return error_; }
    // Set by the dialogue opening: the identification the controller gave.
    const std::optional<IdentificationReading> &identification() const { return identification_; }
    // How it ended, in Portuguese, when it did not get its replies ("sem resposta em 10 s");
    // empty while pending and once replied.
    QString errorString() const;

signals:
    void finished();

private:
    friend class ControllerSession;

    QByteArray body_;
    Replies replies_;
    int timeoutMs_;
    Outcome outcome_ = Outcome::Pending;
    QList<QByteArray> frames_;
    QList<RejectedReply> rejected_;
    std::optional<ErrorReply> error_;
    std::optional<IdentificationReading> identification_;
    int expectedFrames_ = 0;  // TankSeries: the tank count when it was sent
    QByteArray awaitedCode_;  // the reply code that settles it next ("ID", then "CF" when opening)
    QElapsedTimer sent_;      // since it was written: a series has a bound of its own
};
