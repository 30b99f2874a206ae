#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Many client connections to one listener, opened a few at a time and kept until closeAll().
//
// A few at a time means a few beyond what the listener has accepted: the kernel completes a
// connection before the listener takes it, and a listener that falls behind overflows its
// backlog (50), after which each connection dropped there waits a second to be tried again.
class ConnectionSet {
public:
    // Starts one connection and returns the object that holds it; calls `settled(true)` once it is
    // connected, `settled(false)` if it fails.
    using Open = std::function<QObject *(std::function<void(bool connected)> settled)>;

    ConnectionSet() = default;
    ~ConnectionSet() { closeAll(); }

    ConnectionSet(const ConnectionSet &) = delete;
    ConnectionSet &operator=(const ConnectionSet &) = delete;

    // Opens `count` connections with `open` and waits up to `timeoutMs` for all to settle.
    // `accepted` says how many the listener has taken so far. Returns how many connected.
    int openAll(int count, Open open, std::function<int()> accepted, int timeoutMs);
    // The listener took more: start as many more.
    void acceptedMore() { startMore(); }
    int failed() const { return failed_; }
    void closeAll();

private:
    void startMore();

    Open open_;
    std::function<int()> accepted_;
    int count_ = 0;
    int started_ = 0;
    int connected_ = 0;
    int failed_ = 0;
    std::vector<std::unique_ptr<QObject>> holders_;
};
