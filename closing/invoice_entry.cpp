#include "closing/invoice_entry.h"

#include "alarms/alarm_config.h"
#include "closing/closing_day.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MatchTolerance = 0.05;

std::optional<double> riseOf(const DeliveryRecord &delivery, VolumeBasis basis)
{
    return basis == VolumeBasis::At20C ? delivery.rise20 : delivery.measuredRise;
}

// Whether the controller's product can be the line's: the one the operator mapped it to, or else
// one whose every word the supplier's name holds ("DIESEL S10" in "OLEO DIESEL B S10"). Litres
// alone would put an invoice of diesel in the ethanol tank that took as much that day.
bool productFits(const InvoiceItem &item, const QString &product, const QMap<QString, QString> &mapping)
{
    const QString mapped = mapping.value(item.product, mapping.value(item.anpCode));
    if (!mapped.isEmpty())
        return plainName(mapped) == plainName(product);
    const QStringList supplierWords = plainName(item.product).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList words = plainName(product).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return !words.isEmpty()
           && std::all_of(words.cbegin(), words.cend(), [&](const QString &word) { return supplierWords.contains(word); });
}

// The deliveries of the line's product after the issue whose rises make the line's litres.
QList<DeliveryRecord> matchedDeliveries(const InvoiceItem &item, const Invoice &invoice, const EntryInputs &inputs)
{
    QMap<QString, QList<DeliveryRecord>> byProduct;
    for (const DeliveryRecord &delivery : inputs.deliveries) {
        const qint64 after = invoice.issuedAt.secsTo(delivery.startedAt);
        if (after >= -3600 && after <= qint64(DeliveryWindowHours) * 3600 && riseOf(delivery, inputs.basis)
            && productFits(item, delivery.product, inputs.mapping))
            byProduct[delivery.product] << delivery;
    }
    for (const QList<DeliveryRecord> &deliveries : std::as_const(byProduct)) {
        double rise = 0;
        for (const DeliveryRecord &delivery : deliveries)
            rise += *riseOf(delivery, inputs.basis);
        if (std::abs(rise - item.litres) <= item.litres * MatchTolerance)
            return deliveries;
    }
    return {};
}

QList<TankShare> sharedByRise(const QList<DeliveryRecord> &deliveries, double litres, VolumeBasis basis)
{
    double total = 0;
    for (const DeliveryRecord &delivery : deliveries)
        total += *riseOf(delivery, basis);
    QMap<int, double> byTank;
    for (const DeliveryRecord &delivery : deliveries)
        byTank[delivery.tank] += *riseOf(delivery, basis);
    QList<TankShare> shares;
    for (auto tank = byTank.cbegin(); tank != byTank.cend(); ++tank)
        shares << TankShare{tank.key(), std::round(litres * tank.value() / total * 100) / 100, false};
    return shares;
}

} // namespace

Result<InvoiceRecord, EntryProblem> invoiceEntry(const Invoice &invoice, const EntryInputs &inputs, std::optional<QDate> day,
                                                 std::optional<int> typedTank)
{
    if (typedTank && !inputs.tanks.contains(*typedTank))
        return failure(EntryProblem{EntryProblem::NoSuchTank, QString::number(*typedTank)});
    InvoiceRecord record{0, invoice.accessKey, invoice.number, invoice.series, invoice.issuedAt, invoice.supplierName,
                         invoice.supplierCnpj, {}, {}};
    QDateTime arrived;
    for (const InvoiceItem &item : invoice.items) {
        InvoiceLineRecord line{item.product, item.anpCode, {}, item.litres, item.pricePerLitre, {}};
        const QList<DeliveryRecord> deliveries = matchedDeliveries(item, invoice, inputs);
        if (!deliveries.isEmpty()) {
            line.product = deliveries.first().product;
            line.tanks = sharedByRise(deliveries, item.litres, inputs.basis);
            for (const DeliveryRecord &delivery : deliveries)
                if (!arrived.isValid() || delivery.endedAt > arrived)
                    arrived = delivery.endedAt;
        } else {
            line.product = inputs.mapping.value(item.product, inputs.mapping.value(item.anpCode));
            if (typedTank)
                line.product = inputs.tanks.value(*typedTank);
            if (line.product.isEmpty())
                return failure(EntryProblem{EntryProblem::UnknownProduct, item.product});
        }
        if (typedTank) {
            line.tanks = {TankShare{*typedTank, item.litres, true}};
        } else if (line.tanks.isEmpty()) {
            const QList<int> ofProduct = inputs.tanks.keys(line.product);
            if (ofProduct.size() != 1)
                return failure(EntryProblem{EntryProblem::TanksUnknown, line.product});
            line.tanks = {TankShare{ofProduct.first(), item.litres, false}};
        }
        record.lines << line;
    }
    const QDateTime entered = arrived.isValid() ? arrived : invoice.issuedAt;
    record.day = day.value_or(ClosingDay::containing(entered, inputs.closingHour, inputs.zone).date);
    return record;
}
