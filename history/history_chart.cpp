#include "history/history_chart.h"

#include "history/station_time.h"
#include "store/point_reduction.h"

#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>

HistoryChart::HistoryChart(QWidget *parent)
    : QChartView(parent), line_(new QLineSeries), timeAxis_(new QDateTimeAxis), valueAxis_(new QValueAxis),
      zone_(QTimeZone::systemTimeZone())
{
    auto *chart = new QChart;
    chart->legend()->hide();
    chart->addSeries(line_);
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    line_->attachAxis(timeAxis_);
    line_->attachAxis(valueAxis_);
    line_->setPointsVisible(true);
    valueAxis_->setLabelFormat(QStringLiteral("%.0f"));
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    // Nothing in it answers keys: the table below holds the same readings for the keyboard.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    connect(line_, &QLineSeries::hovered, this, &HistoryChart::showPoint);
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
    line_->replace(drawn);
    // Labels as fine as the period needs: seconds for a few minutes, no time for months.
    const qint64 spanMs = toMs_ - fromMs_;
    timeAxis_->setFormat(spanMs <= 2 * 3600 * 1000        ? QStringLiteral("HH:mm:ss")
                         : spanMs <= 3 * 24 * 3600 * 1000LL ? QStringLiteral("dd/MM HH:mm")
                                                            : QStringLiteral("dd/MM/yy"));
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(chartMsInZone(fromMs_, zone_)),
                        QDateTime::fromMSecsSinceEpoch(chartMsInZone(toMs_, zone_)));
    // Room above and below, so that a flat series is not drawn on the frame.
    const double margin = std::max(1.0, (high - low) * 0.05);
    valueAxis_->setRange(std::min(0.0, low - margin), high + margin);
    valueAxis_->applyNiceNumbers();
}

void HistoryChart::showPoint(const QPointF &point, bool hovering)
{
    if (!hovering) {
        QToolTip::hideText();
        return;
    }
    // The nearest point drawn, read back as stored.
    const auto nearest = std::min_element(shown_.cbegin(), shown_.cend(), [&](const SeriesPoint &a, const SeriesPoint &b) {
        return std::abs(double(chartMsInZone(a.atMs, zone_)) - point.x())
             < std::abs(double(chartMsInZone(b.atMs, zone_)) - point.x());
    });
    if (nearest == shown_.cend())
        return;
    const QString text = QStringLiteral("%1: %2\n%3")
                             .arg(valueName_, QLocale().toString(nearest->value, 'f', 0),
                                  stationTimeText(QDateTime::fromMSecsSinceEpoch(nearest->atMs, Qt::UTC), zone_));
    QToolTip::showText(QCursor::pos(), text, this);
}
