#include "closing/totaliser.h"

#include <cmath>

double totaliserModulus(int digits)
{
    return std::pow(10.0, digits - 2);
}

std::optional<double> totaliserSales(double opening, double closing, double calibration, int digits)
{
    const double modulus = totaliserModulus(digits);
    if (digits < 3 || opening < 0 || closing < 0 || opening >= modulus || closing >= modulus || calibration < 0)
        return std::nullopt;
    // In hundredths, so that 999999,99 → 0,01 is exactly 0,02 litres.
    long long counted = std::llround(closing * 100) - std::llround(opening * 100);
    if (counted < 0)
        counted += std::llround(modulus * 100);
    const long long sold = counted - std::llround(calibration * 100);
    if (sold < 0)
        return std::nullopt;
    return double(sold) / 100;
}
