#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QTimeZone>

// The fleet and month the closing benchmark computes: stations of four tanks of one product each,
// two nozzles a tank, inventories six times a day (at 00:05 and 23:50 around the midnight
// closing), totalisers every day, and six invoices a station with the deliveries they name.
struct MonthPlan {
    int stations = 1000;
    QDate first{2026, 3, 1};
    QDate last{2026, 3, 31};
};

constexpr int TanksPerStation = 4;

QTimeZone planZone();
QString productOfTank(int tank);

// Writes the plan's history into `db`, migrated and empty, in one transaction. False, after
// saying why on stderr, when the engine refused.
bool fillMonth(QSqlDatabase &db, const MonthPlan &plan);
