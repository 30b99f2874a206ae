#pragma once

#include "session/session_request.h"

#include <QAbstractSocket>
#include <QString>

#include <cstddef>

// The session's own words for people, in Portuguese, all made in session_text.cpp. The session
// reports typed state and errors; the functions that word the controller's replies keep their
// declarations beside the types they word (rejectionText, errorReplyText, passwordProblem,
// noReadingText).

// Why a connection failed, for the programs' messages and the history's events.
QString socketErrorText(QAbstractSocket::SocketError error);
// The same, but a connection not made within its timeout says how long was waited.
QString connectionErrorText(QAbstractSocket::SocketError error, int connectTimeoutMs);
// How a request ended, when it did not get its replies; empty while pending or once replied.
QString outcomeText(const SessionRequest &request);

// The session's notes in the frame log, beside the frames they concern.
QString notTransmittedText(SessionRequest::Outcome why);  // followed by the frame
QString receiveRingFullText();
QString excessAcksText();
QString discardedBytesText(std::size_t count);
