#pragma once

#include <QHostAddress>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// One comzelta-sim process with a station on each address from `first` on, as a child that ends
// with this object (or with the benchmark, however it ends).
class FleetSimulator {
public:
    // `options` besides --addresses and --quiet, such as --station FILE or --silent.
    FleetSimulator(const QHostAddress &first, int count, const QStringList &options);
    ~FleetSimulator();

    FleetSimulator(const FleetSimulator &) = delete;
    FleetSimulator &operator=(const FleetSimulator &) = delete;

    // Starts it and waits until its last address takes a connection; false, with the reason in
    // *why, when it does not within seconds.
    bool start(QString *why);
    QString range() const;

private:
    QHostAddress first_;
    QHostAddress last_;
    QStringList options_;
    QProcess process_;
};
