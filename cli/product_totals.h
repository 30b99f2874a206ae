#pragma once

#include "cli/command_report.h"

#include <QList>
#include <QString>

#include <optional>

// An inventory's totals for one product in one unit: litres and kilograms are never added.
struct ProductTotal {
    QString product;  // blanks around it removed
    QString unit;     // "L" or "kg"
    // Nothing when a tank's value is not a complete number (a cut complementary field, say):
    // a sum that leaves a tank out would look right and be wrong.
    std::optional<double> measured;
    std::optional<double> complementary;
    // The tanks of the inventory without a reading: any of them may hold this product.
    QList<int> missingTanks;
};

// Over the tanks that answered with a measurement, in the order products first appear.
QList<ProductTotal> productTotals(const QList<TankAnswer> &tanks);
