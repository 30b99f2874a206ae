#include "session/session_request.h"

#include "session/session_text.h"

SessionRequest::SessionRequest(const QByteArray &body, Replies replies, int timeoutMs, QObject *parent)
    : QObject(parent), body_(body), replies_(replies), timeoutMs_(timeoutMs), awaitedCode_(code())
{
}

int SessionRequest::replyPosition(int index) const
{
    int position = index;
    for (const RejectedReply &rejected : rejected_) {
        if (rejected.position <= position)
            ++position;
    }
    return position;
}

QString SessionRequest::errorString() const
{
    return outcomeText(*this);
}
