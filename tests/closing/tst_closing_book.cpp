// The daily book on a real history, SQLite and PostgreSQL: readings written by the store as the
// programs write them (with the alarm rules finding deliveries), then days computed, closed,
// reopened and closed by two programs at once.
#include "tests/closing/book_history.h"

#include "closing/closing_book.h"
#include "closing/closing_texts.h"
#include "closing/loss_watch.h"
#include "store/history_file.h"

#include <QtTest>

using OptionalLitres = std::optional<double>;

namespace {

const QTimeZone Zone("America/Sao_Paulo");
const QDate Day(2026, 3, 10);
const QString Gasoline = QStringLiteral("GASOLINA C");
const QString Diesel = QStringLiteral("DIESEL S10");

using Inventory = BookInventory;

struct Scenario {
    QList<Inventory> inventories;
    QList<NozzleRecord> nozzles;
    QList<TotaliserRecord> totalisers;
    QList<InvoiceRecord> invoices;
    QList<DipstickRecord> dipsticks;  // of Day
    bool dieselWeighed = false;
};

// Tank 2 takes 5.000 L in the afternoon, invoiced; the nozzles sell 750 L from tank 1, 280 L from
// tank 2 and 1.000 L of diesel; nothing is lost.
Scenario balanced()
{
    Scenario day;
    day.inventories = balancedInventories();
    day.nozzles = {{1, 1, 1, true}, {2, 1, 1, true}, {3, 2, 2, true}, {4, 3, 3, true}};
    day.totalisers = {{Day, 1, 1000.0, 1500.0, 0}, {Day, 2, 2000.0, 2250.0, 0}, {Day, 3, 500.0, 800.0, 20}, {Day, 4, 0.0, 1000.0, 0}};
    day.invoices = {bookInvoice(QStringLiteral("101"), Day, Gasoline, 5000, {{2, 5000, false}})};
    return day;
}

// The balanced day and the next, which closes at 00:03 on the 12th; its openings come from the
// 10th's closings.
Scenario twoDays()
{
    Scenario days = balanced();
    days.inventories << Inventory{"12/03/26 00:03", {{1, 9000}, {2, 12500}, {3, 13000}}};
    days.totalisers << TotaliserRecord{Day.addDays(1), 1, std::nullopt, 1600.0, 0}
                    << TotaliserRecord{Day.addDays(1), 2, std::nullopt, 2400.0, 0}
                    << TotaliserRecord{Day.addDays(1), 3, std::nullopt, 1020.0, 0}
                    << TotaliserRecord{Day.addDays(1), 4, std::nullopt, 2000.0, 0};
    return days;
}

// The history of a scenario, and a connection of the test's own to keep its book.
class BookFixture {
public:
    explicit BookFixture(const Scenario &scenario) : alarms_(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"))
    {
        keepInventories(alarms_, scenario.inventories, scenario.dieselWeighed);
        stationId_ = FileInspector(alarms_.location()).scalar(QStringLiteral("SELECT id FROM station")).toLongLong();
        ClosingTables tables = book().tables();
        [&] {
            QVERIFY(tables.replaceNozzles(scenario.nozzles).ok());
            QVERIFY(tables.storeTotalisers(scenario.totalisers).ok());
            for (const InvoiceRecord &record : scenario.invoices)
                QVERIFY(tables.addInvoice(record).ok());
            for (const DipstickRecord &dipstick : scenario.dipsticks)
                QVERIFY(tables.storeDipstick(Day, dipstick).ok());
        }();
    }

    ~BookFixture()
    {
        for (const QString &name : std::as_const(connections_))
            closeConnection(name);
    }

    // A book on a connection of its own, as another program would hold.
    ClosingBook book()
    {
        const QString name = QStringLiteral("book-%1").arg(connections_.size());
        const Result<void, HistoryOpenProblem> opened = openForWriting(name, alarms_.location(), WriteConnectionSettings{});
        [&] { QVERIFY2(opened.ok(), qPrintable(opened.ok() ? QString() : historyOpenProblemText(opened.error()))); }();
        connections_ << name;
        return ClosingBook(QSqlDatabase::database(name, false), stationId_, Zone);
    }

    DatabaseLocation location() const { return alarms_.location(); }

private:
    AlarmFixture alarms_;
    qint64 stationId_ = 0;
    QStringList connections_;
};

const ProductFigures *productNamed(const DayFigures &day, const QString &name)
{
    for (const ProductFigures &product : day.products)
        if (product.product == name)
            return &product;
    return nullptr;
}

QStringList problemTexts(const QList<ClosingProblem> &problems)
{
    QStringList texts;
    for (const ClosingProblem &problem : problems)
        texts << closingProblemText(problem, Zone);
    return texts;
}

QString litres(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'f', 0) : QStringLiteral("-");
}

const BookAuthor Manager{QStringLiteral("gerente"), QStringLiteral("caixa-1")};

} // namespace

class TestClosingBook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_ENGINE(); }

    void day_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<QString>("gasoline");  // opening receipts sales physical variance
        QTest::addColumn<QString>("tanks");     // tank: variance, for every tank in the book
        QTest::addColumn<QStringList>("invoices");  // number invoiced measured difference
        QTest::addColumn<QStringList>("problems");

        QTest::newRow("two tanks of one product") << balanced() << "18000 5000 1030 21970 0" << "1:0 2:0 3:0"
                                                  << QStringList{"101 5000 5000 0"} << QStringList{};

        Scenario split = balanced();
        split.invoices = {bookInvoice(QStringLiteral("101"), Day, Gasoline, 5000, {{1, 2000, true}, {2, 3000, true}})};
        QTest::newRow("one invoice over two tanks, typed wrong") << split << "18000 5000 1030 21970 0" << "1:-2000 2:2000 3:0"
                                                                 << QStringList{"101 5000 5000 0"} << QStringList{};

        Scenario rolled = balanced();
        rolled.totalisers[0] = {Day, 1, 999800.0, 300.0, 0};
        QTest::newRow("a totaliser rolling over") << rolled << "18000 5000 1030 21970 0" << "1:0 2:0 3:0"
                                                  << QStringList{"101 5000 5000 0"} << QStringList{};

        Scenario uninvoiced = balanced();
        uninvoiced.invoices.clear();
        QTest::newRow("a delivery without an invoice") << uninvoiced << "18000 0 1030 21970 5000" << "1:0 2:5000 3:0"
                                                       << QStringList{"- 0 5000 5000"}
                                                       << QStringList{"GASOLINA C: perda ou ganho além da tolerância, sem justificativa"};

        Scenario undelivered = balanced();
        undelivered.invoices << bookInvoice(QStringLiteral("102"), Day, Diesel, 1000, {{3, 1000, false}});
        QTest::newRow("an invoice without a delivery") << undelivered << "18000 5000 1030 21970 0" << "1:0 2:0 3:-1000"
                                                       << QStringList{"101 5000 5000 0", "102 1000 - -"}
                                                       << QStringList{"DIESEL S10: perda ou ganho além da tolerância, sem justificativa"};

        Scenario unread = balanced();
        unread.inventories.last().at = QStringLiteral("11/03/26 00:45");
        QTest::newRow("no gauge reading at the hour") << unread << "18000 5000 1030 - -" << "1:- 2:- 3:-"
                                                      << QStringList{"101 5000 5000 0"} << QStringList{"Sem leitura do medidor às 00:00"};

        Scenario dipped = unread;
        dipped.dipsticks = {{1, 9250, QStringLiteral("medidor sem comunicação")}, {2, 12720, QStringLiteral("medidor sem comunicação")},
                            {3, 14000, QStringLiteral("medidor sem comunicação")}};
        QTest::newRow("and its dipstick reading") << dipped << "18000 5000 1030 21970 0" << "1:0 2:0 3:0"
                                                  << QStringList{"101 5000 5000 0"} << QStringList{};

        Scenario weighed = balanced();
        weighed.dieselWeighed = true;
        QTest::newRow("a tank in kg left out") << weighed << "18000 5000 1030 21970 0" << "1:0 2:0"
                                               << QStringList{"101 5000 5000 0"} << QStringList{};

        // Tank 1 takes 3.000 L from 23:50 to 00:20: the day closes on the stock before it began.
        Scenario midnight = balanced();
        midnight.inventories.removeLast();
        midnight.inventories << Inventory{"10/03/26 23:50", {{1, 9250}, {2, 12720}, {3, 14000}}}
                             << Inventory{"11/03/26 00:02", {{1, 11000}, {2, 12720}, {3, 14000}}}
                             << Inventory{"11/03/26 00:20", {{1, 12250}, {2, 12720}, {3, 14000}}}
                             << Inventory{"11/03/26 00:40", {{1, 12240}, {2, 12720}, {3, 14000}}};
        QTest::newRow("a delivery across the closing hour") << midnight << "18000 5000 1030 21970 0" << "1:0 2:0 3:0"
                                                            << QStringList{"101 5000 5000 0"} << QStringList{};
    }

    void day()
    {
        QFETCH(Scenario, scenario);
        QFETCH(QString, gasoline);
        QFETCH(QString, tanks);
        QFETCH(QStringList, invoices);
        QFETCH(QStringList, problems);
        BookFixture fixture(scenario);
        const Result<BookDay, QSqlError> day = fixture.book().day(Day);
        QVERIFY2(day.ok(), qPrintable(day.ok() ? QString() : day.error().text()));

        const ProductFigures *product = productNamed(day->figures, Gasoline);
        QVERIFY(product);
        const StockFigures &figures = product->figures;
        QCOMPARE(QStringList({litres(figures.opening), litres(figures.receipts), litres(figures.sales), litres(figures.physical),
                              litres(figures.varianceLitres)})
                     .join(QLatin1Char(' ')),
                 gasoline);
        QStringList tankVariances;
        for (const TankFigures &tank : day->figures.tanks)
            tankVariances << QStringLiteral("%1:%2").arg(tank.tank).arg(litres(tank.figures.varianceLitres));
        QCOMPARE(tankVariances.join(QLatin1Char(' ')), tanks);
        QStringList matches;
        for (const InvoiceMatch &match : day->invoices)
            matches << QStringLiteral("%1 %2 %3 %4")
                           .arg(match.number.isEmpty() ? QStringLiteral("-") : match.number, litres(match.invoiced),
                                litres(match.measured), litres(match.difference));
        QCOMPARE(matches, invoices);
        QCOMPARE(problemTexts(day->figures.problems), problems);
    }

    // The month reads its readings once for all its days; each day's figures must be those the
    // day gives alone, its neighbours' readings and deliveries included.
    void monthAgreesWithItsDays_data() { day_data(); }
    void monthAgreesWithItsDays()
    {
        QFETCH(Scenario, scenario);
        scenario.inventories << Inventory{"12/03/26 00:03", {{1, 9000}, {2, 12500}, {3, 13000}}};
        BookFixture fixture(scenario);
        ClosingBook book = fixture.book();
        const Result<QList<MonthProduct>, QSqlError> month = book.month(Day.addDays(-1), Day.addDays(1));
        QVERIFY(month.ok());
        const auto shown = [](const StockFigures &figures) {
            return QStringList{litres(figures.opening), litres(std::optional<double>(figures.receipts)), litres(figures.sales),
                               litres(figures.physical), litres(figures.varianceLitres)}
                .join(QLatin1Char(' '));
        };
        int compared = 0;
        for (const MonthProduct &product : *month) {
            for (const MonthDay &monthDay : product.days) {
                const Result<BookDay, QSqlError> alone = book.day(monthDay.date);
                QVERIFY(alone.ok());
                const ProductFigures *figures = productNamed(alone->figures, product.product);
                QVERIFY2(figures, qPrintable(product.product));
                QCOMPARE(shown(monthDay.figures), shown(figures->figures));
                ++compared;
            }
        }
        QVERIFY(compared >= 3);
    }

    // A day beyond the tolerance closes only with its cause; reopened and closed again, its audit
    // keeps the lines before and after; the next day, whose opening did not change, stands.
    void closeAndReopen()
    {
        Scenario scenario = twoDays();
        scenario.invoices.clear();  // gasoline then gains 5.000 L
        BookFixture fixture(scenario);
        ClosingBook book = fixture.book();

        Result<void, CloseRefusal> closed = book.close(Day, {}, Manager);
        QVERIFY(!closed.ok());
        QCOMPARE(closed.error().kind, CloseRefusal::NotClosable);
        QCOMPARE(problemTexts(closed.error().problems),
                 QStringList{"GASOLINA C: perda ou ganho além da tolerância, sem justificativa"});
        const QMap<QString, QString> why{{Gasoline, QStringLiteral("nota 101 da descarga ainda não chegou")}};
        QVERIFY(book.close(Day, why, Manager).ok());
        QVERIFY(book.close(Day.addDays(1), {}, Manager).ok());
        QCOMPARE(productNamed(book.day(Day)->figures, Gasoline)->justification, why.value(Gasoline));

        // The invoice comes after all: reopened, closed again with the receipt, the day's
        // physical closing is the same, so the next day stands.
        QCOMPARE(book.reopen(Day.addDays(5), Manager, QStringLiteral("engano")).error().kind, CloseRefusal::NotClosed);
        QVERIFY(book.reopen(Day, Manager, QStringLiteral("nota 101 chegou")).ok());
        QVERIFY(book.tables().addInvoice(bookInvoice(QStringLiteral("101"), Day, Gasoline, 5000, {{2, 5000, false}})).ok());
        QVERIFY(book.close(Day, {}, Manager).ok());
        QVERIFY(!book.day(Day.addDays(1))->divergentOpening);

        QVERIFY(book.reopen(Day, Manager, QStringLiteral("leitura atrasada")).ok());
        const Result<QList<AuditRecord>, QSqlError> audit = book.tables().audit(Day);
        QVERIFY(audit.ok());
        QStringList actions;
        for (const AuditRecord &record : *audit)
            actions << record.action + (record.reason.isEmpty() ? QString() : QLatin1Char(':') + record.reason);
        QCOMPARE(actions, (QStringList{"close", "reopen:nota 101 chegou", "close", "reopen:leitura atrasada"}));
        QVERIFY(audit->at(1).linesBefore.contains(QStringLiteral("nota 101 da descarga ainda não chegou")));
        QVERIFY(audit->at(1).linesAfter.contains(QStringLiteral("\"receipts\":5000")));
        QVERIFY(audit->at(3).linesAfter.isEmpty());
    }

    // The next day opened at a physical closing that has since changed: it says so until it is
    // reopened and closed again.
    void divergentOpening()
    {
        Scenario scenario = twoDays();
        scenario.inventories[4].at = QStringLiteral("11/03/26 00:45");  // no reading at the hour: dipstick
        scenario.dipsticks = {{1, 9250, QStringLiteral("régua")}, {2, 12720, QStringLiteral("régua")}, {3, 14000, QStringLiteral("régua")}};
        BookFixture fixture(scenario);
        ClosingBook book = fixture.book();
        QVERIFY(book.close(Day, {}, Manager).ok());
        QVERIFY(book.close(Day.addDays(1), {{Gasoline, QStringLiteral("x")}, {Diesel, QStringLiteral("x")}}, Manager).ok());
        QVERIFY(!book.day(Day.addDays(1))->divergentOpening);

        // The dipstick of tank 1 was misread by 40 L.
        QVERIFY(book.reopen(Day, Manager, QStringLiteral("régua do tanque 1 relida")).ok());
        QVERIFY(book.tables().storeDipstick(Day, DipstickRecord{1, 9210, QStringLiteral("régua relida")}).ok());
        QVERIFY(book.close(Day, {}, Manager).ok());
        QVERIFY(book.day(Day.addDays(1))->divergentOpening);
        QVERIFY(book.reopen(Day.addDays(1), Manager, QStringLiteral("abertura corrigida")).ok());
        QVERIFY(book.close(Day.addDays(1), {{Gasoline, QStringLiteral("x")}, {Diesel, QStringLiteral("x")}}, Manager).ok());
        const Result<BookDay, QSqlError> next = book.day(Day.addDays(1));
        QVERIFY(!next->divergentOpening);
        QCOMPARE(productNamed(next->figures, Gasoline)->figures.opening, OptionalLitres(21930));
    }

    // A loss within each day's tolerance, beyond the month's limit: the alarm is raised once,
    // whatever is reopened and closed again while the month's loss stays, and cleared once the
    // day that lost is reopened.
    void cumulativeLoss_data()
    {
        QTest::addColumn<double>("raiseAt");
        QTest::addColumn<double>("restoreAt");
        QTest::addColumn<QStringList>("turns");  // after each step
        const QString raised = QStringLiteral("+GASOLINA C: perda acumulada em 03/2026 de 100 L, 6,67% das vendas "
                                              "(limite 0,6%)");
        const QString cleared = QStringLiteral("-GASOLINA C: perda acumulada em 03/2026 normalizada, 0,00% das vendas");
        QTest::newRow("the default limits") << DefaultCumulativeLoss.raiseAt << DefaultCumulativeLoss.restoreAt
                                            << QStringList{"", raised, "", "", cleared};
        // 100 L of the 470 L sold on the 11th alone is 21 %, of the 1.500 L of both days 6,67 %.
        QTest::newRow("beyond the month, not the 11th alone") << 10.0 << 8.0 << QStringList{"", "", "+", "-", ""};
        QTest::newRow("a limit above both") << 25.0 << 20.0 << QStringList{"", "", "", "", ""};
    }
    void cumulativeLoss()
    {
        QFETCH(double, raiseAt);
        QFETCH(double, restoreAt);
        QFETCH(QStringList, turns);
        Scenario scenario = twoDays();
        scenario.inventories.last().litres[1] -= 100;  // 0,46 % of the 11th's gasoline: within the day's tolerance
        BookFixture fixture(scenario);
        ClosingBook book = fixture.book();
        const std::function<bool()> steps[] = {
            [&] { return book.close(Day, {}, Manager).ok(); },
            [&] { return book.close(Day.addDays(1), {}, Manager).ok(); },
            [&] { return book.reopen(Day, Manager, QStringLiteral("conferência")).ok(); },
            [&] { return book.close(Day, {}, Manager).ok(); },
            [&] { return book.reopen(Day.addDays(1), Manager, QStringLiteral("vazamento procurado")).ok(); },
        };
        QStringList told;
        for (const auto &step : steps) {
            QVERIFY(step());
            const Result<QList<LossAlarmTurn>, QSqlError> watched = watchCumulativeLoss(book, {raiseAt, restoreAt});
            QVERIFY2(watched.ok(), qPrintable(watched.ok() ? QString() : watched.error().text()));
            QStringList stepTurns;
            for (const LossAlarmTurn &turn : *watched)
                stepTurns << (turn.raised ? QLatin1Char('+') : QLatin1Char('-'))
                                 + (turns.contains(QStringLiteral("+")) ? QString() : turn.detail);
            told << stepTurns.join(QLatin1Char('|'));
        }
        QCOMPARE(told, turns);
        const FileInspector history(fixture.location());
        const int raises = int(turns.filter(QRegularExpression(QStringLiteral("^\\+"))).size());
        QCOMPARE(history.texts(QStringLiteral("SELECT kind FROM event WHERE kind LIKE 'cumulative%' ORDER BY id")),
                 raises ? (QStringList{"cumulative_loss_raised", "cumulative_loss_cleared"}) : QStringList{});
    }

    // The afternoon's 5.000 L into tank 2 is one invoice's: a second of the same litres is not
    // matched against it again, and without a mapping its two tanks cannot be told apart.
    void oneDeliveryOneInvoice()
    {
        Scenario scenario = balanced();
        scenario.invoices.clear();
        BookFixture fixture(scenario);
        ClosingBook book = fixture.book();
        const auto nfe = [](const QString &number) {
            Invoice nf;
            nf.accessKey = QStringLiteral("3526031234567800019055001%1").arg(number.toInt(), 19, 10, QLatin1Char('0'));
            nf.number = number;
            nf.series = QStringLiteral("1");
            nf.issuedAt = QDateTime(Day, QTime(8, 0), Zone);
            nf.items = {InvoiceItem{QStringLiteral("GASOLINA C COMUM"), QStringLiteral("320102001"), 5000, 5.89}};
            return nf;
        };
        const Result<InvoiceRecord, EntryRefusal> first = book.enterInvoice(nfe(QStringLiteral("101")), {}, {});
        QVERIFY(first.ok());
        QCOMPARE(first->lines.first().tanks.first().tank, 2);
        const Result<InvoiceRecord, EntryRefusal> second = book.enterInvoice(nfe(QStringLiteral("102")), {}, {});
        QVERIFY(!second.ok());
        const EntryProblem *problem = std::get_if<EntryProblem>(&second.error());
        QVERIFY(problem);
        QCOMPARE(problem->kind, EntryProblem::UnknownProduct);
    }

    // Two programs that computed the day both close it: one wins, the other is told.
    void twoProgramsCloseAtOnce()
    {
        BookFixture fixture(balanced());
        ClosingBook first = fixture.book();
        ClosingBook second = fixture.book();
        const Result<BookDay, QSqlError> computed = second.day(Day);
        QVERIFY(computed.ok() && computed->figures.closable());
        QVERIFY(first.close(Day, {}, Manager).ok());
        const Result<void, BookRefusal> late = second.tables().close(ClosedDay{Day, QDateTime::currentDateTimeUtc(), Manager, false, {}});
        QVERIFY(!late.ok());
        QCOMPARE(late.error().kind, BookRefusal::AlreadyClosed);
        QCOMPARE(second.close(Day, {}, Manager).error().kind, CloseRefusal::AlreadyClosed);
    }
};

QTEST_GUILESS_MAIN(TestClosingBook)
#include "tst_closing_book.moc"
