#include "simulator/request_scanner.h"

#include "protocol/control_codes.h"

std::vector<RequestScanner::Event> RequestScanner::feed(const QByteArray &bytes)
{
    std::vector<Event> events;
    for (const char byte : bytes) {
        if (frame_.isEmpty()) {
            scanOutsideFrame(byte, events);
            continue;
        }
        if (awaitingCheck_) {
            frame_ += byte;
            events.push_back({Kind::Frame, frame_});
            frame_.clear();
            awaitingCheck_ = false;
            continue;
        }
        if (byte == zelta::STX) {
            frame_ = QByteArray(1, byte);
            continue;
        }
        frame_ += byte;
        awaitingCheck_ = byte == zelta::ETX;
        if (frame_.size() >= MaxFrameSize) {
            frame_.clear();
            awaitingCheck_ = false;
        }
    }
    return events;
}

void RequestScanner::scanOutsideFrame(char byte, std::vector<Event> &events)
{
    const bool completesKeepAlive = afterIac_ && byte == zelta::KeepAlive[1];
    afterIac_ = byte == zelta::KeepAlive[0];
    if (completesKeepAlive)
        return;
    if (byte == zelta::STX)
        frame_ = QByteArray(1, byte);
    else if (byte == zelta::ACK)
        events.push_back({Kind::Ack, {}});
    else if (byte == zelta::NAK)
        events.push_back({Kind::Nak, {}});
}
