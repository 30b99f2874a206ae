#include "session/series_tanks.h"

#include "session/reply_decoding.h"
#include "session/session_request.h"

#include <algorithm>

QList<TankAnswer> seriesAnswers(const SessionRequest &series)
{
    QList<std::pair<int, TankAnswer>> placed;
    const QList<QByteArray> &frames = series.frames();
    for (int i = 0; i < frames.size(); ++i) {
        const int position = series.replyPosition(i);
        TankAnswer answer;
        if (isErrorReply(frames.at(i))) {
            answer.tank = position + 1;
            answer.error = decodeErrorReply(frames.at(i));
        } else {
            answer.tank = replyTankNumber(frames.at(i));
            answer.reading = decodeMeasurementReading(frames.at(i));
        }
        placed.append({position, answer});
    }
    for (const RejectedReply &rejected : series.rejected()) {
        TankAnswer answer;
        answer.tank = rejected.position + 1;
        answer.rejected = rejected;
        placed.append({rejected.position, answer});
    }
    std::sort(placed.begin(), placed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<TankAnswer> answers;
    for (const auto &[position, answer] : placed)
        answers << answer;
    return answers;
}
