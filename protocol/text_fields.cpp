#include "protocol/text_fields.h"

namespace zelta {

std::string field(std::string_view frame, std::size_t position, std::size_t width)
{
    if (position == 0 || position > frame.size())
        return {};
    return std::string(frame.substr(position - 1, width));
}

namespace {

std::string splitInPairs(std::string_view sixChars, char separator)
{
    std::string text = field(sixChars, 1, 2);
    text += separator;
    text += field(sixChars, 3, 2);
    text += separator;
    text += field(sixChars, 5, 2);
    return text;
}

} // namespace

std::string splitDate(std::string_view sixChars)
{
    return splitInPairs(sixChars, '/');
}

std::string splitTime(std::string_view sixChars)
{
    return splitInPairs(sixChars, ':');
}

} // namespace zelta
