#pragma once

#include "closing/closing_book.h"

#include <QTimeZone>
#include <QWidget>

class QLabel;
class QTableWidget;
class QTableWidgetItem;

// One day of the book as tables: its products, tanks, nozzles and invoices, a figure beyond the
// tolerance in red, and what is still missing before the day can close. While the day is open,
// the justification of a product beyond the tolerance and the nozzles' totalisers are typed in
// their cells.
class BookDayView : public QWidget {
    Q_OBJECT
public:
    explicit BookDayView(QWidget *parent = nullptr);

    void showDay(const BookDay &day, const QTimeZone &zone);
    void clear();
    // By product, as typed; empty ones left out.
    QMap<QString, QString> justifications() const;

signals:
    void justificationsEdited();
    void totaliserEdited(const TotaliserRecord &record);
    // A cell typed that is not a number, in the operator's words.
    void badEntry(const QString &text);

private:
    void justificationChanged(QTableWidgetItem *item);
    void nozzleChanged(QTableWidgetItem *item);

    QTableWidget *products_;
    QTableWidget *tanks_;
    QTableWidget *nozzles_;
    QTableWidget *invoices_;
    QLabel *problems_;
    BookDay shown_;
    bool filling_ = false;
};
