// Where an invoice enters the book: its product and tanks from the deliveries the gauge saw, or
// the operator's mapping, and its day.
#include "closing/invoice_entry.h"

#include <QtTest>

namespace {

const QTimeZone Zone("America/Sao_Paulo");

// A time on the station's clock.
QDateTime local(const QString &text)
{
    const QDateTime read = QDateTime::fromString(text, QStringLiteral("dd/MM/yy HH:mm"));
    return QDateTime(read.date().addYears(100), read.time(), Zone).toUTC();
}

DeliveryRecord delivery(int tank, const QString &product, const QString &from, const QString &to, double rise)
{
    return DeliveryRecord{tank, product, local(from), local(to), rise, rise * 0.99};
}

Invoice invoice(const QList<InvoiceItem> &items)
{
    Invoice nf;
    nf.accessKey = QStringLiteral("35260312345678000190550010000001011000001010");
    nf.number = QStringLiteral("101");
    nf.issuedAt = QDateTime(QDate(2026, 3, 10), QTime(8, 0), Zone);
    nf.items = items;
    return nf;
}

const InvoiceItem Gasoline{QStringLiteral("GASOLINA C COMUM"), QStringLiteral("320102001"), 10000, 5.89};
const InvoiceItem Diesel{QStringLiteral("OLEO DIESEL B S10"), QStringLiteral("820101034"), 5000, 5.79};

EntryInputs station(const QList<DeliveryRecord> &deliveries)
{
    EntryInputs inputs;
    inputs.deliveries = deliveries;
    inputs.tanks = {{1, QStringLiteral("GASOLINA C")}, {2, QStringLiteral("GASOLINA C")}, {3, QStringLiteral("DIESEL S10")}};
    inputs.zone = Zone;
    return inputs;
}

} // namespace

class TestInvoiceEntry : public QObject {
    Q_OBJECT

private slots:
    void entry_data()
    {
        QTest::addColumn<Invoice>("nf");
        QTest::addColumn<EntryInputs>("inputs");
        QTest::addColumn<int>("typedTank");  // 0: none
        QTest::addColumn<QString>("entered");  // day, then product:tank=litres per line; or the problem

        QTest::newRow("two tanks' deliveries share one line by their rises")
            << invoice({Gasoline})
            << station({delivery(1, "GASOLINA C", "10/03/26 14:00", "10/03/26 14:30", 5940),
                        delivery(2, "GASOLINA C", "10/03/26 14:40", "10/03/26 15:10", 3960)})
            << 0 << "2026-03-10 GASOLINA C:1=6000,2=4000";
        QTest::newRow("a delivery ending after midnight enters the next day")
            << invoice({Diesel}) << station({delivery(3, "DIESEL S10", "10/03/26 23:50", "11/03/26 00:20", 5010)}) << 0
            << "2026-03-11 DIESEL S10:3=5000";
        QTest::newRow("a delivery of another size is not this line's")
            << invoice({Diesel}) << station({delivery(3, "DIESEL S10", "10/03/26 14:00", "10/03/26 14:30", 3000)}) << 0
            << "produto desconhecido: OLEO DIESEL B S10";
        QTest::newRow("a delivery of another product is not this line's, whatever its size")
            << invoice({Diesel}) << station({delivery(1, "GASOLINA C", "10/03/26 14:00", "10/03/26 14:30", 5000)}) << 0
            << "produto desconhecido: OLEO DIESEL B S10";
        QTest::newRow("the mapping decides which product a delivery must be")
            << invoice({Gasoline}) << [&] {
                   EntryInputs mappedToDiesel = station({delivery(1, "GASOLINA C", "10/03/26 14:00", "10/03/26 14:30", 10000)});
                   mappedToDiesel.mapping = {{QStringLiteral("GASOLINA C COMUM"), QStringLiteral("DIESEL S10")}};
                   return mappedToDiesel;
               }() << 0
            << "2026-03-10 DIESEL S10:3=10000";
        QTest::newRow("a delivery before the issue is not this invoice's")
            << invoice({Diesel}) << station({delivery(3, "DIESEL S10", "09/03/26 14:00", "09/03/26 14:30", 5000)}) << 0
            << "produto desconhecido: OLEO DIESEL B S10";

        EntryInputs mapped = station({});
        mapped.mapping = {{QStringLiteral("OLEO DIESEL B S10"), QStringLiteral("DIESEL S10")},
                          {QStringLiteral("320102001"), QStringLiteral("GASOLINA C")}};
        QTest::newRow("no delivery: the mapping by name, into the product's one tank")
            << invoice({Diesel}) << mapped << 0 << "2026-03-10 DIESEL S10:3=5000";
        QTest::newRow("no delivery: the mapping by ANP code, but two tanks")
            << invoice({Gasoline}) << mapped << 0 << "tanques a definir: GASOLINA C";
        QTest::newRow("typed into one tank") << invoice({Gasoline}) << mapped << 2 << "2026-03-10 GASOLINA C:2=10000";
        QTest::newRow("typed into a tank the station lacks") << invoice({Gasoline}) << mapped << 9 << "tanque inexistente: 9";
        QTest::newRow("two lines, one found by its delivery, one mapped")
            << invoice({Gasoline, Diesel})
            << [&] {
                   EntryInputs both = mapped;
                   both.deliveries = {delivery(1, "GASOLINA C", "10/03/26 14:00", "10/03/26 14:30", 10100)};
                   return both;
               }()
            << 0 << "2026-03-10 GASOLINA C:1=10000 DIESEL S10:3=5000";
    }

    void entry()
    {
        QFETCH(Invoice, nf);
        QFETCH(EntryInputs, inputs);
        QFETCH(int, typedTank);
        QFETCH(QString, entered);
        const Result<InvoiceRecord, EntryProblem> record =
            invoiceEntry(nf, inputs, std::nullopt, typedTank ? std::optional<int>(typedTank) : std::nullopt);
        QString shown;
        if (record) {
            shown = record->day.toString(Qt::ISODate);
            for (const InvoiceLineRecord &line : record->lines) {
                QStringList shares;
                for (const TankShare &share : line.tanks)
                    shares << QStringLiteral("%1=%2").arg(share.tank).arg(share.litres);
                shown += QLatin1Char(' ') + line.product + QLatin1Char(':') + shares.join(QLatin1Char(','));
            }
        } else {
            static const char *const kinds[] = {"produto desconhecido", "tanques a definir", "tanque inexistente", "dia fechado"};
            shown = QStringLiteral("%1: %2").arg(QLatin1String(kinds[record.error().kind]), record.error().value);
        }
        QCOMPARE(shown, entered);
    }

    void aDayTypedWins()
    {
        const Result<InvoiceRecord, EntryProblem> record =
            invoiceEntry(invoice({Diesel}), station({delivery(3, "DIESEL S10", "10/03/26 23:50", "11/03/26 00:20", 5000)}),
                         QDate(2026, 3, 12), std::nullopt);
        QVERIFY(record.ok());
        QCOMPARE(record->day, QDate(2026, 3, 12));
    }
};

QTEST_GUILESS_MAIN(TestInvoiceEntry)
#include "tst_invoice_entry.moc"
