#include "protocol/frame.h"

#include "protocol/bcc.h"
#include "protocol/control_codes.h"

namespace zelta {

namespace {

unsigned char upperCaseByte(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    // à ... þ, except the division sign, sit 0x20 above their capitals.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A; // š
    case 0x9C: return 0x8C; // œ
    case 0x9E: return 0x8E; // ž
    case 0xFF: return 0x9F; // ÿ
    default: return c;
    }
}

} // namespace

std::string upperCase1252(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper)
        c = static_cast<char>(upperCaseByte(static_cast<unsigned char>(c)));
    return upper;
}

bool isKeepAlive(std::string_view text)
{
    return text == KeepAlive;
}

std::string frameRequest(std::string_view body)
{
    if (isKeepAlive(body))
        return std::string(body);

    std::string frame(1, STX);
    frame += upperCase1252(body);
    frame += ETX;
    // The check byte covers the body and ETX, not the leading STX.
    frame += static_cast<char>(blockCheckCharacter(std::string_view(frame).substr(1)));
    return frame;
}

} // namespace zelta
