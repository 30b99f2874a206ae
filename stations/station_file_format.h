#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Byte-level layout of the station list: 40 lines of up to three 30-column fields, single-byte
// text. Kept free of Qt so it can be exercised with arbitrary bytes on its own.
namespace stationfile {

constexpr std::size_t StationCount = 40;
constexpr std::size_t FieldWidth = 30;
// Columns past the third field are ignored on reading, so an item never needs more than this.
constexpr std::size_t ItemWidth = 3 * FieldWidth;

struct StationFields {
    std::string description;
    std::string host;
    std::string port;

    bool operator==(const StationFields &other) const
    {
        return description == other.description && host == other.host && port == other.port;
    }
};

// Where an item starts: its line, from 1, and the spaces skipped before it.
struct ItemStart {
    std::size_t line = 1;
    std::size_t spaces = 0;
};

struct ItemScan {
    std::vector<std::string> items;
    std::vector<ItemStart> starts;  // one per item
    std::size_t itemsBeyond = 0;    // items after maxItems that are not empty
};

// Reads the file item by item: an item starts at the first character that is not a space and ends
// at a comma or at the end of its line (CR LF, LF or a lone CR); a blank line is one empty item;
// double quotes are dropped. Keeps maxItems items and counts the rest. Each item keeps only its
// first ItemWidth characters.
ItemScan scanItems(std::string_view bytes, std::size_t maxItems = StationCount);

// The items of scanItems alone.
std::vector<std::string> readItems(std::string_view bytes, std::size_t maxItems = StationCount);

// Columns 1-30, 31-60 and 61-90 of an item, each stripped of leading and trailing spaces.
StationFields splitColumns(std::string_view item);

// One line of the file, CR LF included: each non-empty field padded with spaces to FieldWidth,
// empty fields left out. Fields must already fit in FieldWidth bytes.
std::string formatLine(const StationFields &fields);

// The whole file: one line per station, in order.
std::string formatFile(const std::array<StationFields, StationCount> &stations);

} // namespace stationfile
