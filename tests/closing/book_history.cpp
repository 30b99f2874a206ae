#include "tests/closing/book_history.h"

#include <QTest>

const StationIdentity BookStation{QStringLiteral("Posto Teste"), QStringLiteral("posto-a"), QString(),
                                  QStringLiteral("America/Sao_Paulo")};

const QByteArray GasolineNfe =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><nfeProc xmlns=\"http://www.portalfiscal.inf.br/nfe\" versao=\"4.00\">"
    "<NFe xmlns=\"http://www.portalfiscal.inf.br/nfe\"><infNFe versao=\"4.00\" "
    "Id=\"NFe35260312345678000190550010000001011000001010\"><ide><serie>1</serie><nNF>101</nNF>"
    "<dhEmi>2026-03-10T08:00:00-03:00</dhEmi></ide><emit><CNPJ>12345678000190</CNPJ>"
    "<xNome>Distribuidora Boa Viagem</xNome></emit><dest><CNPJ>98765432000110</CNPJ></dest>"
    "<det nItem=\"1\"><prod><xProd>GASOLINA C COMUM</xProd><uCom>L</uCom><qCom>5000.0000</qCom>"
    "<vUnCom>5.8900</vUnCom><comb><cProdANP>320102001</cProdANP></comb></prod></det></infNFe></NFe>"
    "<protNFe versao=\"4.00\"/></nfeProc>";

namespace {

MeasurementReading reading(const BookInventory &inventory, int tank, bool weighed)
{
    const QDateTime at = QDateTime::fromString(inventory.at, QStringLiteral("dd/MM/yy HH:mm"));
    MeasurementFrame frame;
    frame.code = "MA";
    frame.tank = QByteArray::number(tank).rightJustified(3, '0');
    frame.product = QByteArray(tank == 3 ? "DIESEL S10" : "GASOLINA C").leftJustified(11, ' ');
    frame.measured = QByteArray::number(inventory.litres.value(tank)).rightJustified(6, '0');
    frame.volume20 = frame.measured;
    frame.time = at.toString(QStringLiteral("HHmmss")).toLatin1();
    frame.date = at.toString(QStringLiteral("ddMMyy")).toLatin1();
    frame.mark = weighed ? 'P' : ' ';
    return frame.reading();
}

} // namespace

QList<BookInventory> balancedInventories()
{
    return {{"10/03/26 00:05", {{1, 10000}, {2, 8000}, {3, 15000}}},
            {"10/03/26 14:00", {{1, 9800}, {2, 7900}, {3, 14600}}},
            {"10/03/26 14:30", {{1, 9700}, {2, 12900}, {3, 14500}}},
            {"10/03/26 15:00", {{1, 9650}, {2, 12850}, {3, 14450}}},
            {"11/03/26 00:02", {{1, 9250}, {2, 12720}, {3, 14000}}}};
}

void keepInventories(const AlarmFixture &fixture, const QList<BookInventory> &inventories, bool dieselWeighed)
{
    const std::unique_ptr<HistoryStore> store = fixture.openStore();
    quint64 last = 0;
    for (const BookInventory &inventory : inventories) {
        QList<MeasurementReading> readings;
        for (auto tank = inventory.litres.cbegin(); tank != inventory.litres.cend(); ++tank)
            readings << reading(inventory, tank.key(), tank.key() == 3 && dieselWeighed);
        last = store->keepInventory(BookStation, readings, Origin::Poll);
    }
    QVERIFY(waitForWritten(*store, last));
}

InvoiceRecord bookInvoice(const QString &number, QDate day, const QString &product, double litres,
                          const QList<TankShare> &tanks)
{
    InvoiceRecord record;
    record.accessKey = QStringLiteral("3526031234567800019055001%1").arg(number.toInt(), 19, 10, QLatin1Char('0'));
    record.number = number;
    record.series = QStringLiteral("1");
    record.issuedAt = QDateTime(day, QTime(8, 0), QTimeZone(BookStation.timeZone.toUtf8()));
    record.supplierName = QStringLiteral("Distribuidora Boa Viagem");
    record.supplierCnpj = QStringLiteral("12345678000190");
    record.day = day;
    record.lines << InvoiceLineRecord{product, {}, product, litres, 5.89, tanks};
    return record;
}
