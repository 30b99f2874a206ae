#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelta {

// Accumulates received chunks into frames, the way the console's link delimits them:
// a chunk of exactly one ACK or NAK byte is an acknowledgement; any other chunk is appended,
// and the frame is complete when the chunk just appended leaves ETX as the next-to-last byte
// (tested once per chunk, on the end of the accumulation only).
//
// The accumulation is bounded: bytes that never end in a frame cannot exhaust memory. When a
// chunk would take it past MaxBuffered, the oldest bytes are discarded and counted in `discarded`.
class FrameAssembler {
public:
    static constexpr std::size_t MaxBuffered = 1024;

    enum class Kind { Incomplete, Frame, Ack, Nak };

    struct Result {
        Kind kind = Kind::Incomplete;
        std::string frame;          // the complete frame, when kind == Frame
        std::size_t discarded = 0;  // oldest bytes dropped by this chunk to keep the bound
    };

    Result feed(std::string_view chunk);

    const std::string &buffered() const { return buffer_; }
    void clear() { buffer_.clear(); }

private:
    std::string buffer_;  // Buffer_RX
};

} // namespace zelta
