#pragma once

#include "closing/month_figures.h"

#include <QDate>
#include <QList>
#include <QTableWidget>

// One product's month a day a row: the figures the chart draws, for the keyboard, for a screen
// reader, and for a console built without Qt Charts.
class MonthDaysTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column { Day, Sales, Variance, Cumulative, State, ColumnCount };

    explicit MonthDaysTable(QWidget *parent = nullptr);

    void setProduct(const MonthProduct &product, const QList<QDate> &closedDays);
};
