#pragma once

#include "tables/report_tables.h"

#include <QChar>
#include <QList>
#include <QString>
#include <vector>

// The inventory window has 16 tank rows: tanks 1..n take part, n being the declared tank count
// cut to 16 (none before a configuration).
inline constexpr int InventoryTanks = 16;
int tanksInInventory(int tankCount);

// A tank has a reading when its tank-number text is not blank.
bool hasReading(const TankReading &row);

// The rows of `Leitura` by tank number: each of tanks 1..tanks that has a reading keeps its
// stored fields, every other row is empty.
TankTable leituraRows(const TankTable &Tabela_Tanques, int tanks);

struct ProductTotal
{
    QString Produto;
    QString VolMed; // sum of measured volumes, double precision, up to 15 significant digits
    QString VolCpl; // sum of complementary volumes, single precision, up to 7 significant digits
};

// The tanks among 1..tanks of `Leitura` that answered the last inventory without a reading: every
// total leaves them out, whatever product they hold.
QList<int> tanksWithoutReading(const TankTable &leitura, const TankFailures &Tabela_Falhas, int tanks);

// Totals by product over tanks 1..tanks of `Leitura`, products in the order of the first tank
// holding them. Products are told apart by their exact text, blanks included.
std::vector<ProductTotal> productTotals(const TankTable &leitura, int tanks, QChar decimalSeparator);

// A number as plain decimal text: rounded to the given significant digits, no exponent,
// grouping or trailing zeros.
QString plainDecimal(double value, int significantDigits, QChar decimalSeparator);
