#pragma once

#include "closing_month/month_history.h"

#include <QString>

struct SqlDialect;

// The month's book for every station in one script of the engine's own tool: per station,
// day and product, the opening (the previous day's physical stock), the receipts (the day's
// invoices), the sales (the nozzles' totaliser differences less calibration), the physical stock
// at the closing hour (the first complete inventory in the half hour after it, else the last in
// the half hour before) and the variance, ordered by station, day and product. Totalisers are
// taken not to roll over within a day, as none does in the plan. Only the last statement prints.
QString monthBookSql(const SqlDialect &dialect, const MonthPlan &plan);
