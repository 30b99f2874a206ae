#include "session/session_request.h"

SessionRequest::SessionRequest(const QByteArray &body, Replies replies, int timeoutMs, QObject *parent)
    : QObject(parent), body_(body), replies_(replies), timeoutMs_(timeoutMs), awaitedCode_(code())
{
}
