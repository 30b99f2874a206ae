#pragma once

#include "store/history_queries.h"

#include <QChartView>
#include <QTimeZone>

class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

// The line chart of one series over a period, its time axis in the station's zone. It keeps no
// more points than its plot is pixels wide (lowest and highest of each column), and thins them
// again when resized; the pointer on a point shows its value and time. Deliveries are marked along
// the foot of the plot where they began, and the pointer on a mark shows the delivery.
class HistoryChart : public QChartView {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget *parent = nullptr);

    void setSeries(const SeriesPoints &points, qint64 fromMs, qint64 toMs, const QTimeZone &zone,
                   const QString &valueName);
    void setDeliveries(const QList<StoredDelivery> &deliveries);
    // The points drawn, as stored (UTC times), after thinning.
    const SeriesPoints &shownPoints() const { return shown_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void draw();
    void markDeliveries();
    QString textNear(const QPointF &at) const;

    QLineSeries *line_;
    QScatterSeries *deliveryMarks_;
    QDateTimeAxis *timeAxis_;
    QValueAxis *valueAxis_;
    SeriesPoints points_;
    SeriesPoints shown_;
    QList<StoredDelivery> deliveries_;
    qint64 fromMs_ = 0;
    qint64 toMs_ = 0;
    QTimeZone zone_;
    QString valueName_;
};
