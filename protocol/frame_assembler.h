#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelta {

// Buffer_RX as a byte state machine. Received bytes are read one at a time, whatever the reads
// they came in, so the same bytes cut into reads in any way give the same events:
//
// - between frames, ACK and NAK are acknowledgements, STX opens a frame, and any other byte is
//   dropped (one Discarded event per run of such bytes, reported when the run ends);
// - inside a frame, a new STX restarts it (the old part is reported as Discarded), ACK and NAK
//   are acknowledgements (reply bodies hold only text, SOH and CR), and ETX ends the body;
// - the byte after ETX is the check byte, whatever its value; the frame is then complete.
//
// A frame in progress is bounded at MaxBuffered bytes; beyond that it is dropped, together with
// the bytes up to the next STX, ACK or NAK, as one Discarded run.
class FrameAssembler {
public:
    static constexpr std::size_t MaxBuffered = 1024;

    struct Event {
        enum class Kind { Ack, Nak, Frame, Discarded };
        Kind kind;
        std::string frame;          // Frame: STX ... ETX check byte, exactly as received
        bool checkByteMatches = false;  // Frame: the check byte is the XOR of body and ETX
        std::size_t discarded = 0;  // Discarded: how many bytes were dropped
    };

    // Every event the bytes complete, in the order of the bytes.
    std::vector<Event> feed(std::string_view bytes);
    // Reports a run of dropped bytes still open (at a close, or before a change of station).
    std::vector<Event> flush();

    // The bytes of the frame in progress (empty between frames).
    const std::string &buffered() const { return buffer_; }
    // Forgets the frame in progress and any open run of dropped bytes.
    void clear();

private:
    enum class State { BetweenFrames, InFrame, CheckByte, Discarding };

    void endDiscardRun(std::vector<Event> &events);

    State state_ = State::BetweenFrames;
    std::string buffer_;
    std::size_t discardRun_ = 0;
};

} // namespace zelta
