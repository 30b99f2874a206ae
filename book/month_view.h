#pragma once

#include "closing/month_figures.h"

#include <QDate>
#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class MonthDaysTable;
class MonthDriftChart;

// The tab "Mês" of the book's window: a product's month, day by day, each day's loss or gain and
// the month's up to it, above its sales and its loss as a share of them. A steady small loss,
// within every day's tolerance, shows as a line that keeps falling: that is how a leak shows.
// It is given what ClosingBook::month() found and never reads the history itself.
class MonthView : public QWidget {
    Q_OBJECT
public:
    explicit MonthView(QWidget *parent = nullptr);

    // The products of one month, and which of its days are closed (the others are marked open).
    // The product shown stays shown when the month still has it; otherwise the first is.
    void setMonth(const QList<MonthProduct> &month, const QList<QDate> &closedDays);
    void setProduct(const QString &product);
    QString product() const;

signals:
    void productChanged(const QString &product);

private:
    void showChosen();

    QList<MonthProduct> month_;
    QList<QDate> closedDays_;
    QComboBox *products_;
    QLabel *summary_;
    MonthDaysTable *table_;
#ifdef COMZELTA_WITH_CHARTS
    MonthDriftChart *chart_;
#endif
};
