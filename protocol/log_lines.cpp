#include "protocol/log_lines.h"

#include "protocol/control_codes.h"
#include "protocol/frame.h"
#include "protocol/numeric_text.h"

namespace zelta {

namespace {

std::string lengthAndText(std::string_view text)
{
    std::string line = formatThreeDigits(text.size());
    line += ' ';
    line += text;
    return line;
}

} // namespace

std::string receivedAckLine()
{
    return "Recebeu: ACK";
}

std::string receivedNakLine()
{
    return "Recebeu: NACK";
}

std::string receivedFrameLine(std::string_view frame)
{
    return "Recebeu: " + lengthAndText(frame);
}

std::optional<std::string> transmittedLine(std::string_view comandoTx)
{
    if (comandoTx.size() == 1 && comandoTx[0] == ACK)
        return std::string("Transmitiu: ACK");
    if (comandoTx.size() > 1 && !isKeepAlive(comandoTx))
        return "Transmitiu: " + lengthAndText(comandoTx);
    return std::nullopt;
}

} // namespace zelta
