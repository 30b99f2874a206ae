#pragma once

#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

// The hosts of the program's station list or fleet file, as the history names them: the program
// replaces them when its list changes, the store's writer asks about them from its own thread.
class ListedHosts {
public:
    void replace(const QStringList &hosts);
    bool contains(const QString &host) const;

private:
    mutable QMutex mutex_;
    QSet<QString> hosts_;  // trimmed, lower case: host names ignore case
};
