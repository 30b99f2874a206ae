// Received bytes, cut into chunks by the input itself, through the frame assembler and into the
// receive ring: the accumulation stays bounded, every byte fed is accounted for, frames end the
// way the link delimits them, and the ring hands every stored frame back in order.

#include "fuzz/byte_source.h"
#include "fuzz/fuzz_check.h"
#include "protocol/control_codes.h"
#include "protocol/frame_assembler.h"
#include "protocol/receive_ring.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

using zelta::FrameAssembler;
using zelta::ReceiveRing;
using Kind = FrameAssembler::Kind;

namespace {

constexpr std::size_t MaxBuffered = FrameAssembler::MaxBuffered;

// ETX next-to-last, or the only byte of a one-byte accumulation.
bool delimitsFrame(std::string_view bytes)
{
    if (bytes.empty())
        return false;
    return bytes[bytes.size() == 1 ? 0 : bytes.size() - 2] == zelta::ETX;
}

bool isAcknowledgement(std::string_view chunk)
{
    return chunk.size() == 1 && (chunk[0] == zelta::ACK || chunk[0] == zelta::NAK);
}

// The ring, and the frames it must give back, oldest first.
class RingCheck {
public:
    void store(const std::string &frame)
    {
        if (ring_.Armazena(frame)) {
            expected_.push_back(frame);
            return;
        }
        // Refused only when full; one take makes room again.
        FUZZ_CHECK(expected_.size() == ReceiveRing::Slots - 1);
        FUZZ_CHECK(ring_.size() == ReceiveRing::Slots - 1);
        takeOne();
        FUZZ_CHECK(ring_.Armazena(frame));
        expected_.push_back(frame);
    }

    void takeOne()
    {
        const std::string taken = ring_.Apanha();
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
    ReceiveRing ring_;
    std::deque<std::string> expected_;
};

// Feeds chunks and checks each result against the bytes fed so far.
class AssemblerCheck {
public:
    explicit AssemblerCheck(RingCheck &ring) : ring_(ring) {}

    void feed(std::string_view chunk)
    {
        const std::string before = assembler_.buffered();
        const FrameAssembler::Result result = assembler_.feed(chunk);

        if (isAcknowledgement(chunk)) {
            FUZZ_CHECK(result.kind == (chunk[0] == zelta::ACK ? Kind::Ack : Kind::Nak));
            FUZZ_CHECK(result.frame.empty() && result.discarded == 0);
            FUZZ_CHECK(assembler_.buffered() == before);
            return;
        }
        FUZZ_CHECK(result.kind == Kind::Incomplete || result.kind == Kind::Frame);

        // What the link holds after this chunk: the latest bytes, up to the bound.
        std::string held = before;
        held += chunk;
        const std::size_t over = held.size() > MaxBuffered ? held.size() - MaxBuffered : 0;
        FUZZ_CHECK(result.discarded == over);
        held.erase(0, over);

        FUZZ_CHECK((result.kind == Kind::Frame) == delimitsFrame(held));
        if (result.kind == Kind::Frame) {
            FUZZ_CHECK(result.frame == held);
            FUZZ_CHECK(assembler_.buffered().empty());
            framed_ += result.frame.size();
            ring_.store(result.frame);
        } else {
            FUZZ_CHECK(result.frame.empty());
            FUZZ_CHECK(assembler_.buffered() == held);
        }

        fed_ += chunk.size();
        discarded_ += result.discarded;
        FUZZ_CHECK(assembler_.buffered().size() <= MaxBuffered);
        FUZZ_CHECK(discarded_ + framed_ + assembler_.buffered().size() == fed_);
    }

private:
    FrameAssembler assembler_;
    RingCheck &ring_;
    std::size_t fed_ = 0;        // bytes of every chunk that was not an acknowledgement
    std::size_t framed_ = 0;     // bytes handed out in frames
    std::size_t discarded_ = 0;  // bytes dropped to keep the bound
};

// One header byte per chunk. Its upper seven bits give the length, the highest values standing
// for chunks past the bound; its low bit has the reader take a frame after the chunk, so the ring
// meets both a keen and a lagging reader.
struct ChunkHeader {
    std::size_t length;
    bool takeAfter;
};

ChunkHeader chunkHeader(std::uint8_t header)
{
    constexpr std::size_t LongestShort = 119;
    constexpr std::size_t LongStep = 300;
    const std::size_t code = header >> 1;
    return {code <= LongestShort ? code : (code - LongestShort) * LongStep, (header & 1) != 0};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        RingCheck ring;
        AssemblerCheck whole(ring);
        whole.feed(std::string_view(reinterpret_cast<const char *>(data), size));
        ring.drain();
    }

    RingCheck ring;
    AssemblerCheck chunked(ring);
    ByteSource source(data, size);
    while (!source.empty()) {
        const ChunkHeader header = chunkHeader(source.byte());
        chunked.feed(source.take(header.length));
        if (header.takeAfter)
            ring.takeOne();
    }
    ring.drain();
    return 0;
}
