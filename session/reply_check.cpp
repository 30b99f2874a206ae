#include "session/reply_check.h"

#include "protocol/replies.h"
#include "protocol/reply_layouts.h"
#include "protocol/text_fields.h"

#include <QDate>
#include <QTime>

#include <string_view>

namespace {

constexpr int DaysInWeek = 7;

std::string_view view(const QByteArray &frame)
{
    return std::string_view(frame.constData(), std::size_t(frame.size()));
}

std::string fieldOf(const QByteArray &frame, zelta::ReplyField at)
{
    return zelta::field(view(frame), at.position, at.width);
}

// Exactly `width` ASCII digits.
std::optional<int> digits(const std::string &text, std::size_t width)
{
    if (text.size() != width)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isCount(const QByteArray &frame, zelta::ReplyField at)
{
    return digits(fieldOf(frame, at), at.width).has_value();
}

bool possibleClock(const QByteArray &frame)
{
    const std::string time = fieldOf(frame, zelta::fields::ClockTime);
    const std::string date = fieldOf(frame, zelta::fields::ClockDate);
    const auto pair = [](const std::string &text, std::size_t at) { return digits(text.substr(at, 2), 2); };
    const auto hour = pair(time, 0), minute = pair(time, 2), second = pair(time, 4);
    const auto day = pair(date, 0), month = pair(date, 2), year = pair(date, 4);
    const auto weekday = digits(fieldOf(frame, zelta::fields::ClockDay), 2);
    if (!hour || !minute || !second || !day || !month || !year || !weekday)
        return false;
    return QTime(*hour, *minute, *second).isValid() && QDate(2000 + *year, *month, *day).isValid()
        && *weekday >= 1 && *weekday <= DaysInWeek;
}

bool numericOfe(const QByteArray &frame)
{
    const std::string ofe = fieldOf(frame, zelta::fields::Ofe);
    bool anyDigit = false;
    for (const char c : ofe) {
        if (c >= '0' && c <= '9')
            anyDigit = true;
        else if (c != ' ')
            return false;
    }
    return anyDigit;
}

// The tank a request names ("MT03", "LM3"); nothing when it names none a reply could match.
std::optional<int> requestedTank(const QByteArray &body)
{
    bool ok = false;
    const int tank = body.mid(2).trimmed().toInt(&ok);
    return ok ? std::optional<int>(tank) : std::nullopt;
}

std::optional<ReplyProblem> checkMeasurement(const QByteArray &frame, const ReplyContext &context)
{
    const std::optional<int> tank = replyTankNumber(frame);
    if (!tank)
        return ReplyProblem::BadTankNumber;
    const QByteArray asked = context.awaitingBody.left(2).toUpper();
    if (asked == "MA") {
        if (context.configuredTanks > 0 && *tank > context.configuredTanks)
            return ReplyProblem::TankNotAsked;
        if (context.tanksAnswered.contains(*tank))
            return ReplyProblem::TankRepeated;
    } else if (asked == "MT" || asked == "LM") {
        const std::optional<int> wanted = requestedTank(context.awaitingBody);
        if (wanted && *wanted != *tank)
            return ReplyProblem::TankNotAsked;
    }
    return std::nullopt;
}

std::optional<ReplyProblem> checkScheduled(const QByteArray &frame, const ReplyContext &context)
{
    if (context.awaitingBody.left(2).toUpper() != "MP")
        return ReplyProblem::NotAsked;
    if (context.recordsReceived >= zelta::MaxScheduledRecords)
        return ReplyProblem::TooManyRecords;
    if (!replyTankNumber(frame))
        return ReplyProblem::BadTankNumber;
    return std::nullopt;
}

} // namespace

std::optional<int> replyTankNumber(const QByteArray &frame)
{
    const zelta::ReplyField at = zelta::replyCode(view(frame)) == "MP" ? zelta::fields::ScheduledTank
                                                                        : zelta::fields::Tank;
    const std::optional<int> tank = digits(fieldOf(frame, at), at.width);
    if (!tank || *tank < 1)
        return std::nullopt;
    return tank;
}

std::optional<ReplyProblem> checkReply(const QByteArray &frame, const ReplyContext &context)
{
    if (!context.lastTransmitted.isEmpty() && frame == context.lastTransmitted)
        return ReplyProblem::Echo;
    if (!zelta::hasLayoutLength(view(frame)))
        return ReplyProblem::WrongLength;
    if (zelta::isErrorReply(view(frame)))
        return std::nullopt;
    const std::string code = zelta::replyCode(view(frame));
    if (code == "MT" || code == "LM" || code == "MA")
        return checkMeasurement(frame, context);
    if (code == "MP")
        return checkScheduled(frame, context);
    if ((code == "LR" || code == "AR") && !possibleClock(frame))
        return ReplyProblem::ImpossibleClock;
    if (code == "CF"
        && (!isCount(frame, zelta::fields::TankCount) || !isCount(frame, zelta::fields::SensorCount)
            || !numericOfe(frame)))
        return ReplyProblem::BadConfiguration;
    return std::nullopt;
}

ExpectedLength expectedLength(const QByteArray &frame)
{
    const zelta::ReplyLayout *layout = zelta::replyLayout(view(frame));
    return {int(layout->lastPosition) + 2, layout->optionalTrailer};
}

std::string replyCodeOf(const QByteArray &frame)
{
    return zelta::replyCode(view(frame));
}

std::string tankField(const QByteArray &frame)
{
    return fieldOf(frame, zelta::replyCode(view(frame)) == "MP" ? zelta::fields::ScheduledTank : zelta::fields::Tank);
}

ClockFields clockFields(const QByteArray &frame)
{
    return {zelta::splitTime(fieldOf(frame, zelta::fields::ClockTime)),
            zelta::splitDate(fieldOf(frame, zelta::fields::ClockDate)), fieldOf(frame, zelta::fields::ClockDay)};
}
