#pragma once

#include <QString>

#include <array>
#include <cstddef>

struct StationEntry {
    QString description;
    QString host;
    QString port;

    bool operator==(const StationEntry &other) const
    {
        return description == other.description && host == other.host && port == other.port;
    }
};

// The 40 stations, numbered from 1 like the lines of the station file and the rows of the editor.
class StationTable
{
public:
    static constexpr int Entries = 40;

    StationEntry &entry(int n) { return entries_.at(std::size_t(n - 1)); }
    const StationEntry &entry(int n) const { return entries_.at(std::size_t(n - 1)); }

private:
    std::array<StationEntry, Entries> entries_;
};
