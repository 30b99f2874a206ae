#include "simulator/simulator_session.h"

#include "protocol/control_codes.h"
#include "simulator/controller_responder.h"
#include "simulator/field_format.h"
#include "simulator/link_writer.h"
#include "simulator/reply_faults.h"
#include "simulator/reply_format.h"
#include "simulator/simulated_station.h"
#include "simulator/simulator_settings.h"

#include <QRandomGenerator>
#include <QTcpSocket>

SimulatorSession::SimulatorSession(QTcpSocket *socket, SimulatedStation &station, const SimulatorSettings &settings,
                                   QObject *parent)
    : QObject(parent), socket_(socket), station_(station), settings_(settings), writer_(new LinkWriter(socket, this))
{
    socket_->setParent(this);
    // Acknowledgements and chunks are single small writes that must not wait for company.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    ackTimer_.setSingleShot(true);

    connect(socket_, &QTcpSocket::readyRead, this, &SimulatorSession::readIncoming);
    connect(socket_, &QTcpSocket::disconnected, this, &SimulatorSession::finished);
    connect(writer_, &LinkWriter::frameWritten, this, &SimulatorSession::frameWritten);
    connect(&ackTimer_, &QTimer::timeout, this, [this] {
        replyInFlight_ = false;
        sendNextReply();
    });
}

QString SimulatorSession::peer() const
{
    return socket_->peerAddress().toString() + ':' + QString::number(socket_->peerPort());
}

void SimulatorSession::sendGarbage(int count)
{
    // A fixed seed makes a failure seen with garbage repeatable.
    QRandomGenerator generator(0x5EED);
    QByteArray garbage(count, Qt::Uninitialized);
    for (char &byte : garbage) {
        byte = char(generator.bounded(256));
        if (byte == zelta::ETX)
            byte = '?';
    }
    writer_->writeRaw(garbage);
}

void SimulatorSession::sendFlood(int count)
{
    for (int i = 0; i < count; ++i)
        writer_->writeFrame(frameReply(clockReply("LR", station_.clock.now())), false, 0);
}

void SimulatorSession::readIncoming()
{
    for (const RequestScanner::Event &event : scanner_.feed(socket_->readAll())) {
        if (event.kind != RequestScanner::Kind::Frame)
            acknowledgementReceived();
        else if (!handleFrame(event.frame))
            return;
    }
}

bool SimulatorSession::handleFrame(const QByteArray &frame)
{
    emit requestReceived(frame);
    ++framesReceived_;
    if (settings_.closeAfterFrames > 0 && framesReceived_ >= settings_.closeAfterFrames) {
        socket_->disconnectFromHost();
        return false;
    }
    if (settings_.silent)
        return true;

    const std::optional<zelta::Request> request =
        zelta::parseRequestFrame(std::string_view(frame.constData(), std::size_t(frame.size())));
    if (!request || settings_.nakRequests) {
        writer_->writeAcknowledgement(zelta::NAK);
        return true;
    }
    writer_->writeAcknowledgement(zelta::ACK);
    const QByteArray code = QByteArray::fromStdString(request->code);
    if (settings_.spoils(code) && settings_.replyFault == ReplyFault::Echo) {
        pendingReplies_.push_back(frame);
    } else if (settings_.spoils(code) && settings_.replyFault == ReplyFault::EndlessSeries && code == "MP") {
        const QDate asked = dateFromField(QByteArray::fromStdString(request->argument));
        endlessDate_ = asked.isValid() ? asked : station_.clock.now().date();
        endlessRecords_ = 0;
    } else {
        QList<QByteArray> bodies = answerRequest(station_, *request);
        if (settings_.spoils(code))
            bodies = spoiledReplies(settings_.replyFault, std::move(bodies));
        for (const QByteArray &body : std::as_const(bodies))
            pendingReplies_.push_back(frameReply(body));
    }
    sendNextReply();
    return true;
}

// The console never NAKs; either acknowledgement releases the next reply.
void SimulatorSession::acknowledgementReceived()
{
    if (!ackTimer_.isActive())
        return;
    ackTimer_.stop();
    replyInFlight_ = false;
    sendNextReply();
}

void SimulatorSession::sendNextReply()
{
    if (replyInFlight_)
        return;
    if (pendingReplies_.empty() && endlessDate_.isValid())
        pendingReplies_.push_back(frameReply(endlessRecord(endlessDate_, endlessRecords_++)));
    if (pendingReplies_.empty())
        return;
    QByteArray frame = pendingReplies_.front();
    pendingReplies_.pop_front();

    if (settings_.unterminatedFrame && !unterminatedSent_) {
        unterminatedSent_ = true;
        writer_->writeFrame(frame.chopped(2), false, settings_.replyDelayMs, settings_.chunkSize,
                            settings_.chunkIntervalMs);
    }
    if (settings_.wrongCheckByte)
        frame.back() = char(frame.back() ^ 0xFF);
    replyInFlight_ = true;
    writer_->writeFrame(frame, true, settings_.replyDelayMs, settings_.chunkSize, settings_.chunkIntervalMs);
}

void SimulatorSession::frameWritten(const QByteArray &frame, bool awaited)
{
    emit replySent(frame);
    if (awaited)
        ackTimer_.start(settings_.ackTimeoutMs);
}
