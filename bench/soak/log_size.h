#pragma once

class MessageLogModel;

// An estimate of the heap bytes the log's lines take. Each line is a QByteArray of its own: a
// block holding the array header, the bytes and a closing NUL, which malloc rounds up to 16 bytes
// after adding 8 of its own; the lines' vector holds one QByteArray per line and grows by
// doubling, so its capacity is taken as the next power of two.
long long estimatedLogBytes(const MessageLogModel &log);
