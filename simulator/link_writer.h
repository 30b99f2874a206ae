#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>

class QTcpSocket;

// Writes to one connection in order, keeping the gaps a controller keeps on the line.
//
// A reply frame waits for its gap after the last byte written, whatever that byte was;
// acknowledgements go out at once, jumping any frame still waiting for its gap, but never into
// the middle of a frame whose first chunk has already gone out.
class LinkWriter : public QObject {
    Q_OBJECT

public:
    explicit LinkWriter(QTcpSocket *socket, QObject *parent = nullptr);

    void writeAcknowledgement(char byte);
    // Queues a frame to go out gapMs after the previous write, cut into chunks of chunkSize bytes
    // (0: whole) written chunkIntervalMs apart. frameWritten repeats `awaited` for it.
    void writeFrame(const QByteArray &frame, bool awaited, int gapMs, int chunkSize = 0, int chunkIntervalMs = 0);
    // Bytes that are not a frame, queued behind what is already waiting.
    void writeRaw(const QByteArray &bytes);

signals:
    // May come before writeFrame returns.
    void frameWritten(const QByteArray &frame, bool awaited);

private:
    struct Piece {
        QByteArray bytes;
        int gapMs = 0;
        bool opensFrame = false;     // a multi-piece frame starts with it
        bool completesFrame = false;
        bool awaited = false;
        QByteArray frame;            // the whole frame, on the piece that completes it
    };

    void pump();
    void send(const QByteArray &bytes);
    int remainingGap(const Piece &piece) const;

    QTcpSocket *socket_;
    std::deque<Piece> pieces_;
    std::deque<char> acknowledgements_;
    bool insideFrame_ = false;
    QElapsedTimer sinceLastWrite_;
    QTimer gapTimer_;
};
