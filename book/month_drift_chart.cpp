#include "book/month_drift_chart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QLineSeries>
#include <QLocale>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor ClosedColour(40, 90, 160);
const QColor CumulativeColour(200, 40, 30);

// The day axis's litres per litre of the month's axis: the least round factor (1, 2, 2,5 or 5 times
// a power of ten) that keeps every bar inside the month's range, which holds zero strictly. Scaling
// one range into the other keeps both zeros on one line and round ticks round.
double barScale(double low, double high, const QList<double> &bars)
{
    double needed = 0;
    for (double bar : bars)
        needed = std::max(needed, bar / (bar < 0 ? low : high));
    if (needed <= 0)
        return 1;
    const double decade = std::pow(10.0, std::floor(std::log10(needed)));
    for (double step : {1.0, 2.0, 2.5, 5.0})
        if (step * decade >= needed)
            return step * decade;
    return 10 * decade;
}

// As many decimals as the ticks' step needs.
QString labelFormat(const QValueAxis *axis)
{
    const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
    int decimals = 0;
    while (decimals < 3 && std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return QStringLiteral("%.%1f").arg(decimals);
}

} // namespace

MonthDriftChart::MonthDriftChart(QWidget *parent)
    : QChartView(parent), bars_(new QStackedBarSeries), closedBars_(new QBarSet(QStringLiteral("Perda/ganho do dia"))),
      openBars_(new QBarSet(QStringLiteral("Dia aberto"))), cumulative_(new QLineSeries),
      dayAxis_(new QBarCategoryAxis), monthLitresAxis_(new QValueAxis), dayLitresAxis_(new QValueAxis)
{
    auto *chart = new QChart;
    chart->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    closedBars_->setColor(ClosedColour);
    closedBars_->setBorderColor(ClosedColour);
    openBars_->setColor(ClosedColour.lighter(170));
    openBars_->setBorderColor(ClosedColour.lighter(170));
    bars_->append(closedBars_);
    bars_->append(openBars_);
    cumulative_->setName(QStringLiteral("Acumulado no mês"));
    QPen line(CumulativeColour);
    line.setWidth(3);
    cumulative_->setPen(line);
    chart->addSeries(bars_);
    chart->addSeries(cumulative_);
    chart->addAxis(dayAxis_, Qt::AlignBottom);
    chart->addAxis(monthLitresAxis_, Qt::AlignLeft);
    chart->addAxis(dayLitresAxis_, Qt::AlignRight);
    bars_->attachAxis(dayAxis_);
    bars_->attachAxis(dayLitresAxis_);
    cumulative_->attachAxis(dayAxis_);
    cumulative_->attachAxis(monthLitresAxis_);
    monthLitresAxis_->setTitleText(QStringLiteral("Acumulado no mês (L)"));
    monthLitresAxis_->setTitleBrush(CumulativeColour);
    dayLitresAxis_->setTitleText(QStringLiteral("Perda/ganho do dia (L)"));
    dayLitresAxis_->setTitleBrush(ClosedColour);
    dayLitresAxis_->setGridLineVisible(false);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    // Nothing in it answers keys: the table below holds the same figures for the keyboard.
    setFocusPolicy(Qt::NoFocus);
}

void MonthDriftChart::setProduct(const MonthProduct &product, const QList<QDate> &closedDays)
{
    QStringList days;
    QList<double> closedValues;
    QList<double> openValues;
    QList<double> variances;
    QList<QPointF> running;
    double low = 0;
    double high = 0;
    for (const MonthDay &day : product.days) {
        const bool closed = closedDays.contains(day.date);
        // A day without its figures has no bar; the line carries the sum across it.
        const double variance = day.figures.varianceLitres.value_or(0);
        days << day.date.toString(QStringLiteral("dd"));
        closedValues << (closed ? variance : 0);
        openValues << (closed ? 0 : variance);
        variances << variance;
        running << QPointF(double(running.size()), day.cumulativeVariance);
        low = std::min(low, day.cumulativeVariance);
        high = std::max(high, day.cumulativeVariance);
    }
    closedBars_->remove(0, closedBars_->count());
    closedBars_->append(closedValues);
    openBars_->remove(0, openBars_->count());
    openBars_->append(openValues);
    cumulative_->replace(running);
    dayAxis_->clear();
    dayAxis_->append(days);
    const QDate first = product.days.isEmpty() ? QDate() : product.days.first().date;
    dayAxis_->setTitleText(chart()->locale().toString(first, QStringLiteral("MMMM 'de' yyyy")));
    // Room above and below, so that a flat month is not drawn on the frame.
    const double margin = std::max(1.0, (high - low) * 0.05);
    monthLitresAxis_->setRange(low - margin, high + margin);
    monthLitresAxis_->applyNiceNumbers();
    const double scale = barScale(monthLitresAxis_->min(), monthLitresAxis_->max(), variances);
    dayLitresAxis_->setRange(monthLitresAxis_->min() * scale, monthLitresAxis_->max() * scale);
    dayLitresAxis_->setTickCount(monthLitresAxis_->tickCount());
    monthLitresAxis_->setLabelFormat(labelFormat(monthLitresAxis_));
    dayLitresAxis_->setLabelFormat(labelFormat(dayLitresAxis_));
}
