#include "store/store_types.h"

QString originText(Origin origin)
{
    switch (origin) {
    case Origin::Console:
        return QStringLiteral("console");
    case Origin::Cli:
        return QStringLiteral("cli");
    case Origin::Poll:
        return QStringLiteral("poll");
    }
    return {};
}

QString eventKindText(EventKind kind)
{
    switch (kind) {
    case EventKind::ConnectionOpened:
        return QStringLiteral("connection_opened");
    case EventKind::ConnectionLost:
        return QStringLiteral("connection_lost");
    case EventKind::ErrorReply:
        return QStringLiteral("error_reply");
    case EventKind::BadCheckByte:
        return QStringLiteral("bad_check_byte");
    case EventKind::UnusableReading:
        return QStringLiteral("unusable_reading");
    case EventKind::ReadingsDropped:
        return QStringLiteral("readings_dropped");
    case EventKind::PollFailed:
        return QStringLiteral("poll_failed");
    case EventKind::OfeConflict:
        return QStringLiteral("ofe_conflict");
    }
    return {};
}
