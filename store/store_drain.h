#pragma once

#include <QObject>
#include <QString>

class HistoryStore;

// Follows what a history store has committed, so that a program can end once its writes, and
// the alarms they raise, are in.
class StoreDrain : public QObject {
    Q_OBJECT
public:
    // Before the first write: commits are counted from construction.
    explicit StoreDrain(HistoryStore *store, QObject *parent = nullptr);

    // drained() once the write with this sequence number (and every earlier one) is committed.
    // failing() when the store cannot write meanwhile, once per outage: the writes wait in its
    // queue, and drained() still follows if it writes again. Either may come at once, from the
    // event loop.
    void waitFor(quint64 sequence);

signals:
    void drained();
    void failing(const QString &reason);

private:
    void check();

    HistoryStore *store_;
    quint64 committed_ = 0;
    quint64 awaited_ = 0;
    bool waiting_ = false;
    bool toldFailing_ = false;
};
