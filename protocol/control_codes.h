#pragma once

#include <string_view>

namespace zelta {

// Control codes of the controller link. Every character is one byte on the wire.
inline constexpr char SOH = 1;
inline constexpr char STX = 2;
inline constexpr char ETX = 3;
inline constexpr char ACK = 6;
inline constexpr char CR = 13;
inline constexpr char NAK = 21;

// The Telnet pair IAC NOP, sent every few seconds to keep the connection alive; never framed.
inline constexpr std::string_view KeepAlive{"\xFF\xF1", 2};

} // namespace zelta
