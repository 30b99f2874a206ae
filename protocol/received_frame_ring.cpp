#include "protocol/received_frame_ring.h"

#include <utility>

namespace zelta {

namespace {

int nextSlot(int slot)
{
    return (slot + 1) % ReceivedFrameRing::Slots;
}

} // namespace

bool ReceivedFrameRing::push(std::string frame)
{
    const int next = nextSlot(writeSlot_);
    // Advancing onto the reader would make the ring look empty and lose every stored frame.
    if (next == readSlot_)
        return false;
    frames_[static_cast<std::size_t>(writeSlot_)] = std::move(frame);
    writeSlot_ = next;
    return true;
}

std::string ReceivedFrameRing::take()
{
    if (empty())
        return {};
    std::string frame = std::move(frames_[static_cast<std::size_t>(readSlot_)]);
    readSlot_ = nextSlot(readSlot_);
    return frame;
}

int ReceivedFrameRing::size() const
{
    return (writeSlot_ - readSlot_ + Slots) % Slots;
}

} // namespace zelta
