#pragma once

#include "simulator/reply_faults.h"

#include <QByteArrayList>

// How the simulated controller behaves on the line, faults included. Every connection reads
// these when it needs them, so a change applies at once.
struct SimulatorSettings {
    // A prompt controller: the reply follows the ACK at once and may share its read.
    int replyDelayMs = 0;
    // A series ("MA", "MP") goes on without the console's ACK after this long.
    int ackTimeoutMs = 1000;
    int chunkSize = 0;           // replies cut into chunks of this many bytes; 0: whole
    int chunkIntervalMs = 20;    // long enough for each chunk to arrive as a read of its own

    // Faults.
    bool silent = false;            // accept connections; neither acknowledge nor answer anything
    bool nakRequests = false;       // NAK every request and answer none
    bool wrongCheckByte = false;    // replies carry a wrong check byte
    int closeAfterFrames = 0;       // close the connection on receiving this frame; 0: never
    bool unterminatedFrame = false; // once per connection, before the first reply: STX + body, no ETX
    int garbageOnConnect = 0;       // bytes with no ETX sent when a client connects
    int floodOnConnect = 0;         // reply frames sent without waiting for ACKs when a client connects
    ReplyFault replyFault = ReplyFault::None;
    QByteArrayList faultCodes;      // the request codes whose replies the fault spoils; empty: all

    bool spoils(const QByteArray &requestCode) const
    {
        return replyFault != ReplyFault::None && (faultCodes.isEmpty() || faultCodes.contains(requestCode));
    }
};
