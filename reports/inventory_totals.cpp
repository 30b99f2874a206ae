#include "reports/inventory_totals.h"

#include "protocol/numeric_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

double numericValue(const QString &cell)
{
    return zelta::leadingNumber(cell.toStdString());
}

} // namespace

bool hasReading(const TankReading &row)
{
    return !zelta::trimSpaces(row.tank.toStdString()).empty();
}

int tanksInInventory(int tankCount)
{
    return std::clamp(tankCount, 0, InventoryTanks);
}

TankTable leituraRows(const TankTable &Tabela_Tanques, int tanks)
{
    TankTable rows;
    tanks = tanksInInventory(tanks);
    for (int i = 1; i <= tanks; ++i) {
        if (hasReading(Tabela_Tanques[i]))
            rows[i] = Tabela_Tanques[i];
    }
    return rows;
}

QList<int> tanksWithoutReading(const TankTable &leitura, const TankFailures &Tabela_Falhas, int tanks)
{
    QList<int> missing;
    tanks = tanksInInventory(tanks);
    for (int i = 1; i <= tanks; ++i) {
        if (!hasReading(leitura[i]) && !Tabela_Falhas[i].isEmpty())
            missing << i;
    }
    return missing;
}

std::vector<ProductTotal> productTotals(const TankTable &leitura, int tanks, QChar decimalSeparator)
{
    std::vector<ProductTotal> totals;
    std::array<bool, TankRows> totalled{};
    tanks = tanksInInventory(tanks);
    for (int i = 1; i <= tanks; ++i) {
        if (totalled[i] || !hasReading(leitura[i]))
            continue;
        const QString &product = leitura[i].product;
        double volMed = 0.0;
        float volCpl = 0.0f;
        // Rows without a reading take part too when the product is empty; their cells add 0.
        for (int k = i; k <= tanks; ++k) {
            if (leitura[k].product != product)
                continue;
            totalled[k] = true;
            volMed += numericValue(leitura[k].measured);
            volCpl = float(double(volCpl) + numericValue(leitura[k].complementary));
        }
        totals.push_back({product, plainDecimal(volMed, 15, decimalSeparator),
                          plainDecimal(volCpl, 7, decimalSeparator)});
    }
    return totals;
}

QString plainDecimal(double value, int significantDigits, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return QString::number(value);

    // "%.*e" rounds to the significant digits; the mantissa and exponent are then laid out
    // without exponent notation.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significantDigits - 1, value);
    const QString scientific = QString::fromLatin1(buffer);
    const int e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = scientific.mid(e + 1).toInt();
    const bool negative = scientific.startsWith(QLatin1Char('-'));
    QString digits = scientific.left(e).remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    if (digits.isEmpty())
        return QStringLiteral("0");

    const int integerDigits = exponent + 1;
    QString text;
    if (integerDigits <= 0)
        text = QLatin1Char('0') + decimalSeparator + QString(-integerDigits, QLatin1Char('0')) + digits;
    else if (integerDigits >= digits.size())
        text = digits + QString(integerDigits - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(integerDigits) + decimalSeparator + digits.mid(integerDigits);
    return negative ? QLatin1Char('-') + text : text;
}
