#include "closing_month/month_history.h"

#include "closing_month/bulk_insert.h"
#include "store/sql_dialect.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int NozzlesPerTank = 2;
constexpr int InvoicesPerStation = 6;
constexpr double DeliveredLitres = 15000;
constexpr double StartingLitres = 30000;
constexpr double LossPerHour = 0.08;       // what the gauge sees go beyond the nozzles' sales
constexpr double CalibrationLitres = 20;   // drawn and poured back, on nozzle 1 every 7th day
const QTime InventoryTimes[] = {{0, 5}, {8, 0}, {14, 0}, {14, 30}, {20, 0}, {23, 50}};
const QTime DeliveryStart(14, 0);
const QTime DeliveryEnd(14, 30);

// Litres an hour the nozzles of a tank sell: 600 to 1,400 a day.
double rate(int station, int tank)
{
    return 20 + (station % 7) * 3 + tank * 5;
}

struct Delivery {
    int tank;
    QDate day;
    QDateTime start;
    QDateTime end;
};

// The same days at every station: a tank's delivery comes every 20 days.
std::vector<Delivery> deliveries(const MonthPlan &plan)
{
    std::vector<Delivery> list;
    for (int i = 0; i < InvoicesPerStation; ++i) {
        const QDate day = plan.first.addDays(2 + 5 * i);
        list.push_back({i % TanksPerStation + 1, day, QDateTime(day, DeliveryStart, planZone()).toUTC(),
                        QDateTime(day, DeliveryEnd, planZone()).toUTC()});
    }
    return list;
}

class MonthWriter {
public:
    MonthWriter(QSqlDatabase &db, const MonthPlan &plan)
        : db_(db), plan_(plan), dialect_(dialectOf(db)), origin_(QDateTime(plan.first.addDays(-1), QTime(0, 0), planZone())),
          deliveries_(deliveries(plan))
    {
    }

    bool write()
    {
        for (int station = 1; station <= plan_.stations; ++station)
            if (!writeStation(station))
                return false;
        return stations_.flush() && settings_.flush() && nozzles_.flush() && totalisers_.flush() && measurements_.flush()
               && inventories_.flush() && items_.flush() && invoices_.flush() && invoiceItems_.flush()
               && invoiceTanks_.flush() && deliveryRows_.flush();
    }

private:
    double hoursAt(const QDateTime &at) const { return origin_.secsTo(at) / 3600.0; }

    double level(int station, int tank, const QDateTime &at) const
    {
        double litres = StartingLitres - (rate(station, tank) + LossPerHour) * hoursAt(at);
        for (const Delivery &delivery : deliveries_)
            if (delivery.tank == tank && at > delivery.start)
                litres += DeliveredLitres * std::min(1.0, delivery.start.secsTo(at) / double(delivery.start.secsTo(delivery.end)));
        return litres;
    }

    int calibrationsBefore(QDate day) const
    {
        int count = 0;
        for (QDate d = plan_.first; d < day; d = d.addDays(1))
            count += d.day() % 7 == 0;
        return count;
    }

    // A nozzle's totaliser at an instant; nozzle 1 of each tank sells 60 %, nozzle 2 40 %.
    double totaliser(int station, int tank, int nozzle, const QDateTime &at, int calibrations) const
    {
        const double share = nozzle == 1 ? 0.6 : 0.4;
        const double counted = 100000 + station * 10 + tank * 1000 + share * rate(station, tank) * hoursAt(at)
                               + (nozzle == 1 ? calibrations * CalibrationLitres : 0);
        return std::round(counted * 100) / 100;
    }

    bool writeStation(int station)
    {
        if (!stations_.add({station, QStringLiteral("Posto %1").arg(station), QStringLiteral("10.%1.%2.%3").arg(station / 65536).arg(station / 256 % 256).arg(station % 256),
                            QStringLiteral("%1").arg(station, 6, 10, QLatin1Char('0')), planZone().id()})
            || !settings_.add({station, 0}))
            return false;
        for (int tank = 1; tank <= TanksPerStation; ++tank)
            for (int nozzle = 1; nozzle <= NozzlesPerTank; ++nozzle)
                if (!nozzles_.add({station, (tank - 1) * NozzlesPerTank + nozzle, tank, tank, true}))
                    return false;
        return writeTotalisers(station) && writeInventories(station) && writeInvoices(station);
    }

    bool writeTotalisers(int station)
    {
        for (QDate day = plan_.first; day <= plan_.last; day = day.addDays(1)) {
            const QDateTime start(day, QTime(0, 0), planZone());
            const QDateTime end(day.addDays(1), QTime(0, 0), planZone());
            const int before = calibrationsBefore(day);
            const bool calibrated = day.day() % 7 == 0;
            for (int tank = 1; tank <= TanksPerStation; ++tank)
                for (int nozzle = 1; nozzle <= NozzlesPerTank; ++nozzle) {
                    const double calibration = nozzle == 1 && calibrated ? CalibrationLitres : 0;
                    if (!totalisers_.add({station, day.toString(Qt::ISODate), (tank - 1) * NozzlesPerTank + nozzle,
                                          totaliser(station, tank, nozzle, start, before),
                                          totaliser(station, tank, nozzle, end, before + (calibration > 0)), calibration}))
                        return false;
                }
        }
        return true;
    }

    bool writeInventories(int station)
    {
        for (QDate day = plan_.first.addDays(-1); day <= plan_.last.addDays(1); day = day.addDays(1))
            for (const QTime &time : InventoryTimes) {
                const QDateTime at = QDateTime(day, time, planZone()).toUTC();
                const QVariant stored = dialect_.timeValue(at);
                if (!inventories_.add({++inventory_, station, stored, QStringLiteral("poll")}))
                    return false;
                for (int tank = 1; tank <= TanksPerStation; ++tank) {
                    const double litres = std::round(level(station, tank, at));
                    if (!measurements_.add({++measurement_, station, tank, productOfTank(tank), QStringLiteral("L"), litres,
                                            std::round(litres * 0.996), stored, stored, QStringLiteral("MA"),
                                            QStringLiteral("poll")})
                        || !items_.add({inventory_, measurement_}))
                        return false;
                }
            }
        return true;
    }

    bool writeInvoices(int station)
    {
        for (const Delivery &delivery : deliveries_) {
            ++invoice_;
            const QString product = productOfTank(delivery.tank);
            if (!invoices_.add({invoice_, station, QStringLiteral("%1").arg(invoice_, 44, 10, QLatin1Char('0')),
                                QString::number(invoice_), QStringLiteral("1"),
                                dialect_.timeValue(QDateTime(delivery.day, QTime(8, 0), planZone()).toUTC()),
                                QStringLiteral("Distribuidora Boa Viagem"), QStringLiteral("12345678000190"),
                                delivery.day.toString(Qt::ISODate), dialect_.timeValue(delivery.end)})
                || !invoiceItems_.add({invoice_, 1, product, QStringLiteral("320102001"), product, DeliveredLitres, 5.89})
                || !invoiceTanks_.add({invoice_, 1, delivery.tank, DeliveredLitres, false})
                || !deliveryRows_.add({station, delivery.tank, product, dialect_.timeValue(delivery.start),
                                       dialect_.timeValue(delivery.end), DeliveredLitres}))
                return false;
        }
        return true;
    }

    QSqlDatabase &db_;
    MonthPlan plan_;
    const SqlDialect &dialect_;
    QDateTime origin_;
    std::vector<Delivery> deliveries_;
    qint64 measurement_ = 0;
    qint64 inventory_ = 0;
    qint64 invoice_ = 0;
    BulkInsert stations_{db_, QStringLiteral("station"), {"id", "description", "host", "ofe", "time_zone"}};
    BulkInsert settings_{db_, QStringLiteral("closing_settings"), {"station_id", "closing_minute"}, {&stations_}};
    BulkInsert nozzles_{db_, QStringLiteral("nozzle"), {"station_id", "nozzle", "pump", "tank", "active"}, {&stations_}};
    BulkInsert totalisers_{db_, QStringLiteral("totaliser"), {"station_id", "day", "nozzle", "opening", "closing", "calibration"},
                            {&nozzles_}};
    BulkInsert measurements_{db_, QStringLiteral("measurement"), {"id", "station_id", "tank", "product", "unit", "measured",
                                                                 "volume20", "measured_at", "received_at", "command", "origin"},
                              {&stations_}};
    BulkInsert inventories_{db_, QStringLiteral("inventory"), {"id", "station_id", "taken_at", "origin"}, {&stations_}};
    BulkInsert items_{db_, QStringLiteral("inventory_item"), {"inventory_id", "measurement_id"},
                       {&inventories_, &measurements_}};
    BulkInsert invoices_{db_, QStringLiteral("invoice"), {"id", "station_id", "access_key", "number", "series", "issued_at",
                                                          "supplier_name", "supplier_cnpj", "day", "imported_at"},
                          {&stations_}};
    BulkInsert invoiceItems_{db_, QStringLiteral("invoice_item"), {"invoice_id", "item", "supplier_product", "anp_code",
                                                                   "product", "litres", "price_per_litre"},
                              {&invoices_}};
    BulkInsert invoiceTanks_{db_, QStringLiteral("invoice_tank"), {"invoice_id", "item", "tank", "litres", "typed"},
                              {&invoiceItems_}};
    BulkInsert deliveryRows_{db_, QStringLiteral("delivery"), {"station_id", "tank", "product", "started_at", "ended_at", "amount"},
                              {&stations_}};
};

} // namespace

QTimeZone planZone()
{
    return QTimeZone("America/Sao_Paulo");
}

QString productOfTank(int tank)
{
    static const QString products[] = {QStringLiteral("GASOLINA C"), QStringLiteral("GASOLINA ADITIVADA"),
                                       QStringLiteral("ETANOL HIDRATADO"), QStringLiteral("DIESEL S10")};
    return products[(tank - 1) % TanksPerStation];
}

bool fillMonth(QSqlDatabase &db, const MonthPlan &plan)
{
    if (!db.transaction()) {
        std::fprintf(stderr, "begin: %s\n", qPrintable(db.lastError().text()));
        return false;
    }
    if (!MonthWriter(db, plan).write()) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        std::fprintf(stderr, "commit: %s\n", qPrintable(db.lastError().text()));
        return false;
    }
    return true;
}
