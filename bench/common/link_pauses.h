#pragma once

// The console blocks for 100 ms after every transmission: after sending a request and after
// acknowledging each reply frame. No exchange can be faster than the sum of its pauses.
constexpr int ConsolePauseMs = 100;

// The least time a request answered by `replies` frames can take, counting only those pauses.
constexpr int pauseFloorMs(int replies)
{
    return ConsolePauseMs * (1 + replies);
}

// The simulator's gap before each reply frame, counted from the last byte it wrote. The first
// reply follows the simulator's own ACK, and the console must have read that ACK on its own (it
// recognises an acknowledgement only when it arrives alone), which it does only once its 100 ms
// pause after the request is over and it is back in its event loop: 101 ms is not enough on this
// machine, 102 ms sometimes is not while another process keeps a core busy. Later frames could
// go as soon as the console acknowledges the previous one, but the simulator has one gap for
// every frame, so each of them costs this much instead of the 100 ms pause.
constexpr int FastestReplyDelayMs = ConsolePauseMs + 3;
