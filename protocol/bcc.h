#pragma once

#include <string_view>

namespace zelta {

// Block check character: XOR of every byte of text, starting from 0. Empty text gives 0.
int blockCheckCharacter(std::string_view text);

} // namespace zelta
