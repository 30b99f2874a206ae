#include "reports/report_csv.h"

#include "reports/inventory_totals.h"
#include "reports/scheduled_fields.h"
#include "session/readings.h"

#include <algorithm>

namespace {

CsvCell numberOrText(const QString &field)
{
    if (const std::optional<double> number = completeNumber(field))
        return *number;
    const QString text = field.trimmed();
    return text.isEmpty() ? CsvCell() : CsvCell(text);
}

// "DD/MM/AA" and "HH:MM:SS" as the windows show them, back to the controller's six digits.
QString withoutSeparators(const QString &shown)
{
    return shown.left(2) + shown.mid(3, 2) + shown.mid(6);
}

CsvCell shownDateTime(const QString &date, const QString &time)
{
    return dateTimeCell(controllerDateTime(withoutSeparators(date), withoutSeparators(time)));
}

} // namespace

QList<CsvRow> inventoryRows(const TankTable &Tabela_Tanques, double Num_Tanques)
{
    const int tanks = tanksInInventory(Num_Tanques);
    const TankTable leitura = leituraRows(Tabela_Tanques, tanks);
    QList<CsvRow> rows{{QStringLiteral("Tanque"), QStringLiteral("Vol. Medido"), QStringLiteral("Vol. Complementar"),
                        QStringLiteral("Densidade"), QStringLiteral("Produto"), QStringLiteral("Data e Hora")}};
    for (int i = 1; i <= InventoryTanks; ++i) {
        const TankReading &row = leitura[i];
        if (!hasReading(row))
            continue;
        rows.append(CsvRow{numberOrText(row[0]), numberOrText(row[1]), numberOrText(row[2]), numberOrText(row[3]),
                           row[4].trimmed(), shownDateTime(row[5], row[6])});
    }
    rows.append(CsvRow{});
    rows.append(CsvRow{QStringLiteral("Produto"), QStringLiteral("Vol. Medido"), QStringLiteral("Vol. Complementar")});
    // Rounded as the window shows them, then read back as numbers through a decimal point.
    for (const ProductTotal &total : productTotals(leitura, tanks, QLatin1Char('.')))
        rows.append(CsvRow{total.Produto.trimmed(), numberOrText(total.VolMed), numberOrText(total.VolCpl)});
    return rows;
}

QList<CsvRow> resultsRows(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes)
{
    QList<CsvRow> rows{{QStringLiteral("No."), QStringLiteral("Tanque"), QStringLiteral("Volume"),
                        QStringLiteral("Data e Hora")}};
    const int count = std::clamp(Num_Medicoes, 0, ScheduledCapacity);
    for (int k = 1; k <= count; ++k) {
        const ScheduledRecord &record = Tabela_Medicoes[std::size_t(k - 1)];
        rows.append(CsvRow{double(k), numberOrText(record[3]), numberOrText(record[2]),
                           shownDateTime(dateCell(record[0]), timeCell(record[1]))});
    }
    return rows;
}
