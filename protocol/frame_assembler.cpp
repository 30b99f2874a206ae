#include "protocol/frame_assembler.h"

#include "protocol/bcc.h"
#include "protocol/control_codes.h"

namespace zelta {

namespace {

using Event = FrameAssembler::Event;

Event eventOf(Event::Kind kind)
{
    Event event{};
    event.kind = kind;
    return event;
}

Event discardedEvent(std::size_t count)
{
    Event event = eventOf(Event::Kind::Discarded);
    event.discarded = count;
    return event;
}

Event frameEvent(std::string frame)
{
    Event event = eventOf(Event::Kind::Frame);
    const std::string_view covered = std::string_view(frame).substr(1, frame.size() - 2);
    event.checkByteMatches = blockCheckCharacter(covered) == static_cast<unsigned char>(frame.back());
    event.frame = std::move(frame);
    return event;
}

} // namespace

std::vector<FrameAssembler::Event> FrameAssembler::feed(std::string_view bytes)
{
    std::vector<Event> events;
    for (const char byte : bytes) {
        // The check byte may take any value, so it is looked at before the control codes.
        if (state_ != State::CheckByte) {
            if (byte == ACK || byte == NAK) {
                endDiscardRun(events);
                events.push_back(eventOf(byte == ACK ? Event::Kind::Ack : Event::Kind::Nak));
                continue;
            }
            if (byte == STX) {
                endDiscardRun(events);
                if (state_ == State::InFrame)
                    events.push_back(discardedEvent(buffer_.size()));
                buffer_.assign(1, STX);
                state_ = State::InFrame;
                continue;
            }
            if (state_ == State::BetweenFrames || state_ == State::Discarding) {
                ++discardRun_;
                state_ = State::Discarding;
                continue;
            }
        }

        if (buffer_.size() == MaxBuffered) {
            discardRun_ = buffer_.size() + 1;
            buffer_.clear();
            state_ = State::Discarding;
            continue;
        }
        buffer_ += byte;
        if (state_ == State::CheckByte) {
            events.push_back(frameEvent(std::move(buffer_)));
            buffer_.clear();
            state_ = State::BetweenFrames;
        } else if (byte == ETX) {
            state_ = State::CheckByte;
        }
    }
    return events;
}

std::vector<FrameAssembler::Event> FrameAssembler::flush()
{
    std::vector<Event> events;
    endDiscardRun(events);
    return events;
}

void FrameAssembler::clear()
{
    state_ = State::BetweenFrames;
    buffer_.clear();
    discardRun_ = 0;
}

void FrameAssembler::endDiscardRun(std::vector<Event> &events)
{
    if (state_ != State::Discarding)
        return;
    events.push_back(discardedEvent(discardRun_));
    discardRun_ = 0;
    state_ = State::BetweenFrames;
}

} // namespace zelta
