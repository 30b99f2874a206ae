#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

struct ParallelChoice {
    int parallel = 0;  // for the scheduler: 0 every station at once
    QString note;      // why the request was lowered, in Portuguese; empty when it was not
};

// Each running poll holds a socket, so no more may run at once than the open-file limit leaves
// room for beside the program's own files. `requested` is --parallel (0: every station);
// `openFileLimit` empty: none. Kept as requested when it fits; at least one poll always runs.
ParallelChoice parallelWithinFileLimit(int requested, int stations, std::optional<qint64> openFileLimit);

// Descriptors kept out of the polls' share: the standard streams, the event loops' wake-up
// descriptors, the history (SQLite's file, journal and shared memory, or a PostgreSQL socket),
// the frame log, the --on-alarm commands' pipes and what Qt opens for itself.
inline constexpr int ReservedFiles = 32;
