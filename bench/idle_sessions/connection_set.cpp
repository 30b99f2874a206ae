#include "idle_sessions/connection_set.h"

#include "common/event_wait.h"

namespace {

constexpr int MostInFlight = 32;

} // namespace

int ConnectionSet::openAll(int count, Open open, std::function<int()> accepted, int timeoutMs)
{
    open_ = std::move(open);
    accepted_ = std::move(accepted);
    count_ = count;
    started_ = connected_ = failed_ = 0;
    holders_.reserve(std::size_t(count));
    startMore();
    waitUntil([this] { return connected_ + failed_ == count_; }, timeoutMs);
    return connected_;
}

void ConnectionSet::closeAll()
{
    holders_.clear();
}

void ConnectionSet::startMore()
{
    if (!open_)
        return;
    while (started_ - accepted_() - failed_ < MostInFlight && started_ < count_) {
        ++started_;
        auto settledOnce = std::make_shared<bool>(false);
        holders_.emplace_back(open_([this, settledOnce](bool connected) {
            if (*settledOnce)
                return;
            *settledOnce = true;
            ++(connected ? connected_ : failed_);
            startMore();
        }));
    }
}
