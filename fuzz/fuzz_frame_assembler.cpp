// Received bytes through the frame assembler twice: in one read, and cut into reads chosen by the
// input itself. Both must give the same events; every byte must be accounted for; frames must be
// delimited as the link delimits them; and the receive ring must hand every frame of the cut run
// back in order.
//
// The input is the byte stream. The reads are chosen by a second pass over the same input, from
// its start, one byte per read: its low five bits give the length (0-31, so the capital letters
// stand for 1-26); from 0xC0 up the length is (low five bits + 1) x 100, reads past the bound;
// bit 0x20 (lower-case letters) has the ring's reader take a frame after the read. When that pass
// runs dry, the rest of the stream is one read. A corpus file can thus open with letters that both
// set the cuts and lead the stream as one dropped run.

#include "fuzz/byte_source.h"
#include "fuzz/fuzz_check.h"
#include "protocol/bcc.h"
#include "protocol/control_codes.h"
#include "protocol/frame_assembler.h"
#include "protocol/received_frame_ring.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

using zelta::FrameAssembler;
using zelta::ReceivedFrameRing;
using Event = FrameAssembler::Event;
using Kind = Event::Kind;

namespace {

// The ring, and the frames it must give back, oldest first.
class RingCheck {
public:
    void store(const std::string &frame)
    {
        if (ring_.push(frame)) {
            expected_.push_back(frame);
            return;
        }
        // Refused only when full; one take makes room again.
        FUZZ_CHECK(expected_.size() == ReceivedFrameRing::Capacity);
        FUZZ_CHECK(ring_.full());
        takeOne();
        FUZZ_CHECK(ring_.push(frame));
        expected_.push_back(frame);
    }

    void takeOne()
    {
        const std::string taken = ring_.take();
        if (expected_.empty()) {
            // Frames are never empty, so empty text can only mean an empty ring.
            FUZZ_CHECK(taken.empty());
            FUZZ_CHECK(ring_.empty());
            return;
        }
        FUZZ_CHECK(taken == expected_.front());
        expected_.pop_front();
        FUZZ_CHECK(ring_.size() == static_cast<int>(expected_.size()));
    }

    void drain()
    {
        while (!expected_.empty())
            takeOne();
        takeOne();
    }

private:
    ReceivedFrameRing ring_;
    std::deque<std::string> expected_;
};

bool steersTheLink(char byte)
{
    return byte == zelta::STX || byte == zelta::ETX || byte == zelta::ACK || byte == zelta::NAK;
}

// STX, a body free of the bytes that steer the link, ETX, any check byte; within the bound.
void checkFrame(const Event &event)
{
    const std::string &frame = event.frame;
    FUZZ_CHECK(frame.size() >= 3 && frame.size() <= FrameAssembler::MaxBuffered);
    FUZZ_CHECK(frame.front() == zelta::STX);
    FUZZ_CHECK(frame[frame.size() - 2] == zelta::ETX);
    for (std::size_t i = 1; i + 2 < frame.size(); ++i)
        FUZZ_CHECK(!steersTheLink(frame[i]));
    const std::string_view covered = std::string_view(frame).substr(1, frame.size() - 2);
    const int check = static_cast<unsigned char>(frame.back());
    FUZZ_CHECK(event.checkByteMatches == (zelta::blockCheckCharacter(covered) == check));
}

// Feeds reads and keeps every event, checking each and counting the bytes they account for.
class Run {
public:
    void feed(std::string_view read)
    {
        collect(assembler_.feed(read));
        FUZZ_CHECK(assembler_.buffered().size() <= FrameAssembler::MaxBuffered);
    }

    void finish(std::size_t streamSize)
    {
        collect(assembler_.flush());
        FUZZ_CHECK(accounted_ + assembler_.buffered().size() == streamSize);
    }

    const std::vector<Event> &events() const { return events_; }
    const std::string &buffered() const { return assembler_.buffered(); }

private:
    void collect(std::vector<Event> events)
    {
        for (Event &event : events) {
            switch (event.kind) {
            case Kind::Ack:
            case Kind::Nak:
                FUZZ_CHECK(event.frame.empty() && event.discarded == 0);
                ++accounted_;
                break;
            case Kind::Discarded:
                FUZZ_CHECK(event.frame.empty() && event.discarded > 0);
                accounted_ += event.discarded;
                break;
            case Kind::Frame:
                checkFrame(event);
                accounted_ += event.frame.size();
                break;
            }
            events_.push_back(std::move(event));
        }
    }

    FrameAssembler assembler_;
    std::vector<Event> events_;
    std::size_t accounted_ = 0;
};

bool sameEvent(const Event &a, const Event &b)
{
    return a.kind == b.kind && a.frame == b.frame && a.checkByteMatches == b.checkByteMatches
           && a.discarded == b.discarded;
}

struct ReadChoice {
    std::size_t length;
    bool takeAfter;
};

ReadChoice readChoice(std::uint8_t byte)
{
    const std::size_t low = byte & 0x1F;
    return {byte >= 0xC0 ? (low + 1) * 100 : low, (byte & 0x20) != 0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view stream(reinterpret_cast<const char *>(data), size);

    Run whole;
    whole.feed(stream);
    whole.finish(size);

    Run cut;
    RingCheck ring;
    ByteSource choices(data, size);
    std::string_view rest = stream;
    while (!rest.empty()) {
        const ReadChoice choice = choices.empty() ? ReadChoice{rest.size(), false} : readChoice(choices.byte());
        const std::size_t storedBefore = cut.events().size();
        cut.feed(rest.substr(0, choice.length));
        rest.remove_prefix(std::min(choice.length, rest.size()));
        for (std::size_t i = storedBefore; i < cut.events().size(); ++i) {
            if (cut.events()[i].kind == Kind::Frame)
                ring.store(cut.events()[i].frame);
        }
        if (choice.takeAfter)
            ring.takeOne();
    }
    cut.finish(size);
    ring.drain();

    FUZZ_CHECK(cut.events().size() == whole.events().size());
    for (std::size_t i = 0; i < cut.events().size(); ++i)
        FUZZ_CHECK(sameEvent(cut.events()[i], whole.events()[i]));
    FUZZ_CHECK(cut.buffered() == whole.buffered());
    return 0;
}
