#include "stations/station_file_writer.h"

#include "codec/windows1252.h"
#include "stations/station_file_format.h"
#include "stations/station_paths.h"
#include "stations/stations_log.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace {

using Field = StationFileProblem::Field;
using Kind = StationFileProblem::Kind;

struct NamedField {
    const QString &text;
    Field name;
};

std::array<NamedField, 3> namedFields(const StationEntry &local)
{
    return {{{local.description, Field::Description}, {local.host, Field::Host}, {local.port, Field::Port}}};
}

Result<void, StationFileProblem> fieldProblem(Kind kind, int item, const NamedField &field)
{
    return failure(StationFileProblem{kind, {}, {}, item, field.name});
}

Result<void, StationFileProblem> checkField(int item, const NamedField &field)
{
    if (field.text.size() > qsizetype(stationfile::FieldWidth))
        return fieldProblem(Kind::FieldTooLong, item, field);
    // Each of these would split the line into further items when the file is read back.
    for (const QChar c : {QChar(u','), QChar(u'"'), QChar(u'\r'), QChar(u'\n')}) {
        if (field.text.contains(c))
            return fieldProblem(Kind::FieldSplitsLine, item, field);
    }
    if (fromWindows1252(toWindows1252(field.text)) != field.text)
        return fieldProblem(Kind::FieldNotWritable, item, field);
    return {};
}

Result<void, StationFileProblem> checkRow(int item, const StationEntry &local)
{
    const auto fields = namedFields(local);
    for (const NamedField &field : fields) {
        if (const Result<void, StationFileProblem> checked = checkField(item, field); !checked)
            return checked;
    }
    // Reading skips the spaces that start a line, which would shift every column of the entry.
    for (const NamedField &field : fields) {
        if (field.text.isEmpty())
            continue;
        if (field.text.startsWith(u' '))
            return fieldProblem(Kind::FieldStartsBlank, item, field);
        break;
    }
    return {};
}

stationfile::StationFields toFields(const StationEntry &local)
{
    return {toWindows1252(local.description), toWindows1252(local.host), toWindows1252(local.port)};
}

} // namespace

Result<void, StationFileProblem> checkWholeStation(int item, const StationEntry &local)
{
    const auto fields = namedFields(local);
    const auto blank = [](const NamedField &field) { return field.text.trimmed().isEmpty(); };
    if (std::all_of(fields.begin(), fields.end(), blank))
        return {};
    const auto empty = std::find_if(fields.begin(), fields.end(), blank);
    if (empty == fields.end())
        return {};
    return fieldProblem(Kind::PartialStation, item, *empty);
}

Result<void, StationFileProblem> checkStationRows(const StationTable &rows)
{
    for (int n = 1; n <= StationTable::Entries; ++n) {
        if (const Result<void, StationFileProblem> checked = checkRow(n, rows.entry(n)); !checked)
            return checked;
    }
    return {};
}

Result<void, StationFileProblem> saveStationFile(const QString &dataDirectory, const StationTable &rows)
{
    if (const Result<void, StationFileProblem> checked = checkStationRows(rows); !checked)
        return checked;
    if (!QDir().mkpath(dataDirectory))
        return failure(StationFileProblem{Kind::FolderNotCreated, dataDirectory, {}});

    std::array<stationfile::StationFields, stationfile::StationCount> stations;
    for (int n = 1; n <= StationTable::Entries; ++n)
        stations[std::size_t(n - 1)] = toFields(rows.entry(n));
    const std::string bytes = stationfile::formatFile(stations);

    const QString filePath = stationFilePath(dataDirectory);
    QSaveFile file(filePath);
    // The explicit flush matters: a full disk shows up only when the buffer reaches the file, and
    // commit() alone would then still put the short file in place of the good one.
    const bool written = file.open(QIODevice::WriteOnly)
            && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size())
            && file.flush()
            && file.commit();
    if (!written) {
        const StationFileProblem problem{Kind::WriteFailed, filePath, file.errorString()};
        qCInfo(lcStations).noquote() << stationFileProblemText(problem);
        return failure(problem);
    }
    return {};
}
