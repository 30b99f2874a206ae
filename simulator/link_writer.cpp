#include "simulator/link_writer.h"

#include <QTcpSocket>

#include <algorithm>

LinkWriter::LinkWriter(QTcpSocket *socket, QObject *parent)
    : QObject(parent), socket_(socket)
{
    gapTimer_.setSingleShot(true);
    gapTimer_.setTimerType(Qt::PreciseTimer);
    connect(&gapTimer_, &QTimer::timeout, this, &LinkWriter::pump);
    sinceLastWrite_.start();
}

void LinkWriter::writeAcknowledgement(char byte)
{
    acknowledgements_.push_back(byte);
    pump();
}

void LinkWriter::writeFrame(const QByteArray &frame, bool awaited, int gapMs, int chunkSize, int chunkIntervalMs)
{
    const int step = chunkSize > 0 ? chunkSize : int(frame.size());
    for (int offset = 0; offset < frame.size(); offset += step) {
        Piece piece;
        piece.bytes = frame.mid(offset, step);
        piece.gapMs = offset == 0 ? gapMs : chunkIntervalMs;
        piece.opensFrame = offset == 0 && step < frame.size();
        if (offset + step >= frame.size()) {
            piece.completesFrame = true;
            piece.awaited = awaited;
            piece.frame = frame;
        }
        pieces_.push_back(piece);
    }
    pump();
}

void LinkWriter::writeRaw(const QByteArray &bytes)
{
    Piece piece;
    piece.bytes = bytes;
    pieces_.push_back(piece);
    pump();
}

void LinkWriter::pump()
{
    for (;;) {
        if (!insideFrame_ && !acknowledgements_.empty()) {
            send(QByteArray(1, acknowledgements_.front()));
            acknowledgements_.pop_front();
            continue;
        }
        if (pieces_.empty())
            break;
        const int wait = remainingGap(pieces_.front());
        if (wait > 0) {
            // An acknowledgement written meanwhile restarts the gap: the timer is always re-armed.
            gapTimer_.start(wait);
            return;
        }
        Piece piece = std::move(pieces_.front());
        pieces_.pop_front();
        send(piece.bytes);
        if (piece.opensFrame)
            insideFrame_ = true;
        if (piece.completesFrame) {
            insideFrame_ = false;
            emit frameWritten(piece.frame, piece.awaited);
        }
    }
    gapTimer_.stop();
}

void LinkWriter::send(const QByteArray &bytes)
{
    if (socket_->state() == QAbstractSocket::ConnectedState) {
        socket_->write(bytes);
        socket_->flush();
    }
    sinceLastWrite_.restart();
}

int LinkWriter::remainingGap(const Piece &piece) const
{
    return int(std::max<qint64>(0, piece.gapMs - sinceLastWrite_.elapsed()));
}
