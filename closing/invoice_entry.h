#pragma once

#include "base/result.h"
#include "imports/invoice.h"
#include "store/closing_rows.h"

#include <QDate>
#include <QMap>
#include <QTimeZone>

// Why an invoice could not be placed in the book.
struct EntryProblem {
    enum Kind {
        UnknownProduct,  // value: the supplier's name for it, found in no delivery and no mapping
        TanksUnknown,    // value: the product, with several tanks and no delivery to share it by
        NoSuchTank,      // value: the tank typed
        DayClosed,       // value: the day it would enter, AAAA-MM-DD, closed in the book
    };
    Kind kind;
    QString value;
};

// How long after its issue an invoice's fuel may reach the tanks.
constexpr int DeliveryWindowHours = 48;

// The invoice as the book enters it: each line's product and tanks, and its day.
// - A line goes to the deliveries of one product that began after the invoice was issued and
//   whose rises add up to its litres (within 5 %), shared in proportion to the rises.
// - Failing that, the operator's mapping (the supplier's name, or the ANP code, to the product)
//   names the product, and its one tank takes it all, or its deliveries share it.
// - `typedTank` puts every line in that tank.
// The day is the one in which its deliveries ended, else the day it was issued, unless `day`.
struct EntryInputs {
    QList<DeliveryRecord> deliveries;       // around the invoice's issue
    QMap<QString, QString> mapping;         // supplier's name or ANP code → product
    QMap<int, QString> tanks;               // the station's tanks and their products
    VolumeBasis basis = VolumeBasis::Measured;
    QTime closingHour{0, 0};
    QTimeZone zone;
};

Result<InvoiceRecord, EntryProblem> invoiceEntry(const Invoice &invoice, const EntryInputs &inputs, std::optional<QDate> day,
                                                 std::optional<int> typedTank);
