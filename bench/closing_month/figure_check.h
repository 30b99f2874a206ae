#pragma once

#include "closing/month_figures.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QStringList>

// A day's figures of one product, as the tool's statement (book_sql.h) printed them.
struct ToolFigures {
    double opening = 0;
    double receipts = 0;
    double sales = 0;
    double physical = 0;
    double variance = 0;
};

// By "station|AAAA-MM-DD|product".
using ToolBook = QHash<QString, ToolFigures>;

ToolBook parseToolBook(const QByteArray &rows);

struct CheckResult {
    int compared = 0;  // figures, five a product a day
    int agreed = 0;
    QStringList disagreements;  // the first few
};

// The book's figures of the stations in `ours`, each against the tool's, to the centilitre.
CheckResult compareBooks(const QMap<qint64, QList<MonthProduct>> &ours, const ToolBook &tool);
