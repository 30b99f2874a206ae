#include "session/link_state_tracker.h"

LinkStateTracker::LinkState LinkStateTracker::state(QAbstractSocket::SocketState socket) const
{
    switch (socket) {
    case QAbstractSocket::HostLookupState: return LinkState::LookingUpHost;
    case QAbstractSocket::ConnectingState: return LinkState::Connecting;
    case QAbstractSocket::ConnectedState: return LinkState::Connected;
    case QAbstractSocket::ClosingState: return LinkState::Closing;
    // A client socket is never bound or listening by itself.
    case QAbstractSocket::BoundState:
    case QAbstractSocket::ListeningState:
    case QAbstractSocket::UnconnectedState: break;
    }
    if (peerClosed_)
        return LinkState::Closing;
    return failed_ ? LinkState::Failed : LinkState::Closed;
}

void LinkStateTracker::noteError(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::RemoteHostClosedError)
        peerClosed_ = true;
    else
        failed_ = true;
}
