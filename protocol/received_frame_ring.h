#pragma once

#include <array>
#include <string>

namespace zelta {

// The 51-slot ring of complete received frames awaiting interpretation. The session pushes each
// frame as the assembler completes it and takes them, oldest first, from a call it queues on the
// event loop after each read (or at once when the ring fills). It is empty when both slot numbers
// are equal, so it holds at most 50 frames; a push into a full ring is refused rather than
// silently wiping the frames already stored.
class ReceivedFrameRing {
public:
    static constexpr int Slots = 51;
    static constexpr int Capacity = Slots - 1;

    // False when the ring is full and the frame was not stored.
    bool push(std::string frame);
    // The oldest stored frame, or empty text when the ring is empty.
    std::string take();

    bool empty() const { return readSlot_ == writeSlot_; }
    bool full() const { return size() == Capacity; }
    int size() const;
    void clear() { writeSlot_ = readSlot_ = 0; }

private:
    std::array<std::string, Slots> frames_;
    int writeSlot_ = 0;
    int readSlot_ = 0;
};

} // namespace zelta
