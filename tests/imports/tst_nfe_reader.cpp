// Notas fiscais written after the national NF-e layout, bare and wrapped with their
// authorisation, and the ways a file is refused.
#include "imports/nfe_reader.h"

#include <QtTest>

namespace {

const QString Key = QStringLiteral("35261012345678000190550010000123451000123456");

struct Line {
    QString product;
    QString unit;
    QString quantity;
    QString price;
    QString anp;
};

// An NF-e of two fuel lines, with the parts a test changes given.
QByteArray nfe(const QList<Line> &lines = {{"GASOLINA C COMUM", "L", "5000.0000", "5.8900000000", "320102001"},
                                           {"OLEO DIESEL B S10", "M3", "10.0000", "5890.0000000000", "820101034"}},
               const QString &dest = QStringLiteral("<dest><CNPJ>98765432000110</CNPJ><xNome>Posto Central</xNome></dest>"),
               bool wrapped = false, const QString &id = QStringLiteral("NFe") + Key)
{
    QString details;
    int n = 0;
    for (const Line &line : lines)
        details += QStringLiteral("<det nItem=\"%1\"><prod><cProd>%1</cProd><xProd>%2</xProd><NCM>27101259</NCM>"
                                  "<uCom>%3</uCom><qCom>%4</qCom><vUnCom>%5</vUnCom><vProd>1</vProd>"
                                  "%6</prod><imposto/></det>")
                       .arg(++n)
                       .arg(line.product, line.unit, line.quantity, line.price,
                            line.anp.isEmpty() ? QString() : QStringLiteral("<comb><cProdANP>%1</cProdANP><descANP>x</descANP><UFCons>SP</UFCons></comb>").arg(line.anp));
    const QString nfeText =
        QStringLiteral("<NFe xmlns=\"http://www.portalfiscal.inf.br/nfe\"><infNFe versao=\"4.00\" Id=\"%1\">"
                       "<ide><cUF>35</cUF><natOp>VENDA</natOp><mod>55</mod><serie>1</serie><nNF>12345</nNF>"
                       "<dhEmi>2026-03-10T08:15:00-03:00</dhEmi></ide>"
                       "<emit><CNPJ>12345678000190</CNPJ><xNome>Distribuidora  Boa Viagem Ltda</xNome></emit>%2%3"
                       "<total><ICMSTot><vNF>1</vNF></ICMSTot></total></infNFe>"
                       "<Signature xmlns=\"http://www.w3.org/2000/09/xmldsig#\"><SignedInfo/></Signature></NFe>")
            .arg(id, dest, details);
    if (!wrapped)
        return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + nfeText).toUtf8();
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><nfeProc xmlns=\"http://www.portalfiscal.inf.br/nfe\" "
                          "versao=\"4.00\">%1<protNFe versao=\"4.00\"><infProt><chNFe>%2</chNFe><nProt>1</nProt>"
                          "</infProt></protNFe></nfeProc>")
        .arg(nfeText, Key)
        .toUtf8();
}

} // namespace

class TestNfeReader : public QObject {
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("bare NFe") << nfe();
        QTest::newRow("nfeProc with its authorisation") << nfe({{"GASOLINA C COMUM", "L", "5000.0000", "5.8900000000", "320102001"},
                                                               {"OLEO DIESEL B S10", "M3", "10.0000", "5890.0000000000", "820101034"}},
                                                              QStringLiteral("<dest><CNPJ>98765432000110</CNPJ></dest>"), true);
    }

    void reads()
    {
        QFETCH(QByteArray, xml);
        const Result<Invoice, InvoiceProblem> invoice = readNfe(xml);
        QVERIFY2(invoice.ok(), qPrintable(invoice.ok() ? QString() : invoiceProblemText(QStringLiteral("nota.xml"), invoice.error())));
        QCOMPARE(invoice->accessKey, Key);
        QCOMPARE(invoice->number, QStringLiteral("12345"));
        QCOMPARE(invoice->series, QStringLiteral("1"));
        QCOMPARE(invoice->issuedAt.toUTC(), QDateTime(QDate(2026, 3, 10), QTime(11, 15), Qt::UTC));
        QCOMPARE(invoice->supplierName, QStringLiteral("Distribuidora Boa Viagem Ltda"));
        QCOMPARE(invoice->supplierCnpj, QStringLiteral("12345678000190"));
        QCOMPARE(invoice->recipientCnpj, QStringLiteral("98765432000110"));
        QCOMPARE(invoice->items.size(), 2);
        QCOMPARE(invoice->items.at(0).product, QStringLiteral("GASOLINA C COMUM"));
        QCOMPARE(invoice->items.at(0).anpCode, QStringLiteral("320102001"));
        QCOMPARE(invoice->items.at(0).litres, 5000.0);
        QCOMPARE(invoice->items.at(0).pricePerLitre, 5.89);
        // Ten cubic metres at R$ 5.890,00 each: 10.000 litres at R$ 5,89.
        QCOMPARE(invoice->items.at(1).litres, 10000.0);
        QCOMPARE(invoice->items.at(1).pricePerLitre, 5.89);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("reason");

        const auto line = [](const QString &unit, const QString &quantity) {
            return QList<Line>{{"GASOLINA C COMUM", unit, quantity, "5.89", "320102001"}};
        };
        QTest::newRow("kilograms") << nfe(line("KG", "700.0")) << "nota.xml: unidade \"KG\" não é de volume (aceitas: L, LT, M3)";
        QTest::newRow("units") << nfe(line("UN", "3")) << "nota.xml: unidade \"UN\" não é de volume (aceitas: L, LT, M3)";
        QTest::newRow("litres as lt, lower case, accepted, but no quantity")
            << nfe(line("lt", "")) << "nota.xml: falta o campo infNFe/det/prod/qCom";
        QTest::newRow("a quantity in Brazilian form") << nfe(line("L", "5.000,00"))
                                                      << "nota.xml: valor inválido em infNFe/det/prod/qCom: \"5.000,00\"";
        QTest::newRow("a negative quantity") << nfe(line("L", "-10")) << "nota.xml: valor inválido em infNFe/det/prod/qCom: \"-10\"";
        QTest::newRow("no lines") << nfe({}) << "nota.xml: falta o campo infNFe/det";
        QTest::newRow("an access key short of a digit")
            << nfe(line("L", "1"), {}, false, QStringLiteral("NFe") + Key.left(43))
            << "nota.xml: valor inválido em infNFe/@Id: \"NFe" + Key.left(43) + "\"";
        QTest::newRow("no access key") << nfe(line("L", "1"), {}, false, {}) << "nota.xml: falta o campo infNFe/@Id";
        QTest::newRow("another layout's root")
            << QByteArray("<?xml version=\"1.0\"?><CTe xmlns=\"http://www.portalfiscal.inf.br/cte\"><infCte/></CTe>")
            << "nota.xml: não é uma NF-e";
        QTest::newRow("an NFe outside the layout's namespace")
            << QByteArray(nfe()).replace("http://www.portalfiscal.inf.br/nfe", "urn:outro") << "nota.xml: não é uma NF-e";
        QTest::newRow("an nfeProc without its NFe")
            << QByteArray("<nfeProc xmlns=\"http://www.portalfiscal.inf.br/nfe\"><protNFe/></nfeProc>") << "nota.xml: não é uma NF-e";
        QTest::newRow("a spreadsheet") << QByteArray("data;bico;inicial\n10/03/2026;1;100\n") << "nota.xml: não é uma NF-e";
        QTest::newRow("cut short") << nfe().left(600) << "nota.xml: XML ilegível na linha 1";
        QTest::newRow("an empty file") << QByteArray() << "nota.xml: não é uma NF-e";
    }

    void refuses()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, reason);
        const Result<Invoice, InvoiceProblem> invoice = readNfe(xml);
        QVERIFY(!invoice.ok());
        QCOMPARE(invoiceProblemText(QStringLiteral("nota.xml"), invoice.error()), reason);
    }

    void recipient_data()
    {
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QString>("stationCnpj");
        QTest::addColumn<QString>("reason");  // empty: accepted

        const QString ours = QStringLiteral("<dest><CNPJ>98765432000110</CNPJ></dest>");
        QTest::newRow("the station's") << ours << "98765432000110" << "";
        QTest::newRow("station without a CNPJ set") << ours << "" << "";
        QTest::newRow("another station's") << ours << "11111111000111"
                                            << "nota.xml: destinada a outro CNPJ (98765432000110), não ao do posto";
        QTest::newRow("a person's") << QStringLiteral("<dest><CPF>12345678901</CPF></dest>") << "98765432000110"
                                    << "nota.xml: destinada a outro CNPJ (sem CNPJ), não ao do posto";
    }

    void recipient()
    {
        QFETCH(QString, dest);
        QFETCH(QString, stationCnpj);
        QFETCH(QString, reason);
        const Result<Invoice, InvoiceProblem> invoice =
            readNfe(nfe({{"GASOLINA C COMUM", "L", "5000", "5.89", "320102001"}}, dest));
        QVERIFY(invoice.ok());
        const Result<void, InvoiceProblem> checked = checkRecipient(*invoice, stationCnpj);
        QCOMPARE(checked.ok() ? QString() : invoiceProblemText(QStringLiteral("nota.xml"), checked.error()), reason);
    }
};

QTEST_GUILESS_MAIN(TestNfeReader)
#include "tst_nfe_reader.moc"
