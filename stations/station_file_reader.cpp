#include "stations/station_file_reader.h"

#include "codec/file_text.h"
#include "codec/windows1252.h"
#include "stations/station_file_format.h"
#include "stations/stations_log.h"

#include <QFile>

namespace {

StationEntry local(const stationfile::StationFields &fields)
{
    return {fromWindows1252(fields.description), fromWindows1252(fields.host), fromWindows1252(fields.port)};
}

Result<StationFile, StationFileProblem> readItems(const QString &filePath)
{
    using Kind = StationFileProblem::Kind;
    QFile file(filePath);
    QString problem;
    if (!openRegularFile(file, &problem))
        return failure(StationFileProblem{Kind::NotOpened, filePath, problem});
    const QByteArray bytes = file.read(MaxStationFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(StationFileProblem{Kind::ReadFailed, filePath, fileErrorText(file)});
    if (bytes.size() > MaxStationFileBytes)
        return failure(StationFileProblem{Kind::TooLarge, filePath, {}});

    StationFile read;
    const stationfile::ItemScan scan =
            stationfile::scanItems(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    read.itemsBeyond = int(scan.itemsBeyond);
    for (std::size_t i = 0; i < scan.items.size(); ++i) {
        const std::string &rawItem = scan.items[i];
        const stationfile::ItemStart &start = scan.starts[i];
        StationItem item{local(stationfile::splitColumns(rawItem)), int(start.line), std::nullopt};
        if (start.spaces >= stationfile::FieldWidth && !rawItem.empty())
            item.withoutDescription = local(stationfile::splitColumns(std::string(start.spaces, ' ') + rawItem));
        read.items.append(item);
    }
    return read;
}

} // namespace

Result<StationFile, StationFileProblem> readStationFile(const QString &filePath)
{
    const Result<StationFile, StationFileProblem> read = readItems(filePath);
    if (!read)
        qCDebug(lcStations).noquote() << stationFileProblemText(read.error());
    return read;
}

Result<QVector<StationEntry>, StationFileProblem> readStationItems(const QString &filePath)
{
    const Result<StationFile, StationFileProblem> read = readStationFile(filePath);
    if (!read)
        return failure(read.error());
    QVector<StationEntry> items;
    for (const StationItem &item : read->items)
        items.append(item.fields);
    return items;
}
