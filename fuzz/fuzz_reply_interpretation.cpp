// Any received frame, checked against any request the session could be waiting on, then read as
// the session reads it and built into the rows the history would store: a reply the session calls
// usable must make a whole row for the tank it was asked about, one it refuses must say why
// without quoting a password, and nothing may crash on the way.

#include "fuzz/byte_source.h"
#include "fuzz/fuzz_check.h"
#include "protocol/frame.h"
#include "protocol/replies.h"
#include "protocol/reply_layouts.h"
#include "session/reply_check.h"
#include "session/reply_decoding.h"
#include "store/reading_rows.h"

#include <QTimeZone>

#include <cstddef>
#include <cstdint>

namespace {

// What a program may be waiting for when the frame arrives; "none" for a late or unasked reply.
const char *const Requests[] = {"", "MT01", "LM03", "MA", "MP010324", "LR", "ARabc", "CFabc", "LS", "ID01"};

ReplyContext contextFrom(ByteSource &input)
{
    ReplyContext context;
    context.awaitingBody = Requests[input.byte() % std::size(Requests)];
    context.configuredTanks = input.inRange(0, 20);
    context.recordsReceived = input.inRange(0, zelta::MaxScheduledRecords + 1);
    for (int answered = input.inRange(0, 17); answered > 0; --answered)
        context.tanksAnswered << input.inRange(0, 20);
    return context;
}

void checkUsable(const QByteArray &frame, const ReplyContext &context)
{
    const std::string_view bytes(frame.constData(), std::size_t(frame.size()));
    FUZZ_CHECK(zelta::hasLayoutLength(bytes));
    if (isErrorReply(frame))
        return;
    const QByteArray code = replyCode(frame);
    const QByteArray asked = context.awaitingBody.left(2);
    if (code == "MT" || code == "LM" || code == "MA") {
        const std::optional<int> tank = replyTankNumber(frame);
        FUZZ_CHECK(tank && *tank >= 1);
        if (asked == "MT" || asked == "LM")
            FUZZ_CHECK(*tank == context.awaitingBody.mid(2).toInt());
        if (asked == "MA") {
            FUZZ_CHECK(!context.tanksAnswered.contains(*tank));
            FUZZ_CHECK(context.configuredTanks == 0 || *tank <= context.configuredTanks);
        }
        const std::optional<MeasurementRow> row = measurementRow(decodeMeasurementReading(frame), QTimeZone::utc());
        FUZZ_CHECK(row && row->tank == *tank);
        FUZZ_CHECK(row->unit == QLatin1String("L") || row->unit == QLatin1String("kg"));
    } else if (code == "MP") {
        FUZZ_CHECK(asked == "MP" && context.recordsReceived < zelta::MaxScheduledRecords);
        const std::optional<ScheduledRow> row = scheduledRow(decodeScheduledReading(frame), QTimeZone::utc());
        FUZZ_CHECK(row && row->tank == *replyTankNumber(frame));
    } else if (code == "LR" || code == "AR") {
        const ClockReading clock = decodeClockReading(frame);
        FUZZ_CHECK(stationTimeUtc(clock.date, clock.time, QTimeZone::utc()).isValid());
    } else if (code == "LS") {
        const SensorReading sensors = decodeSensorReading(frame, 32);
        FUZZ_CHECK(sensors.states.size() == 32 && sensorLetters(sensors).size() == 32);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteSource input(data, size);
    const ReplyContext context = contextFrom(input);
    const bool framed = input.byte() % 2 == 0;
    const std::string_view rest = input.take(size);
    const QByteArray frame = framed ? QByteArray::fromStdString(zelta::frameRequest(rest))
                                    : QByteArray(rest.data(), qsizetype(rest.size()));

    const std::optional<ReplyProblem> problem = checkReply(frame, context);
    if (!problem) {
        checkUsable(frame, context);
        return 0;
    }
    const QString text = rejectionText({frame, *problem, 0});
    FUZZ_CHECK(!text.isEmpty());
    // A configuration or clock-setting frame carries the password from position 4 on.
    const QByteArray code = replyCode(frame);
    if ((code == "CF" || code == "AR") && *problem != ReplyProblem::ImpossibleClock
        && *problem != ReplyProblem::BadTankNumber) {
        const QByteArray body = frame.mid(3, frame.size() - 5);
        FUZZ_CHECK(body.size() < 4 || !text.contains(QString::fromLatin1(body)));
    }
    return 0;
}
