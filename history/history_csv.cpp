#include "history/history_csv.h"

namespace {

CsvCell numberCell(const std::optional<double> &value)
{
    return value ? CsvCell(*value) : CsvCell();
}

}  // namespace

QList<CsvRow> historyCsvRows(const QList<StoredMeasurement> &rows)
{
    QList<CsvRow> csv{{QStringLiteral("Data/Hora"), QStringLiteral("Tanque"), QStringLiteral("Produto"),
                       QStringLiteral("Unidade"), QStringLiteral("Vol. Medido"), QStringLiteral("Vol. Medido a 20°C"),
                       QStringLiteral("Nível Produto (mm)"), QStringLiteral("Vol. Complementar"),
                       QStringLiteral("Densidade (g/l)"), QStringLiteral("Comando"), QStringLiteral("Origem")}};
    for (const StoredMeasurement &row : rows) {
        csv << CsvRow{dateTimeCell(row.measuredAt.isValid() ? std::optional(row.measuredAt) : std::nullopt),
                      double(row.tank),
                      row.product,
                      row.unit,
                      numberCell(row.measured),
                      numberCell(row.volume20),
                      numberCell(row.levelMm),
                      numberCell(row.complementary),
                      numberCell(row.density),
                      row.command,
                      row.origin};
    }
    return csv;
}
