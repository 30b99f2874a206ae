#pragma once

#include <string>
#include <string_view>

namespace zelta {

// Upper case of single-byte Windows-1252 text: a-z and the accented letters (ç -> Ç, ã -> Ã ...).
std::string upperCase1252(std::string_view text);

// STX, upper-cased body, ETX, check byte (XOR of body and ETX).
// The keep-alive pair is returned unchanged: it is never framed.
std::string frameRequest(std::string_view body);

bool isKeepAlive(std::string_view text);

} // namespace zelta
