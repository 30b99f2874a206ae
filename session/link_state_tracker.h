#pragma once

#include "session/controller_session.h"

#include <QAbstractSocket>

// The session's link state from its socket's. Qt reports a refused connection or a peer's close
// through signals and then simply says "unconnected", so this remembers them until the session
// closes the socket itself or connects again. Private to ControllerSession.
class LinkStateTracker {
public:
    using LinkState = ControllerSession::LinkState;

    LinkState state(QAbstractSocket::SocketState socket) const;
    void noteError(QAbstractSocket::SocketError error);
    // Closed by the session, or connecting anew: forget any error or peer close.
    void reset() { peerClosed_ = failed_ = false; }

private:
    bool peerClosed_ = false;
    bool failed_ = false;
};
