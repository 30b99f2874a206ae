#pragma once

#include <QString>

#include <optional>

// One run of `comzelta-cli --log STATION inventory`, timed from QProcess::start() by the moments
// its log lines reach this process.
struct CliInventoryRun {
    std::optional<double> exitMs;
    std::optional<double> firstTransmissionMs;  // "ID01": start-up and connecting are over
    std::optional<double> inventoryRequestMs;   // "MA"
    std::optional<double> lastReplyMs;          // the last reply to "MA"
    int replies = 0;
    int acknowledgedReplies = 0;  // ACKs sent after "MA"
    int transmissions = 0;        // everything it sent, from "ID01" to "ID02"
    int exitCode = -1;
    QString problem;  // why the run does not count, if it does not
};

// Runs the comzelta-cli of this build against `station` (HOST:PORT) with `password` in its
// environment and `dataDirectory` as its data directory, until it exits or `timeoutMs` passes.
CliInventoryRun runCliInventory(const QString &station, const QString &password, const QString &dataDirectory,
                                int timeoutMs);
