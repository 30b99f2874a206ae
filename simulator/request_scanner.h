#pragma once

#include <QByteArray>
#include <vector>

// Splits the byte stream from the console into request frames (STX ... ETX check byte) and
// acknowledgement bytes. Keep-alive pairs and any other bytes outside a frame are dropped; a
// frame cut short by a new STX is dropped too. Whether a frame's check byte is right is for the
// request parser to say.
class RequestScanner {
public:
    enum class Kind { Frame, Ack, Nak };
    struct Event {
        Kind kind;
        QByteArray frame;  // the whole frame, when kind == Frame
    };

    // Longer than any request the console builds; bytes past it cannot be a frame.
    static constexpr int MaxFrameSize = 256;

    std::vector<Event> feed(const QByteArray &bytes);

private:
    void scanOutsideFrame(char byte, std::vector<Event> &events);

    QByteArray frame_;          // STX and what followed, while a frame is open
    bool awaitingCheck_ = false;  // ETX seen: the next byte ends the frame
    bool afterIac_ = false;       // the first byte of a keep-alive pair was seen
};
