#include "book/month_drift_chart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QLineSeries>
#include <QLocale>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

const QColor ClosedColour(40, 90, 160);
const QColor CumulativeColour(200, 40, 30);

} // namespace

MonthDriftChart::MonthDriftChart(QWidget *parent)
    : QChartView(parent), bars_(new QStackedBarSeries), closedBars_(new QBarSet(QStringLiteral("Perda/ganho do dia"))),
      openBars_(new QBarSet(QStringLiteral("Dia aberto"))), cumulative_(new QLineSeries),
      dayAxis_(new QBarCategoryAxis), litresAxis_(new QValueAxis)
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
    cumulative_->setPointsVisible(true);
    chart->addSeries(bars_);
    chart->addSeries(cumulative_);
    chart->addAxis(dayAxis_, Qt::AlignBottom);
    chart->addAxis(litresAxis_, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(dayAxis_);
        series->attachAxis(litresAxis_);
    }
    litresAxis_->setTitleText(QStringLiteral("Litros"));
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    // Nothing in it answers keys: the table beside it holds the same figures for the keyboard.
    setFocusPolicy(Qt::NoFocus);
}

void MonthDriftChart::setProduct(const MonthProduct &product, const QList<QDate> &closedDays)
{
    QStringList days;
    QList<double> closedValues;
    QList<double> openValues;
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
        running << QPointF(double(running.size()), day.cumulativeVariance);
        low = std::min({low, variance, day.cumulativeVariance});
        high = std::max({high, variance, day.cumulativeVariance});
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
    litresAxis_->setRange(low - margin, high + margin);
    litresAxis_->applyNiceNumbers();
    litresAxis_->setLabelFormat(high - low >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
}
