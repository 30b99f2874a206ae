#pragma once

#include "tables/report_tables.h"

#include <QChar>
#include <QString>
#include <vector>

// The inventory window has 16 tank rows: tanks 1..n take part, n being Num_Tanques cut to 16
// (fractions dropped; no configuration yet, a negative or unreadable count mean none).
inline constexpr int InventoryTanks = 16;
int tanksInInventory(double Num_Tanques);

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

// Totals by product over tanks 1..tanks of `Leitura`, products in the order of the first tank
// holding them. Products are told apart by their exact text, blanks included.
std::vector<ProductTotal> productTotals(const TankTable &leitura, int tanks, QChar decimalSeparator);

// A number as plain decimal text: rounded to the given significant digits, no exponent,
// grouping or trailing zeros.
QString plainDecimal(double value, int significantDigits, QChar decimalSeparator);
