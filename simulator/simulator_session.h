#pragma once

#include "simulator/request_scanner.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QTimer>
#include <deque>

class LinkWriter;
class QTcpSocket;
struct SimulatedStation;
struct SimulatorSettings;

// One console connected to the simulated controller: acknowledges its request frames, answers
// them one reply frame at a time, each after the console's ACK of the previous one (or after a
// time-out), and plays the faults the settings ask for.
class SimulatorSession : public QObject {
    Q_OBJECT

public:
    SimulatorSession(QTcpSocket *socket, SimulatedStation &station, const SimulatorSettings &settings,
                     QObject *parent = nullptr);

    QString peer() const;
    void sendGarbage(int count);
    // Clock replies back to back, without waiting for acknowledgements.
    void sendFlood(int count);

signals:
    void requestReceived(const QByteArray &frame);
    void replySent(const QByteArray &frame);
    void finished();

private:
    void readIncoming();
    // False when the connection was closed and nothing more is to be read.
    bool handleFrame(const QByteArray &frame);
    void acknowledgementReceived();
    void sendNextReply();
    void frameWritten(const QByteArray &frame, bool awaited);

    QTcpSocket *socket_;
    SimulatedStation &station_;
    const SimulatorSettings &settings_;
    LinkWriter *writer_;
    RequestScanner scanner_;
    std::deque<QByteArray> pendingReplies_;  // framed, not yet sent
    bool replyInFlight_ = false;             // a reply is out and its ACK awaited
    QTimer ackTimer_;                        // runs once that reply is written in full
    int framesReceived_ = 0;
    bool unterminatedSent_ = false;
    // While valid, an endless scheduled series for this date goes on: one record at a time, made
    // when the previous one is released, so it takes no memory however long it runs.
    QDate endlessDate_;
    quint32 endlessRecords_ = 0;
};
