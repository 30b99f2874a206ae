#include "protocol/receive_ring.h"

#include <utility>

namespace zelta {

namespace {

int nextSlot(int slot)
{
    return (slot + 1) % ReceiveRing::Slots;
}

} // namespace

bool ReceiveRing::Armazena(std::string frame)
{
    const int next = nextSlot(Ponteiro_Armazena);
    // Advancing onto the reader would make the ring look empty and lose every stored frame.
    if (next == Ponteiro_Apanha)
        return false;
    Fila_RX[static_cast<std::size_t>(Ponteiro_Armazena)] = std::move(frame);
    Ponteiro_Armazena = next;
    return true;
}

std::string ReceiveRing::Apanha()
{
    if (empty())
        return {};
    std::string frame = std::move(Fila_RX[static_cast<std::size_t>(Ponteiro_Apanha)]);
    Ponteiro_Apanha = nextSlot(Ponteiro_Apanha);
    return frame;
}

int ReceiveRing::size() const
{
    return (Ponteiro_Armazena - Ponteiro_Apanha + Slots) % Slots;
}

} // namespace zelta
