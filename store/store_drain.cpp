#include "store/store_drain.h"

#include "store/history_store.h"

#include <algorithm>

StoreDrain::StoreDrain(HistoryStore *store, QObject *parent) : QObject(parent), store_(store)
{
    // One writer takes the calls in order, so a commit means every earlier one is in.
    connect(store_, &HistoryStore::written, this, [this](quint64 sequence) {
        committed_ = std::max(committed_, sequence);
        check();
    });
    connect(store_, &HistoryStore::writesFailing, this, &StoreDrain::check);
    connect(store_, &HistoryStore::writesWorking, this, [this] { toldFailing_ = false; });
}

void StoreDrain::waitFor(quint64 sequence)
{
    awaited_ = sequence;
    waiting_ = true;
    QMetaObject::invokeMethod(this, &StoreDrain::check, Qt::QueuedConnection);
}

void StoreDrain::check()
{
    if (!waiting_)
        return;
    if (committed_ >= awaited_) {
        waiting_ = false;
        emit drained();
    } else if (store_->writesAreFailing() && !std::exchange(toldFailing_, true)) {
        emit failing(store_->failureReason());
    }
}
