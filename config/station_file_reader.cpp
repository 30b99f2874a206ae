#include "config/station_file_reader.h"

#include "codec/windows1252.h"
#include "config/station_file_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::optional<QVector<Local>> failure(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

} // namespace

std::optional<QVector<Local>> readStationItems(const QString &filePath, QString *error)
{
    const QString shownPath = QDir::toNativeSeparators(filePath);
    const QFileInfo info(filePath);
    if (!info.exists())
        return failure(error, QStringLiteral("O arquivo %1 não existe.").arg(shownPath));
    // A directory, pipe or device would fail the read or block it.
    if (!info.isFile())
        return failure(error, QStringLiteral("%1 não é um arquivo comum.").arg(shownPath));

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return failure(error, QStringLiteral("Não foi possível abrir o arquivo %1.").arg(shownPath));
    const QByteArray bytes = file.read(MaxStationFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(error, QStringLiteral("Erro ao ler o arquivo %1.").arg(shownPath));
    if (bytes.size() > MaxStationFileBytes) {
        return failure(error, QStringLiteral("O arquivo %1 é grande demais para uma lista de locais.")
                                      .arg(shownPath));
    }

    QVector<Local> items;
    const auto rawItems =
            stationfile::readItems(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    for (const std::string &rawItem : rawItems) {
        const stationfile::StationFields fields = stationfile::splitColumns(rawItem);
        items.append({fromWindows1252(fields.Descricao), fromWindows1252(fields.IP),
                      fromWindows1252(fields.Port)});
    }
    return items;
}
