#include "protocol/reply_layouts.h"

#include "protocol/replies.h"

namespace zelta {

namespace {

constexpr ReplyLayout ErrorReplyLayout{6, false};
constexpr ReplyLayout MeasurementLayout{69, true};
constexpr ReplyLayout ClockLayout{17, false};
constexpr ReplyLayout SensorLayout{37, false};
constexpr ReplyLayout ConfigurationLayout{14, false};
constexpr ReplyLayout IdentificationLayout{8, false};
constexpr ReplyLayout ScheduledLayout{24, true};

// STX, the body up to its last position, ETX and the check byte.
constexpr std::size_t frameLength(std::size_t lastPosition)
{
    return lastPosition + 2;
}

} // namespace

const ReplyLayout *replyLayout(std::string_view frame)
{
    if (isErrorReply(frame))
        return &ErrorReplyLayout;
    const std::string code = replyCode(frame);
    if (code == "MT" || code == "LM" || code == "MA")
        return &MeasurementLayout;
    if (code == "LR" || code == "AR")
        return &ClockLayout;
    if (code == "LS")
        return &SensorLayout;
    if (code == "CF")
        return &ConfigurationLayout;
    if (code == "ID")
        return &IdentificationLayout;
    if (code == "MP")
        return &ScheduledLayout;
    return nullptr;
}

bool hasLayoutLength(std::string_view frame)
{
    const ReplyLayout *layout = replyLayout(frame);
    if (!layout)
        return true;
    const std::size_t shortest = frameLength(layout->lastPosition);
    return frame.size() == shortest || (layout->optionalTrailer && frame.size() == shortest + 1);
}

} // namespace zelta
