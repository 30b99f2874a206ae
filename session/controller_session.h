#pragma once

#include "protocol/frame_assembler.h"
#include "protocol/received_frame_ring.h"
#include "session/readings.h"
#include "session/session_request.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>

class QTcpSocket;
class QTimer;
class LinkStateTracker;

// One connection to one controller: the socket and its link state, the link (framing,
// acknowledgement, the receive ring), the pacing of transmissions, the keep-alive, the log lines
// and the typed readings. It runs on the event loop of its thread and never blocks it; many
// sessions share one thread, so no timer of its own ticks while nothing happens.
class ControllerSession : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 4001;
    static constexpr int DefaultPauseMs = 100;  // Tempo_Espera: least gap between transmissions
    static constexpr int DefaultTimeoutMs = 10000;
    static constexpr int NoConnectTimeout = 0;  // wait for the system to give up
    static constexpr const char *ExpectedAddress = "A01";
    // ACKs waiting for their pause; a longest series (16 tanks) fits.
    static constexpr int MaxQueuedAcks = 16;

    // The link as the operator sees it. Qt forgets a refused connection or a peer's close as soon
    // as the socket is unconnected; the link remembers them until the session closes or connects.
    enum class LinkState {
        Closed,
        LookingUpHost,
        Connecting,
        Connected,
        Closing,  // the socket is closing, or the controller closed the connection
        Failed,   // the connection could not be made, or failed; errorString() says why
    };
    Q_ENUM(LinkState)

    explicit ControllerSession(QObject *parent = nullptr);
    ~ControllerSession() override;

    // Closes any connection (dropping what is still queued for it) and connects to this one. A
    // connection not made within connectTimeoutMs fails with QAbstractSocket::SocketTimeoutError.
    void connectTo(const QString &host, quint16 port = DefaultPort, int connectTimeoutMs = NoConnectTimeout);
    // Drops what is queued and closes at once; nothing more is sent.
    void abort();

    // Sends "ID01"; an identification reply from "A01" then gets "CF" with the password. The
    // request finishes at the configuration reply, or with WrongAddress. Each of the two replies
    // has timeoutMs, as for any request.
    SessionRequest *openDialogue(const QByteArray &password, int timeoutMs = DefaultTimeoutMs);
    // Drops what is queued, sends "ID02", and closes once it is written; then dialogueEnded().
    // Without a connection, closes at once and sends nothing.
    void endDialogue();

    // Queues a request body (not framed). Its replies are collected as the code says.
    SessionRequest *request(const QByteArray &body, int timeoutMs = DefaultTimeoutMs);
    // The keep-alive pair, unframed and never logged; only while connected.
    void sendKeepAlive();

    LinkState linkState() const;
    // Why the connection last failed or was closed by the controller, in Portuguese; empty after a
    // close of this side's own or a new connectTo().
    QString errorString() const;
    QString peerAddress() const;
    bool isConnected() const;
    // The password given to openDialogue, for "AR".
    const QByteArray &password() const { return password_; }
    // From the last configuration reply.
    int tankCount() const { return tankCount_; }
    int sensorCount() const { return sensorCount_; }

    void setPauseMs(int ms) { pauseMs_ = ms; }
    int pauseMs() const { return pauseMs_; }

    // The link's internals, for tests.
    const zelta::FrameAssembler &assembler() const { return assembler_; }
    const zelta::ReceivedFrameRing &ring() const { return ring_; }

signals:
    // A line of the communication log, exact bytes, control characters included.
    void logLine(const QByteArray &line);

    void connected();
    void linkStateChanged(ControllerSession::LinkState state);
    // Reported as it happens: the connection could not be made, failed, or the peer closed it.
    // errorString() says why in Portuguese.
    void connectionFailed(QAbstractSocket::SocketError error);
    void peerClosed();
    void dialogueEnded();

    // Typed readings, emitted as each stored frame is interpreted.
    void measurementRead(const MeasurementReading &reading);
    void clockRead(const ClockReading &reading);
    void sensorsRead(const SensorReading &reading);
    void configurationRead(const ConfigurationReading &reading);
    void identificationRead(const IdentificationReading &reading);
    void scheduledRead(const ScheduledReading &reading);
    void errorReplied(const ErrorReply &reply);
    // After the typed signal of a frame (or alone, for a code no handler knows).
    void frameInterpreted(const QByteArray &frame);
    // The check byte of a received frame did not match; the frame is interpreted all the same.
    void checkByteMismatch(const QByteArray &frame);
    // A frame that cannot be used (reply_check.h): no typed signal follows it, only
    // frameInterpreted.
    void replyRejected(const RejectedReply &rejected);

private:
    struct Outgoing {
        QByteArray bytes;  // as written on the wire
        SessionRequest *request = nullptr;
        bool closeAfter = false;
        bool opensConfiguration = false;  // the opening's "CF": its reply is awaited from here
    };

    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onConnectTimeout();
    void updateLinkState();
    // Closed by this side: whatever the link was is forgotten.
    void forgetLink();
    void postInterpretation();
    void interpretStored();
    void interpret(const QByteArray &frame);
    ReplyContext contextFor(const QByteArray &frame) const;
    void reject(const QByteArray &frame, ReplyProblem problem);
    void answerIdentification(const IdentificationReading &reading);
    void settleRequests(const QByteArray &frame);
    static bool seriesComplete(const SessionRequest &series);

    void acknowledge();
    void enqueue(Outgoing item, bool ahead);
    void pump();
    void transmit(const Outgoing &item);
    void closeAfterDialogue();
    void restartReplyTimer();
    void onReplyTimeout();
    void finish(SessionRequest *request, SessionRequest::Outcome outcome);
    enum class KeepAcks { No, Yes };
    void dropQueued(SessionRequest::Outcome outcome, KeepAcks keepAcks = KeepAcks::No);
    void failWaiting(SessionRequest::Outcome outcome);
    void logDiscarded(std::size_t count);
    void logBytes(const std::string &line);

    QTcpSocket *socket_ = nullptr;
    std::unique_ptr<LinkStateTracker> linkTracker_;
    LinkState linkState_ = LinkState::Closed;  // as last emitted
    QAbstractSocket::SocketError connectionError_ = QAbstractSocket::UnknownSocketError;
    QTimer *connectTimer_ = nullptr;  // single shot, started only while connecting
    int connectTimeoutMs_ = NoConnectTimeout;
    QTimer *pacer_ = nullptr;       // single shot, started only while something waits to go out
    QTimer *replyTimer_ = nullptr;  // single shot, started only while a reply is awaited
    QElapsedTimer sinceTransmission_;
    int pauseMs_ = DefaultPauseMs;

    zelta::FrameAssembler assembler_;
    zelta::ReceivedFrameRing ring_;
    bool interpretPosted_ = false;
    quint64 generation_ = 0;  // counts closes, so a read cut short by one is not carried on

    QByteArray lastTransmitted_;  // the last request frame written, to tell an echo
    std::deque<Outgoing> outgoing_;
    std::deque<SessionRequest *> waiting_;  // sent, replies not all in yet, oldest first
    SessionRequest *opening_ = nullptr;     // the dialogue opening, until its CF reply
    QByteArray password_;
    int tankCount_ = 0;
    int sensorCount_ = 0;
};
