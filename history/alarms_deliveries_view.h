#pragma once

#include "store/history_queries.h"

#include <QTimeZone>
#include <QWidget>

class QTableWidget;

// "Alarmes e Entregas": a station's alarms raised and cleared, its failed polls and its OFE number
// found in use by another host, beside the deliveries found in its readings, each in a grid of its
// own. Grids, so that printing carries every row, not only those in sight.
class AlarmsDeliveriesView : public QWidget {
    Q_OBJECT
public:
    explicit AlarmsDeliveriesView(QWidget *parent = nullptr);

    // Replaces the rows, times shown in `zone`.
    void setContents(const AlarmsAndDeliveries &found, const QTimeZone &zone);

private:
    QTableWidget *alarms_;
    QTableWidget *deliveries_;
};
