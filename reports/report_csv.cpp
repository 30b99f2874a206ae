#include "reports/report_csv.h"

#include "reports/inventory_totals.h"
#include "reports/scheduled_fields.h"
#include "session/readings.h"
#include "session/series_tanks.h"
#include "tables/station_readings.h"

#include <algorithm>

namespace {

CsvCell numberOrText(const QString &field)
{
    if (const std::optional<double> number = completeNumber(field))
        return *number;
    const QString text = field.trimmed();
    return text.isEmpty() ? CsvCell() : CsvCell(text);
}

CsvCell readingDateTime(const QString &date, const QString &time)
{
    return dateTimeCell(controllerDateTime(date, time));
}

// "DD/MM/AA" and "HH:MM:SS" as the results window shows them, back to six digits.
QString withoutSeparators(const QString &shown)
{
    return shown.left(2) + shown.mid(3, 2) + shown.mid(6);
}

} // namespace

QList<CsvRow> inventoryRows(const StationReadings &readings)
{
    const int tanks = tanksInInventory(readings.tankCount());
    const TankTable leitura = leituraRows(readings.tanks(), tanks);
    const QList<int> semLeitura = tanksWithoutReading(leitura, readings.failures(), tanks);
    const QString incompleto = incompleteTotalText(semLeitura);
    const auto situacao = [&semLeitura](CsvRow row, const QString &text) {
        if (!semLeitura.isEmpty())
            row.append(text.isEmpty() ? CsvCell() : CsvCell(text));
        return row;
    };

    QList<CsvRow> rows{situacao({QStringLiteral("Tanque"), QStringLiteral("Vol. Medido"),
                                 QStringLiteral("Vol. Complementar"), QStringLiteral("Densidade"),
                                 QStringLiteral("Produto"), QStringLiteral("Data e Hora")},
                                QStringLiteral("Situação"))};
    for (int i = 1; i <= InventoryTanks; ++i) {
        const TankReading &row = leitura[i];
        if (semLeitura.contains(i)) {
            rows.append(situacao({double(i), {}, {}, {}, {}, {}}, readings.failures()[std::size_t(i)]));
            continue;
        }
        if (!hasReading(row))
            continue;
        rows.append(situacao({numberOrText(row.tank), numberOrText(row.measured), numberOrText(row.complementary),
                              numberOrText(row.density), row.product.trimmed(), readingDateTime(row.date, row.time)},
                             {}));
    }
    rows.append(CsvRow{});
    rows.append(situacao({QStringLiteral("Produto"), QStringLiteral("Vol. Medido"), QStringLiteral("Vol. Complementar")},
                         QStringLiteral("Situação")));
    // Rounded as the window shows them, then read back as numbers through a decimal point.
    for (const ProductTotal &total : productTotals(leitura, tanks, QLatin1Char('.')))
        rows.append(situacao({total.Produto.trimmed(), numberOrText(total.VolMed), numberOrText(total.VolCpl)},
                             incompleto));
    return rows;
}

QList<CsvRow> resultsRows(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes)
{
    QList<CsvRow> rows{{QStringLiteral("No."), QStringLiteral("Tanque"), QStringLiteral("Volume"),
                        QStringLiteral("Data e Hora")}};
    const int count = std::clamp(Num_Medicoes, 0, ScheduledCapacity);
    for (int k = 1; k <= count; ++k) {
        const ScheduledRecord &record = Tabela_Medicoes[std::size_t(k - 1)];
        rows.append(CsvRow{double(k), numberOrText(record.tank), numberOrText(record.volume),
                           readingDateTime(withoutSeparators(dateCell(record.date)),
                                           withoutSeparators(timeCell(record.time)))});
    }
    return rows;
}
