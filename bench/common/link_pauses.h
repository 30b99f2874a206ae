#pragma once

// The least time from sending a request to receiving the last of its `replies` frames, when the
// session leaves at least `pauseMs` between any two transmissions and the controller answers at
// once. The first reply may follow the request immediately. Each later reply waits for the ACK
// of the one before it, and that ACK leaves no earlier than a pause after the previous
// transmission (the request, or the ACK before it): reply k + 1 comes k pauses after the request
// at the earliest, the last one (replies - 1) pauses after it. The ACK of the last reply follows
// it and is not part of the wait.
constexpr int seriesFloorMs(int replies, int pauseMs)
{
    return replies > 1 ? pauseMs * (replies - 1) : 0;
}

// The least time per command when commands follow one another at once: each transmission (the
// request, then one ACK per reply) holds the link for a pause before the next may leave, so a
// command with `replies` frames costs (1 + replies) pauses on average, whatever the controller.
constexpr int backToBackFloorMs(int replies, int pauseMs)
{
    return pauseMs * (1 + replies);
}
