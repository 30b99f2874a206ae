#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Hands a fuzz input out piece by piece. Once it runs dry, every byte reads as 0 and every text
// as empty, so a short input still drives a whole run.
class ByteSource {
public:
    ByteSource(const std::uint8_t *data, std::size_t size)
        : bytes_(reinterpret_cast<const char *>(data), size)
    {
    }

    bool empty() const { return bytes_.empty(); }

    std::uint8_t byte()
    {
        if (bytes_.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return value;
    }

    // Two bytes, little-endian.
    unsigned word()
    {
        const unsigned low = byte();
        return low | (static_cast<unsigned>(byte()) << 8);
    }

    // A value in [low, high]; high - low must fit in a word.
    int inRange(int low, int high)
    {
        return low + static_cast<int>(word() % static_cast<unsigned>(high - low + 1));
    }

    // The next `count` bytes, or fewer when the input ends first.
    std::string_view take(std::size_t count)
    {
        const std::string_view piece = bytes_.substr(0, count);
        bytes_.remove_prefix(piece.size());
        return piece;
    }

    // Up to `count` bytes with the control codes (0-31 and 127) left out: text an operator types.
    std::string typed(std::size_t count)
    {
        std::string text;
        for (const char c : take(count)) {
            const auto code = static_cast<unsigned char>(c);
            if (code >= 0x20 && code != 0x7F)
                text += c;
        }
        return text;
    }

private:
    std::string_view bytes_;
};
