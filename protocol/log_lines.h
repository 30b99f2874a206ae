#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelta {

// Lines the link writes to the communication log (bytes, control characters included).
std::string receivedAckLine();                       // "Recebeu: ACK"
std::string receivedNakLine();                       // "Recebeu: NACK"
std::string receivedFrameLine(std::string_view frame); // "Recebeu: " + "000" length + " " + frame
// The transmit line for what Comando_TX holds when the send completes:
// "Transmitiu: ACK" for the single ACK byte, "Transmitiu: 005 <frame>" for a framed request,
// nothing for the keep-alive (or an empty text).
std::optional<std::string> transmittedLine(std::string_view comandoTx);

} // namespace zelta
