#pragma once

#include <string>
#include <string_view>

namespace zelta {

// Fixed-position field of a received frame, positions counted from 1 (position 1 is STX).
// A field past the end reads as the shorter or empty text that remains.
std::string field(std::string_view frame, std::size_t position, std::size_t width);

// DDMMAA -> DD/MM/AA and HHMMSS -> HH:MM:SS, from whatever characters are present
// (characters 1-2, separator, 3-4, separator, 5-6).
std::string splitDate(std::string_view sixChars);
std::string splitTime(std::string_view sixChars);

} // namespace zelta
