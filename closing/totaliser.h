#pragma once

#include <optional>

// The litres a nozzle sold between two readings of its totaliser, which counts up to the last
// value its digits hold (two of them decimals) and rolls over to zero: 999999,99 then 0,00 with
// eight digits. Calibration drawn and poured back into the tank is taken off. Nothing when the
// readings cannot be right: a digit count the reading does not fit, or more than one roll-over.
std::optional<double> totaliserSales(double opening, double closing, double calibration, int digits);

// The value at which a totaliser of `digits` digits rolls over to zero.
double totaliserModulus(int digits);
