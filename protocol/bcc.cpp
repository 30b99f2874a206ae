#include "protocol/bcc.h"

namespace zelta {

int blockCheckCharacter(std::string_view text)
{
    unsigned char bcc = 0;
    for (const char c : text)
        bcc ^= static_cast<unsigned char>(c);
    return bcc;
}

} // namespace zelta
