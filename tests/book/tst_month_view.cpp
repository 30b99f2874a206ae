// The tab "Mês" against closing/'s sums of a worked month: the bars and the line the chart draws,
// the table beside it, the line of text above, and the days still open.
#include "book/month_days_table.h"
#include "book/month_view.h"
#include "closing/day_figures.h"
#include "closing/month_figures.h"
#include "tests/support/worked_days.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

#ifdef COMZELTA_WITH_CHARTS
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#endif

namespace {

// June 2026, one day for each variance: diesel sells `sales` litres a day and ends the day
// `variance` litres off its book; gasoline balances.
QList<MonthProduct> workedMonth(const QList<double> &variances, double sales)
{
    QList<DayFigures> days;
    for (int d = 1; d <= variances.size(); ++d) {
        DayInputs inputs = balancedDay();
        inputs.date = QDate(2026, 6, d);
        inputs.totalisers[4] = {0.0, sales, 0};
        inputs.closing->litres[3] = 15000 - sales + variances.at(d - 1);
        days << computeDay(inputs, ClosingSettings{});
    }
    return summarizeMonth(days);
}

QList<QDate> closedExcept(int days, const QList<int> &open)
{
    QList<QDate> closed;
    for (int d = 1; d <= days; ++d)
        if (!open.contains(d))
            closed << QDate(2026, 6, d);
    return closed;
}

} // namespace

class TestMonthView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Whatever the system's locale says, and LANG=C besides: the tab writes Brazilian numbers.
        QLocale::setDefault(QLocale::c());
    }

    void showsTheMonth_data()
    {
        QTest::addColumn<QList<double>>("variances");  // diesel's, a day each from 1 June
        QTest::addColumn<double>("sales");            // diesel's, each day
        QTest::addColumn<QList<int>>("openDays");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("lastCumulative");  // as the table writes it

        QList<double> leak(30, -4);
        QTest::newRow("a steady leak") << leak << 1000.0 << QList<int>{} << QStringLiteral("DIESEL S10")
                                       << QStringLiteral("Vendas do mês: 30.000 L; perda acumulada: -120 L, 0,40 % das vendas")
                                       << QStringLiteral("-120");
        QTest::newRow("a gain") << QList<double>{3, 2.5, 3, 3, 3} << 1000.0 << QList<int>{} << QStringLiteral("DIESEL S10")
                                << QStringLiteral("Vendas do mês: 5.000 L; ganho acumulado: 14,5 L, 0,29 % das vendas")
                                << QStringLiteral("14,5");
        QTest::newRow("a loss made up by a larger gain")
            << QList<double>{-10, 12} << 1000.0 << QList<int>{} << QStringLiteral("DIESEL S10")
            << QStringLiteral("Vendas do mês: 2.000 L; ganho acumulado: 2 L, 0,10 % das vendas") << QStringLiteral("2");
        QTest::newRow("open days") << QList<double>(10, -2.5) << 1250.0 << QList<int>{4, 9, 10}
                                   << QStringLiteral("DIESEL S10")
                                   << QStringLiteral("Vendas do mês: 12.500 L; perda acumulada: -25 L, 0,20 % das vendas")
                                   << QStringLiteral("-25");
        QTest::newRow("no sales") << QList<double>{-1.5, 0, -3} << 0.0 << QList<int>{3} << QStringLiteral("DIESEL S10")
                                  << QStringLiteral("Vendas do mês: 0 L; perda acumulada: -4,5 L") << QStringLiteral("-4,5");
        QTest::newRow("the other product, balanced") << QList<double>{-1, -1, -1} << 1000.0 << QList<int>{2}
                                                     << QStringLiteral("GASOLINA")
                                                     << QStringLiteral("Vendas do mês: 3.091,5 L; perda/ganho acumulado: "
                                                                       "0 L, 0,00 % das vendas")
                                                     << QStringLiteral("0");
    }

    void showsTheMonth()
    {
        QFETCH(QList<double>, variances);
        QFETCH(double, sales);
        QFETCH(QList<int>, openDays);
        QFETCH(QString, product);
        QFETCH(QString, summary);
        QFETCH(QString, lastCumulative);

        const QList<MonthProduct> month = workedMonth(variances, sales);
        const QList<QDate> closed = closedExcept(int(variances.size()), openDays);
        MonthView view;
        view.setMonth(month, closed);
        view.setProduct(product);
        QCOMPARE(view.product(), product);
        const MonthProduct &shown = *std::find_if(month.cbegin(), month.cend(),
                                                   [&](const MonthProduct &p) { return p.product == product; });

        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("Resumo"))->text(), summary);

        auto *table = view.findChild<MonthDaysTable *>(QStringLiteral("Dias"));
        QCOMPARE(table->rowCount(), int(variances.size()));
        QCOMPARE(table->item(table->rowCount() - 1, MonthDaysTable::Cumulative)->text(), lastCumulative);
        const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);
        for (int row = 0; row < table->rowCount(); ++row) {
            const MonthDay &day = shown.days.at(row);
            QCOMPARE(table->item(row, MonthDaysTable::Day)->text(), day.date.toString("dd/MM/yyyy"));
            QCOMPARE(brazilian.toDouble(table->item(row, MonthDaysTable::Variance)->text()), *day.figures.varianceLitres);
            QCOMPARE(brazilian.toDouble(table->item(row, MonthDaysTable::Cumulative)->text()), day.cumulativeVariance);
            QCOMPARE(table->item(row, MonthDaysTable::State)->text(),
                     openDays.contains(row + 1) ? QStringLiteral("aberto") : QStringLiteral("fechado"));
        }

#ifdef COMZELTA_WITH_CHARTS
        auto *chart = view.findChild<QChartView *>(QStringLiteral("Grafico"));
        QVERIFY(chart);
        auto *bars = qobject_cast<QStackedBarSeries *>(chart->chart()->series().value(0));
        auto *line = qobject_cast<QLineSeries *>(chart->chart()->series().value(1));
        QVERIFY(bars && line);
        QCOMPARE(bars->barSets().size(), 2);
        const QBarSet *closedBars = bars->barSets().at(0);
        const QBarSet *openBars = bars->barSets().at(1);
        QCOMPARE(closedBars->count(), int(variances.size()));
        QCOMPARE(openBars->count(), int(variances.size()));
        QCOMPARE(line->count(), int(variances.size()));
        const auto *days = qobject_cast<QBarCategoryAxis *>(chart->chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(days);
        for (int i = 0; i < int(variances.size()); ++i) {
            const MonthDay &day = shown.days.at(i);
            const double variance = *day.figures.varianceLitres;
            const bool open = openDays.contains(i + 1);
            QCOMPARE(closedBars->at(i), open ? 0.0 : variance);
            QCOMPARE(openBars->at(i), open ? variance : 0.0);
            QCOMPARE(line->at(i), QPointF(i, day.cumulativeVariance));
            QCOMPARE(days->at(i), QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        }
        // The line ends where the month's sum does.
        QCOMPARE(line->at(line->count() - 1).y(), shown.cumulativeVariance);
        // The bars' own axis holds every bar, its zero level with the line's.
        const auto *monthAxis = qobject_cast<QValueAxis *>(line->attachedAxes().value(1));
        const auto *dayAxis = qobject_cast<QValueAxis *>(bars->attachedAxes().value(1));
        QVERIFY(monthAxis && dayAxis && monthAxis != dayAxis);
        QCOMPARE(dayAxis->min() / dayAxis->max(), monthAxis->min() / monthAxis->max());
        for (const MonthDay &day : shown.days) {
            QVERIFY2(*day.figures.varianceLitres >= dayAxis->min() && *day.figures.varianceLitres <= dayAxis->max(),
                     qPrintable(day.date.toString()));
            QVERIFY(day.cumulativeVariance >= monthAxis->min() && day.cumulativeVariance <= monthAxis->max());
        }
#endif
    }

    // A new month keeps the product the operator chose while it has it, and says when it changes.
    void keepsTheChosenProduct()
    {
        const QList<MonthProduct> both = workedMonth({-1, -2}, 1000);
        MonthView view;
        QSignalSpy changed(&view, &MonthView::productChanged);
        view.setMonth(both, {});
        QCOMPARE(view.product(), QStringLiteral("DIESEL S10"));
        view.setProduct(QStringLiteral("GASOLINA"));
        view.setMonth(both, {});
        QCOMPARE(view.product(), QStringLiteral("GASOLINA"));
        QCOMPARE(changed.size(), 2);

        view.setMonth({both.first()}, {});
        QCOMPARE(view.product(), QStringLiteral("DIESEL S10"));
        QCOMPARE(changed.size(), 3);
        QCOMPARE(changed.last().first().toString(), QStringLiteral("DIESEL S10"));
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("Resumo"))->text(),
                 QStringLiteral("Vendas do mês: 2.000 L; perda acumulada: -3 L, 0,15 % das vendas"));

        view.setMonth({}, {});
        QCOMPARE(view.product(), QString());
        QCOMPARE(view.findChild<MonthDaysTable *>(QStringLiteral("Dias"))->rowCount(), 0);
    }
};

QTEST_MAIN(TestMonthView)
#include "tst_month_view.moc"
