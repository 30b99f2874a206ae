#pragma once

#include "fuzz/fuzz_check.h"

#include <array>
#include <clocale>
#include <cstddef>
#include <cwctype>
#include <string>
#include <string_view>

// Upper case of Windows-1252 text worked out through Unicode and the C library's own case
// tables, independently of the console's byte mapping: a letter whose capital has no byte in the
// code page stays as it is.
class Windows1252Upper {
public:
    Windows1252Upper()
    {
        FUZZ_CHECK(std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr);
        for (std::size_t byte = 0; byte < table_.size(); ++byte)
            table_[byte] = static_cast<char>(upperByte(static_cast<unsigned char>(byte)));
    }

    std::string operator()(std::string_view text) const
    {
        std::string upper(text);
        for (char &c : upper)
            c = table_[static_cast<unsigned char>(c)];
        return upper;
    }

private:
    // Code points of 0x80-0x9F; the five unassigned bytes keep their C1 value.
    static constexpr std::array<wint_t, 32> High = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

    static wint_t decode(unsigned char byte)
    {
        return byte >= 0x80 && byte <= 0x9F ? High[byte - 0x80] : byte;
    }

    static unsigned char upperByte(unsigned char byte)
    {
        const wint_t upper = std::towupper(decode(byte));
        for (unsigned candidate = 0; candidate <= 0xFF; ++candidate) {
            if (decode(static_cast<unsigned char>(candidate)) == upper)
                return static_cast<unsigned char>(candidate);
        }
        return byte;
    }

    std::array<char, 256> table_{};
};
