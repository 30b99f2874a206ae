#include "protocol/frame_assembler.h"

#include "protocol/control_codes.h"

namespace zelta {

namespace {

// The first of the last two bytes; the only byte of a one-byte accumulation.
bool endsFrame(const std::string &buffer)
{
    if (buffer.empty())
        return false;
    const std::size_t probe = buffer.size() == 1 ? 0 : buffer.size() - 2;
    return buffer[probe] == ETX;
}

} // namespace

FrameAssembler::Result FrameAssembler::feed(std::string_view chunk)
{
    Result result;
    if (chunk.size() == 1 && (chunk[0] == ACK || chunk[0] == NAK)) {
        result.kind = chunk[0] == ACK ? Kind::Ack : Kind::Nak;
        return result;
    }
    if (chunk.empty())
        return result;

    if (chunk.size() >= MaxBuffered) {
        result.discarded = buffer_.size() + chunk.size() - MaxBuffered;
        buffer_.assign(chunk.substr(chunk.size() - MaxBuffered));
    } else {
        const std::size_t total = buffer_.size() + chunk.size();
        if (total > MaxBuffered) {
            result.discarded = total - MaxBuffered;
            buffer_.erase(0, result.discarded);
        }
        buffer_.append(chunk);
    }

    if (endsFrame(buffer_)) {
        result.kind = Kind::Frame;
        result.frame.swap(buffer_);
    }
    return result;
}

} // namespace zelta
