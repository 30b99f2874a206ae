#include "history/history_chart.h"

#include "history/station_time.h"
#include "history/time_ticks.h"
#include "store/point_reduction.h"

#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

HistoryChart::HistoryChart(QWidget *parent)
    : QChartView(parent), line_(new QLineSeries), deliveryMarks_(new QScatterSeries), timeAxis_(new QDateTimeAxis),
      valueAxis_(new QValueAxis), zone_(QTimeZone::systemTimeZone())
{
    auto *chart = new QChart;
    chart->legend()->hide();
    // The value axis writes numbers as the table beside it does.
    chart->setLocale(QLocale());
    chart->setLocalizeNumbers(true);
    chart->addSeries(line_);
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    line_->attachAxis(timeAxis_);
    line_->attachAxis(valueAxis_);
    chart->addSeries(deliveryMarks_);
    deliveryMarks_->attachAxis(timeAxis_);
    deliveryMarks_->attachAxis(valueAxis_);
    deliveryMarks_->setName(QStringLiteral("Entregas"));
    deliveryMarks_->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    deliveryMarks_->setMarkerSize(12);
    deliveryMarks_->setColor(QColor(230, 120, 0));
    deliveryMarks_->setBorderColor(QColor(230, 120, 0));
    valueAxis_->setLabelFormat(QStringLiteral("%.0f"));
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    // Nothing in it answers keys: the table below holds the same readings for the keyboard.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    viewport()->setMouseTracking(true);
}

void HistoryChart::setDeliveries(const QList<StoredDelivery> &deliveries)
{
    deliveries_ = deliveries;
    markDeliveries();
}

void HistoryChart::setSeries(const SeriesPoints &points, qint64 fromMs, qint64 toMs, const QTimeZone &zone,
                             const QString &valueName)
{
    points_ = points;
    fromMs_ = fromMs;
    toMs_ = toMs;
    zone_ = zone;
    valueName_ = valueName;
    line_->setName(valueName);
    valueAxis_->setTitleText(valueName);
    timeAxis_->setTitleText(zone.id() == QTimeZone::systemTimeZoneId() ? QString()
                                                                       : QString::fromUtf8(zone.id()));
    draw();
}

void HistoryChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    draw();
}

void HistoryChart::draw()
{
    const int columns = std::max(1, int(chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width()));
    shown_ = reducedToColumns(points_, fromMs_, toMs_, columns);
    QList<QPointF> drawn;
    drawn.reserve(shown_.size());
    double low = 0;
    double high = 0;
    for (const SeriesPoint &point : shown_) {
        drawn << QPointF(double(chartMsInZone(point.atMs, zone_)), point.value);
        low = drawn.size() == 1 ? point.value : std::min(low, point.value);
        high = drawn.size() == 1 ? point.value : std::max(high, point.value);
    }
    // A mark on each reading while they stand apart; packed together they would thicken the line.
    line_->setPointsVisible(drawn.size() * 8 <= columns);
    line_->replace(drawn);
    // Labels as fine as the period needs: seconds for a few minutes, no time for months.
    const qint64 spanMs = toMs_ - fromMs_;
    timeAxis_->setFormat(spanMs <= 2 * 3600 * 1000        ? QStringLiteral("HH:mm:ss")
                         : spanMs <= 3 * 24 * 3600 * 1000LL ? QStringLiteral("dd/MM HH:mm")
                                                            : QStringLiteral("dd/MM/yy"));
    const TimeTicks ticks = roundTimeTicks(chartMsInZone(fromMs_, zone_), chartMsInZone(toMs_, zone_));
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(ticks.firstMs), QDateTime::fromMSecsSinceEpoch(ticks.lastMs));
    timeAxis_->setTickCount(ticks.intervals + 1);
    // Room above and below, so that a flat series is not drawn on the frame.
    const double margin = std::max(1.0, (high - low) * 0.05);
    valueAxis_->setRange(std::min(0.0, low - margin), high + margin);
    valueAxis_->applyNiceNumbers();
    markDeliveries();
}

void HistoryChart::markDeliveries()
{
    QList<QPointF> marks;
    for (const StoredDelivery &delivery : deliveries_)
        marks << QPointF(double(chartMsInZone(delivery.startedAt.toMSecsSinceEpoch(), zone_)), valueAxis_->min());
    deliveryMarks_->replace(marks);
}

void HistoryChart::mouseMoveEvent(QMouseEvent *event)
{
    QChartView::mouseMoveEvent(event);
    const QString text = textNear(chart()->mapFromScene(mapToScene(event->position().toPoint())));
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

// The series' own hover misses a lone reading, which draws no line; the pointer's distance to
// what is drawn does not.
QString HistoryChart::textNear(const QPointF &at) const
{
    constexpr double NearPixels = 8;
    const auto distance = [&](qint64 utcMs, double value, QXYSeries *series) {
        const QPointF drawn = chart()->mapToPosition(QPointF(double(chartMsInZone(utcMs, zone_)), value), series);
        return std::hypot(drawn.x() - at.x(), drawn.y() - at.y());
    };
    for (const StoredDelivery &delivery : deliveries_) {
        if (distance(delivery.startedAt.toMSecsSinceEpoch(), valueAxis_->min(), deliveryMarks_) <= NearPixels)
            return QStringLiteral("Entrega no tanque %1: %2\n%3 a %4")
                .arg(delivery.tank)
                .arg(QLocale().toString(delivery.amount, 'f', 0), stationTimeText(delivery.startedAt, zone_),
                     stationTimeText(delivery.endedAt, zone_));
    }
    const SeriesPoint *nearest = nullptr;
    double nearestDistance = NearPixels;
    for (const SeriesPoint &point : shown_) {
        const double pixels = distance(point.atMs, point.value, line_);
        if (pixels <= nearestDistance) {
            nearest = &point;
            nearestDistance = pixels;
        }
    }
    if (!nearest)
        return {};
    return QStringLiteral("%1: %2\n%3")
        .arg(valueName_, QLocale().toString(nearest->value, 'f', 0),
             stationTimeText(QDateTime::fromMSecsSinceEpoch(nearest->atMs, Qt::UTC), zone_));
}
