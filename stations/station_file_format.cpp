#include "stations/station_file_format.h"

#include "protocol/numeric_text.h"

#include <algorithm>

namespace stationfile {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Consumes one line end at pos: CR LF counts as one, as do a lone CR or a lone LF.
std::size_t skipLineEnd(std::string_view bytes, std::size_t pos)
{
    if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n')
        return pos + 2;
    return pos + 1;
}

std::string column(std::string_view item, std::size_t first)
{
    if (first >= item.size())
        return {};
    return zelta::trimSpaces(item.substr(first, FieldWidth));
}

void appendField(std::string &line, const std::string &field)
{
    if (field.empty())
        return;
    line += field;
    if (field.size() < FieldWidth)
        line.append(FieldWidth - field.size(), ' ');
}

} // namespace

ItemScan scanItems(std::string_view bytes, std::size_t maxItems)
{
    ItemScan scan;
    std::size_t pos = 0;
    std::size_t line = 1;
    // Every pass consumes at least one byte, so the loop ends with the data.
    while (pos < bytes.size()) {
        const std::size_t first = pos;
        while (pos < bytes.size() && bytes[pos] == ' ')
            ++pos;
        const ItemStart start{line, pos - first};
        std::string item;
        const bool kept = scan.items.size() < maxItems;
        while (pos < bytes.size() && bytes[pos] != ',' && !isLineEnd(bytes[pos])) {
            if (bytes[pos] != '"' && item.size() < ItemWidth)
                item.push_back(bytes[pos]);
            ++pos;
        }
        if (pos < bytes.size()) {
            if (bytes[pos] == ',') {
                ++pos;
            } else {
                pos = skipLineEnd(bytes, pos);
                ++line;
            }
        }
        if (kept) {
            scan.items.push_back(std::move(item));
            scan.starts.push_back(start);
        } else if (!item.empty()) {
            ++scan.itemsBeyond;
        }
    }
    return scan;
}

std::vector<std::string> readItems(std::string_view bytes, std::size_t maxItems)
{
    return scanItems(bytes, maxItems).items;
}

StationFields splitColumns(std::string_view item)
{
    return {column(item, 0), column(item, FieldWidth), column(item, 2 * FieldWidth)};
}

std::string formatLine(const StationFields &fields)
{
    std::string line;
    line.reserve(ItemWidth + 2);
    appendField(line, fields.description);
    appendField(line, fields.host);
    appendField(line, fields.port);
    line += "\r\n";
    return line;
}

std::string formatFile(const std::array<StationFields, StationCount> &stations)
{
    std::string file;
    for (const StationFields &station : stations)
        file += formatLine(station);
    return file;
}

} // namespace stationfile
