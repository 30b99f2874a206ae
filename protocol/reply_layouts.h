#pragma once

#include <cstddef>
#include <string_view>

namespace zelta {

// Where a reply's fields stand: positions counted from 1 over the whole frame (position 1 is
// STX, 2-3 the reply code, the body from 4).
struct ReplyField {
    std::size_t position;
    std::size_t width;
};

// Every reply family has a fixed body: its last position, and for "MT"/"LM"/"MA" and "MP" one
// optional character after it ("P" for weight, SOH for more records). The frame adds ETX and the
// check byte, so a frame is last (+1) + 2 bytes long. A frame of any other length has its fields
// in the wrong places and must not be read by position.
struct ReplyLayout {
    std::size_t lastPosition;
    bool optionalTrailer;
};

namespace fields {
// Error replies, whatever the code.
inline constexpr ReplyField ErrorMark{4, 1};
inline constexpr ReplyField ErrorCode{5, 2};

// "MT", "LM", "MA".
inline constexpr ReplyField Tank{4, 3};
inline constexpr ReplyField Product{7, 11};
inline constexpr ReplyField Expansion{18, 6};
inline constexpr ReplyField Density{24, 4};
inline constexpr ReplyField Capacity{28, 6};
inline constexpr ReplyField Measured{34, 6};
inline constexpr ReplyField Complementary{40, 6};
inline constexpr ReplyField EndOfReading{44, 1};  // CR, inside the complementary field
inline constexpr ReplyField Volume20{46, 6};
inline constexpr ReplyField Level{52, 6};
inline constexpr ReplyField MeasuredTime{58, 6};
inline constexpr ReplyField MeasuredDate{64, 6};
inline constexpr ReplyField WeightMark{70, 1};

// "LR", "AR".
inline constexpr ReplyField ClockTime{4, 6};
inline constexpr ReplyField ClockDate{10, 6};
inline constexpr ReplyField ClockDay{16, 2};

// "LS".
inline constexpr ReplyField SensorsBar1{4, 16};
inline constexpr ReplyField Bar1State{20, 1};
inline constexpr ReplyField SensorsBar2{21, 16};
inline constexpr ReplyField Bar2State{37, 1};

// "CF".
inline constexpr ReplyField TankCount{4, 2};
inline constexpr ReplyField Ofe{6, 6};
inline constexpr ReplyField MeterType{12, 1};
inline constexpr ReplyField SensorCount{13, 2};

// "ID".
inline constexpr ReplyField Address{4, 3};
inline constexpr ReplyField Version{7, 2};

// "MP".
inline constexpr ReplyField ScheduledTime{4, 6};
inline constexpr ReplyField ScheduledDate{10, 6};
inline constexpr ReplyField ScheduledVolume{16, 6};
inline constexpr ReplyField ScheduledTank{22, 3};
inline constexpr ReplyField MoreFollow{25, 1};
} // namespace fields

// The layout of a reply frame by its code and error mark; nothing for a code no reply has.
const ReplyLayout *replyLayout(std::string_view frame);

// Whether the frame is as long as its layout allows. A code without a layout has no length to
// keep, and passes.
bool hasLayoutLength(std::string_view frame);

// Tanks a controller measures, numbered from 1.
inline constexpr int MaxTanks = 16;

// The most records a controller keeps for one date: a longer "MP" series is not a controller's.
inline constexpr int MaxScheduledRecords = 101;

} // namespace zelta
