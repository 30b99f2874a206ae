// Any bytes as a station list file: reading stays within 40 items of three 30-column fields.
// The same input also makes up 40 stations; those the writer would accept come back from a
// write and a read as the layout promises.

#include "stations/station_file_format.h"
#include "fuzz/byte_source.h"
#include "fuzz/fuzz_check.h"
#include "protocol/numeric_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using stationfile::FieldWidth;
using stationfile::StationCount;
using stationfile::StationFields;

namespace {

bool isTrimmed(const std::string &text)
{
    return text.empty() || (text.front() != ' ' && text.back() != ' ');
}

void checkColumns(const std::string &item)
{
    const StationFields fields = stationfile::splitColumns(item);
    for (const std::string *column : {&fields.description, &fields.host, &fields.port}) {
        FUZZ_CHECK(column->size() <= FieldWidth);
        FUZZ_CHECK(isTrimmed(*column));
        FUZZ_CHECK(item.find(*column) != std::string::npos);
    }
}

void checkReading(std::string_view bytes)
{
    const std::vector<std::string> items = stationfile::readItems(bytes);
    FUZZ_CHECK(items.size() <= StationCount);
    for (const std::string &item : items) {
        FUZZ_CHECK(item.size() <= stationfile::ItemWidth);
        // Separators end items and quotes are dropped. (An item may still start with a space:
        // the spaces before it are skipped, but not those behind a quote that opens it.)
        FUZZ_CHECK(item.find_first_of(",\"\r\n") == std::string::npos);
        checkColumns(item);
    }

    // The limit only cuts the list short: the first 40 of an unlimited read are the same items.
    const std::vector<std::string> all =
            stationfile::readItems(bytes, std::numeric_limits<std::size_t>::max());
    FUZZ_CHECK(all.size() <= bytes.size());
    FUZZ_CHECK(all.size() >= items.size());
    FUZZ_CHECK(std::equal(items.begin(), items.end(), all.begin()));
    FUZZ_CHECK(items.size() == StationCount || items.size() == all.size());
}

// The editor's rules for a field that can be saved.
bool writerAcceptsField(const std::string &field)
{
    return field.size() <= FieldWidth && field.find_first_of(",\"\r\n") == std::string::npos;
}

// Every field acceptable, and the first non-empty one not starting with a space: reading skips
// the spaces that start a line.
bool writerAccepts(const StationFields &station)
{
    const std::array<const std::string *, 3> fields{&station.description, &station.host, &station.port};
    for (const std::string *field : fields) {
        if (!writerAcceptsField(*field))
            return false;
    }
    for (const std::string *field : fields) {
        if (!field->empty())
            return field->front() != ' ';
    }
    return true;
}

// What reading gives back for a written station: the non-empty fields move left into the
// columns of the empty ones, and each loses its surrounding spaces.
StationFields readBackOf(const StationFields &station)
{
    std::vector<std::string> columns;
    for (const std::string *field : {&station.description, &station.host, &station.port}) {
        if (!field->empty())
            columns.push_back(zelta::trimSpaces(*field));
    }
    columns.resize(3);
    return {columns[0], columns[1], columns[2]};
}

// A field length of 0 to 33, so that fields a little too long turn up too.
std::string nextField(ByteSource &source)
{
    constexpr std::size_t LengthChoices = FieldWidth + 4;
    return std::string(source.take(source.byte() % LengthChoices));
}

void checkRoundTrip(const std::uint8_t *data, std::size_t size)
{
    ByteSource source(data, size);
    std::array<StationFields, StationCount> stations;
    for (StationFields &station : stations) {
        StationFields candidate{nextField(source), nextField(source), nextField(source)};
        // The editor refuses to save such a station; leaving it empty lets the rest go through.
        if (writerAccepts(candidate))
            station = candidate;
    }

    const std::string file = stationfile::formatFile(stations);
    const std::vector<std::string> items = stationfile::readItems(file);
    FUZZ_CHECK(items.size() == StationCount);
    for (std::size_t n = 0; n < StationCount; ++n) {
        FUZZ_CHECK(stationfile::formatLine(stations[n]).size() <= stationfile::ItemWidth + 2);
        FUZZ_CHECK(stationfile::splitColumns(items[n]) == readBackOf(stations[n]));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkReading(std::string_view(reinterpret_cast<const char *>(data), size));
    checkRoundTrip(data, size);
    return 0;
}
