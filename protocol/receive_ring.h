#pragma once

#include <array>
#include <string>

namespace zelta {

// Fila_RX: the 51-slot ring of complete received frames, written by the link and drained,
// oldest first, by the 10 ms dispatcher. It is empty when both slot numbers are equal, so it
// holds at most 50 frames; a store into a full ring is refused rather than silently wiping
// the frames already stored.
class ReceiveRing {
public:
    static constexpr int Slots = 51;

    // Armazena_Mensagem_RX: false when the ring is full and the frame was not stored.
    bool Armazena(std::string frame);
    // Apanha_Mensagem_RX: the oldest stored frame, or empty text when the ring is empty.
    std::string Apanha();

    bool empty() const { return Ponteiro_Apanha == Ponteiro_Armazena; }
    int size() const;
    void resetPointers() { Ponteiro_Armazena = Ponteiro_Apanha = 0; }

    int Ponteiro_Armazena = 0;
    int Ponteiro_Apanha = 0;

private:
    std::array<std::string, Slots> Fila_RX;
};

} // namespace zelta
