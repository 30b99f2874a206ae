// The daily book's arithmetic on its own: totalisers, the day's bounds, the reading that stands
// for the closing hour, a day's figures and a month's sums.
#include "closing/closing_day.h"
#include "closing/closing_texts.h"
#include "closing/day_figures.h"
#include "closing/month_figures.h"
#include "closing/totaliser.h"
#include "tests/support/worked_days.h"

#include <QtTest>

using OptionalLitres = std::optional<double>;
Q_DECLARE_METATYPE(OptionalLitres)

namespace {

const QTimeZone SaoPaulo("America/Sao_Paulo");
const QTimeZone Santiago("America/Santiago");

const ProductFigures *productNamed(const DayFigures &day, const QString &name)
{
    for (const ProductFigures &product : day.products)
        if (product.product == name)
            return &product;
    return nullptr;
}

} // namespace

class TestClosingFigures : public QObject {
    Q_OBJECT

private slots:
    void totaliser_data()
    {
        QTest::addColumn<double>("opening");
        QTest::addColumn<double>("closing");
        QTest::addColumn<double>("calibration");
        QTest::addColumn<int>("digits");
        QTest::addColumn<OptionalLitres>("sales");

        QTest::newRow("plain") << 1000.0 << 1523.45 << 0.0 << 8 << OptionalLitres(523.45);
        QTest::newRow("calibration poured back") << 1000.0 << 1523.45 << 20.0 << 8 << OptionalLitres(503.45);
        QTest::newRow("no sale") << 1000.0 << 1000.0 << 0.0 << 8 << OptionalLitres(0.0);
        QTest::newRow("roll-over at 999999,99") << 999990.0 << 10.0 << 0.0 << 8 << OptionalLitres(20.0);
        QTest::newRow("roll-over to the cent") << 999999.99 << 0.01 << 0.0 << 8 << OptionalLitres(0.02);
        QTest::newRow("six digits roll at 9999,99") << 9900.0 << 100.0 << 0.0 << 6 << OptionalLitres(200.0);
        QTest::newRow("beyond the digits") << 1000.0 << 1000000.0 << 0.0 << 8 << OptionalLitres();
        QTest::newRow("negative reading") << -1.0 << 10.0 << 0.0 << 8 << OptionalLitres();
        QTest::newRow("calibration above the count") << 1000.0 << 1010.0 << 20.0 << 8 << OptionalLitres();
    }

    void totaliser()
    {
        QFETCH(double, opening);
        QFETCH(double, closing);
        QFETCH(double, calibration);
        QFETCH(int, digits);
        QFETCH(OptionalLitres, sales);
        QCOMPARE(totaliserSales(opening, closing, calibration, digits), sales);
    }

    void dayBounds_data()
    {
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("hour");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("end");

        QTest::newRow("São Paulo, midnight") << SaoPaulo << QDate(2026, 3, 10) << QTime(0, 0)
                                             << utc("2026-03-10T03:00:00Z") << utc("2026-03-11T03:00:00Z");
        QTest::newRow("São Paulo, 06:00") << SaoPaulo << QDate(2026, 3, 10) << QTime(6, 0)
                                          << utc("2026-03-10T09:00:00Z") << utc("2026-03-11T09:00:00Z");
        // Brazil kept summer time until 2019: midnight did not exist on 4 November 2018.
        QTest::newRow("São Paulo 2018, midnight skipped") << SaoPaulo << QDate(2018, 11, 3) << QTime(0, 0)
                                                          << utc("2018-11-03T03:00:00Z") << utc("2018-11-04T03:00:00Z");
        QTest::newRow("Santiago, midnight skipped") << Santiago << QDate(2026, 9, 5) << QTime(0, 0)
                                                    << utc("2026-09-05T04:00:00Z") << utc("2026-09-06T04:00:00Z");
        // 00:30 is skipped too: the day starts where the gap ends, at 01:00, not at 01:30.
        QTest::newRow("Santiago, half past midnight skipped") << Santiago << QDate(2026, 9, 5) << QTime(0, 30)
                                                              << utc("2026-09-05T04:30:00Z") << utc("2026-09-06T04:00:00Z");
        QTest::newRow("Santiago, clocks back: a 25-hour day") << Santiago << QDate(2026, 4, 4) << QTime(6, 0)
                                                              << utc("2026-04-04T09:00:00Z") << utc("2026-04-05T10:00:00Z");
    }

    void dayBounds()
    {
        QFETCH(QTimeZone, zone);
        QFETCH(QDate, date);
        QFETCH(QTime, hour);
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, end);
        QVERIFY(zone.isValid());
        const ClosingDay day{date, hour, zone};
        QCOMPARE(day.start(), start);
        QCOMPARE(day.end(), end);
        QCOMPARE(ClosingDay::containing(start, hour, zone).date, date);
        QCOMPARE(ClosingDay::containing(end.addSecs(-1), hour, zone).date, date);
        QCOMPARE(ClosingDay::containing(end, hour, zone).date, date.addDays(1));
    }

    void readingAtTheHour_data()
    {
        QTest::addColumn<QList<StockSnapshot>>("inventories");
        QTest::addColumn<QDateTime>("chosen");  // invalid: none stands for the hour

        const QMap<int, double> both{{1, 100}, {2, 200}};
        QTest::newRow("the first after wins over a nearer one before")
            << QList<StockSnapshot>{snapshot("2026-03-10T02:58:00Z", both), snapshot("2026-03-10T03:20:00Z", both),
                                    snapshot("2026-03-10T03:10:00Z", both)}
            << utc("2026-03-10T03:10:00Z");
        QTest::newRow("at the hour itself") << QList<StockSnapshot>{snapshot("2026-03-10T03:00:00Z", both)}
                                            << utc("2026-03-10T03:00:00Z");
        QTest::newRow("failing one after, the last before")
            << QList<StockSnapshot>{snapshot("2026-03-10T02:35:00Z", both), snapshot("2026-03-10T02:50:00Z", both),
                                    snapshot("2026-03-10T03:31:00Z", both)}
            << utc("2026-03-10T02:50:00Z");
        QTest::newRow("half an hour either side, included")
            << QList<StockSnapshot>{snapshot("2026-03-10T02:30:00Z", both)} << utc("2026-03-10T02:30:00Z");
        QTest::newRow("beyond half an hour")
            << QList<StockSnapshot>{snapshot("2026-03-10T02:29:59Z", both), snapshot("2026-03-10T03:30:01Z", both)}
            << QDateTime();
        QTest::newRow("an inventory short of a tank does not count")
            << QList<StockSnapshot>{snapshot("2026-03-10T03:01:00Z", {{1, 100}}), snapshot("2026-03-10T03:05:00Z", both)}
            << utc("2026-03-10T03:05:00Z");
    }

    void readingAtTheHour()
    {
        QFETCH(QList<StockSnapshot>, inventories);
        QFETCH(QDateTime, chosen);
        const std::optional<StockSnapshot> stock = stockAt(inventories, utc("2026-03-10T03:00:00Z"), {1, 2});
        QCOMPARE(stock.has_value(), chosen.isValid());
        if (stock)
            QCOMPARE(stock->at, chosen);
    }

    void balancedDayAddsUp()
    {
        const DayFigures day = computeDay(balancedDay(), ClosingSettings{});
        QVERIFY(day.closable());
        QCOMPARE(day.tanks.size(), 3);
        QCOMPARE(day.nozzles.size(), 4);
        const ProductFigures *gasoline = productNamed(day, QStringLiteral("GASOLINA"));
        QVERIFY(gasoline);
        QCOMPARE(gasoline->figures.opening, OptionalLitres(18000));
        QCOMPARE(gasoline->figures.receipts, 5000.0);
        QCOMPARE(gasoline->figures.available, OptionalLitres(23000));
        QCOMPARE(gasoline->figures.sales, OptionalLitres(1030.5));
        QCOMPARE(gasoline->figures.book, OptionalLitres(21969.5));
        QCOMPARE(gasoline->figures.physical, OptionalLitres(21969.5));
        QCOMPARE(gasoline->figures.varianceLitres, OptionalLitres(0));
        QCOMPARE(day.nozzles.at(2).sales, OptionalLitres(280));
    }

    void dayProblems_data()
    {
        QTest::addColumn<DayInputs>("inputs");
        QTest::addColumn<ClosingSettings>("settings");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<OptionalLitres>("dieselVariance");

        const ClosingSettings defaults;
        DayInputs loss = balancedDay();
        loss.closing->litres[3] = 13900;  // 100 L of 15000 available: 0,67 %
        QTest::newRow("a loss beyond 0,6 % needs its cause")
            << loss << defaults << QStringList{QStringLiteral("DIESEL S10: perda ou ganho além da tolerância, sem justificativa")}
            << OptionalLitres(-100);

        DayInputs justified = loss;
        justified.justifications.insert(QStringLiteral("DIESEL S10"), QStringLiteral("  vazamento na linha, chamado aberto "));
        QTest::newRow("and with it the day closes") << justified << defaults << QStringList{} << OptionalLitres(-100);

        DayInputs withinPhysical = loss;
        withinPhysical.closing->litres[3] = 13920;  // 80 L: 0,53 % of 15000 available, 0,575 % of 13920
        ClosingSettings physicalBase;
        physicalBase.toleranceBase = ToleranceBase::Physical;
        QTest::newRow("within the tolerance of the physical stock") << withinPhysical << physicalBase << QStringList{}
                                                                    << OptionalLitres(-80);
        ClosingSettings strict;
        strict.tolerancePercent = 0.5;
        QTest::newRow("beyond a stricter tolerance")
            << withinPhysical << strict << QStringList{QStringLiteral("DIESEL S10: perda ou ganho além da tolerância, sem justificativa")}
            << OptionalLitres(-80);

        DayInputs noClosing = balancedDay();
        noClosing.closing.reset();
        QTest::newRow("no reading at the closing hour")
            << noClosing << defaults << QStringList{QStringLiteral("Sem leitura do medidor às 00:00")} << OptionalLitres();

        DayInputs partlyDipped = noClosing;
        partlyDipped.dippedTanks = {2};
        QTest::newRow("dipstick readings of some tanks name the others")
            << partlyDipped << defaults
            << QStringList{QStringLiteral("Sem leitura do medidor às 00:00"), QStringLiteral("Tanque 1 sem régua registrada"),
                           QStringLiteral("Tanque 3 sem régua registrada")}
            << OptionalLitres();

        DayInputs noTotaliser = balancedDay();
        noTotaliser.totalisers[4].closing.reset();
        QTest::newRow("a nozzle without its closing totaliser")
            << noTotaliser << defaults << QStringList{QStringLiteral("Bico 4 sem encerrantes do dia")} << OptionalLitres();

        DayInputs impossible = balancedDay();
        impossible.totalisers[4].calibration = 2000;
        QTest::newRow("calibration above the count")
            << impossible << defaults << QStringList{QStringLiteral("Bico 4 com encerrantes impossíveis")} << OptionalLitres();

        DayInputs undrawn = balancedDay();
        undrawn.nozzles.removeLast();
        QTest::newRow("a tank no nozzle draws from")
            << undrawn << defaults << QStringList{QStringLiteral("Tanque 3 sem bicos cadastrados")} << OptionalLitres();

        DayInputs unread = balancedDay();
        unread.nozzles << BookNozzle{5, 4, 4} << BookNozzle{6, 4, 4};
        QTest::newRow("nozzles of a tank the gauge never read")
            << unread << defaults << QStringList{QStringLiteral("Tanque 4 com bicos cadastrados e sem leituras do medidor")}
            << OptionalLitres(0);

        DayInputs weighed = loss;
        weighed.tanks[2].weighed = true;
        QTest::newRow("a tank in kg is left out of the book") << weighed << defaults << QStringList{} << OptionalLitres();
    }

    void dayProblems()
    {
        QFETCH(DayInputs, inputs);
        QFETCH(ClosingSettings, settings);
        QFETCH(QStringList, problems);
        QFETCH(OptionalLitres, dieselVariance);
        const DayFigures day = computeDay(inputs, settings);
        QStringList shown;
        for (const ClosingProblem &problem : day.problems)
            shown << closingProblemText(problem, SaoPaulo);
        QCOMPARE(shown, problems);
        QCOMPARE(day.closable(), problems.isEmpty());
        const ProductFigures *diesel = productNamed(day, QStringLiteral("DIESEL S10"));
        QCOMPARE(diesel ? diesel->figures.varianceLitres : OptionalLitres(), dieselVariance);
        // The other product's figures stand whatever is wrong with this one.
        if (inputs.closing)
            QCOMPARE(productNamed(day, QStringLiteral("GASOLINA"))->figures.varianceLitres, OptionalLitres(0));
    }

    void monthShowsASlowLeak()
    {
        QList<DayFigures> days;
        for (int d = 1; d <= 30; ++d) {
            DayInputs inputs = balancedDay();
            inputs.date = QDate(2026, 6, d);
            inputs.closing->litres[3] = 14000 - 4;  // 4 L a day of 1000 sold: 0,027 % of 15000
            days.prepend(computeDay(inputs, ClosingSettings{}));
            QVERIFY(days.first().closable());
        }
        const QList<MonthProduct> month = summarizeMonth(days);
        QCOMPARE(month.size(), 2);
        const MonthProduct &diesel = month.at(0);
        QCOMPARE(diesel.product, QStringLiteral("DIESEL S10"));
        QCOMPARE(diesel.days.first().date, QDate(2026, 6, 1));
        QCOMPARE(diesel.sales, 30000.0);
        QCOMPARE(diesel.cumulativeVariance, -120.0);
        QVERIFY(qFuzzyCompare(*diesel.cumulativePercent, -0.4));
    }

    // Each day carries the month's loss or gain up to it, whatever the order the days came in.
    void monthCumulatesDayByDay_data()
    {
        QTest::addColumn<QList<double>>("variances");  // diesel's litres on the 1st, 2nd, 3rd; NaN: no closing stock
        QTest::addColumn<QList<double>>("cumulative");
        QTest::newRow("a steady leak") << QList<double>{-4, -4, -4} << QList<double>{-4, -8, -12};
        QTest::newRow("a gain after a loss") << QList<double>{-2.5, 0.75, 3} << QList<double>{-2.5, -1.75, 1.25};
        QTest::newRow("a day without its closing adds nothing")
            << QList<double>{-4, qQNaN(), -4} << QList<double>{-4, -4, -8};
    }
    void monthCumulatesDayByDay()
    {
        QFETCH(QList<double>, variances);
        QFETCH(QList<double>, cumulative);
        QList<DayFigures> days;
        for (int d = 1; d <= variances.size(); ++d) {
            DayInputs inputs = balancedDay();
            inputs.date = QDate(2026, 6, d);
            if (qIsNaN(variances.at(d - 1)))
                inputs.closing.reset();
            else
                inputs.closing->litres[3] = 14000 + variances.at(d - 1);
            days.prepend(computeDay(inputs, ClosingSettings{}));
        }
        const MonthProduct diesel = summarizeMonth(days).at(0);
        QCOMPARE(diesel.days.size(), cumulative.size());
        for (int i = 0; i < cumulative.size(); ++i)
            QCOMPARE(diesel.days.at(i).cumulativeVariance, cumulative.at(i));
        QCOMPARE(diesel.cumulativeVariance, cumulative.last());
    }

    // The month's loss, as a % of its sales, against the limits: raised beyond the first, kept
    // until back at the second.
    void lossAlarm_data()
    {
        QTest::addColumn<double>("variance");  // litres over the month's 10,000 sold; null: no sales
        QTest::addColumn<bool>("wasOn");
        QTest::addColumn<bool>("on");
        QTest::newRow("a gain") << 50.0 << false << false;
        QTest::newRow("a loss within the limit") << -55.0 << false << false;
        QTest::newRow("a loss at the limit") << -60.0 << false << false;
        QTest::newRow("a loss beyond it") << -61.0 << false << true;
        QTest::newRow("kept above the return") << -51.0 << true << true;
        QTest::newRow("cleared at the return") << -50.0 << true << false;
        QTest::newRow("cleared by a gain") << 10.0 << true << false;
        QTest::newRow("no sales leave it on") << qQNaN() << true << true;
        QTest::newRow("no sales leave it off") << qQNaN() << false << false;
    }
    void lossAlarm()
    {
        QFETCH(double, variance);
        QFETCH(bool, wasOn);
        QFETCH(bool, on);
        MonthProduct month;
        month.sales = qIsNaN(variance) ? 0 : 10000;
        month.cumulativeVariance = qIsNaN(variance) ? 0 : variance;
        if (!qIsNaN(variance))
            month.cumulativePercent = variance / 100;
        QCOMPARE(month.lossAlarmOn(wasOn, DefaultCumulativeLoss), on);
    }
};

QTEST_GUILESS_MAIN(TestClosingFigures)
#include "tst_closing_figures.moc"
