// The daily book's CSV imports: what each layout accepts, and every kind of bad row, each
// refusing the whole file with the row named.
#include "imports/csv_rows.h"
#include "imports/day_rows.h"

#include <QtTest>

using OptionalNumber = std::optional<double>;
Q_DECLARE_METATYPE(OptionalNumber)

class TestDayRows : public QObject {
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<OptionalNumber>("value");
        QTest::newRow("thousands and decimals") << "1.000,50" << OptionalNumber(1000.5);
        QTest::newRow("millions") << "1.234.567,89" << OptionalNumber(1234567.89);
        QTest::newRow("no thousands separator") << "999999,99" << OptionalNumber(999999.99);
        QTest::newRow("whole") << "1000" << OptionalNumber(1000);
        QTest::newRow("negative") << "-3,2" << OptionalNumber(-3.2);
        QTest::newRow("decimal point") << "1000.50" << OptionalNumber();
        QTest::newRow("English form") << "1,000.50" << OptionalNumber();
        QTest::newRow("broken group") << "1.00,5" << OptionalNumber();
        QTest::newRow("empty") << "" << OptionalNumber();
        QTest::newRow("words") << "mil" << OptionalNumber();
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(OptionalNumber, value);
        QCOMPARE(brazilianNumber(text), value);
    }

    void totalisers()
    {
        const QByteArray file = "data;bico;encerrante_inicial;encerrante_final;afericao\r\n"
                                "10/03/2026;1;1.000,00;1.523,45;20,00\r\n"
                                "\r\n"
                                "10/03/2026; 2 ;999.990,00;10,00;0\r\n";
        const auto rows = readTotaliserRows(file);
        QVERIFY(rows.ok());
        QCOMPARE(rows->size(), 2);
        QCOMPARE(rows->at(0).date, QDate(2026, 3, 10));
        QCOMPARE(rows->at(0).closing, 1523.45);
        QCOMPARE(rows->at(0).calibration, 20.0);
        QCOMPARE(rows->at(1).nozzle, 2);
        QCOMPARE(rows->at(1).opening, 999990.0);
    }

    void nozzlesAndPrices()
    {
        const auto nozzles = readNozzleRows("1;1\n2;1;1\n3;2;2\n");
        QVERIFY(nozzles.ok());
        QCOMPARE(nozzles->size(), 3);
        QVERIFY(!nozzles->at(0).pump);
        QCOMPARE(nozzles->at(2).pump, std::optional<int>(2));
        // A spreadsheet saved in Windows-1252 keeps its accents.
        const auto prices = readPriceRows("data;produto;preco\n10/03/2026;\xC1LCOOL;4,19\n");
        QVERIFY(prices.ok());
        QCOMPARE(prices->at(0).product, QStringLiteral("ÁLCOOL"));
        QCOMPARE(prices->at(0).price, 4.19);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");

        QTest::newRow("empty") << "bicos" << QByteArray("bico;tanque\n\n") << "f.csv: nenhuma linha de dados";
        QTest::newRow("a nozzle without its tank") << "bicos" << QByteArray("1;1\n2\n") << "f.csv, linha 2: 1 campos, fora do leiaute";
        QTest::newRow("four fields") << "bicos" << QByteArray("1;1;1;1\n") << "f.csv, linha 1: 4 campos, fora do leiaute";
        QTest::newRow("nozzle zero") << "bicos" << QByteArray("0;1\n") << "f.csv, linha 1: bico \"0\" não é um número inteiro positivo";
        QTest::newRow("a named tank") << "bicos" << QByteArray("1;T1\n")
                                      << "f.csv, linha 1: tanque \"T1\" não é um número inteiro positivo";
        QTest::newRow("a pump left blank") << "bicos" << QByteArray("1;1;\n")
                                           << "f.csv, linha 1: bomba \"\" não é um número inteiro positivo";
        QTest::newRow("a nozzle twice") << "bicos" << QByteArray("1;1\n2;1\n1;2\n") << "f.csv, linha 3: bico \"1\" repetido";
        QTest::newRow("an ISO date") << "encerrantes" << QByteArray("2026-03-10;1;1,0;2,0;0\n")
                                     << "f.csv, linha 1: data \"2026-03-10\" não é uma data DD/MM/AAAA";
        QTest::newRow("31 February") << "encerrantes" << QByteArray("31/02/2026;1;1,0;2,0;0\n")
                                     << "f.csv, linha 1: data \"31/02/2026\" não é uma data DD/MM/AAAA";
        QTest::newRow("a decimal point") << "encerrantes" << QByteArray("10/03/2026;1;1000.50;2000,00;0\n")
                                         << "f.csv, linha 1: encerrante_inicial \"1000.50\" não é um número (use a vírgula decimal: 1.000,00)";
        QTest::newRow("a negative calibration") << "encerrantes" << QByteArray("10/03/2026;1;1,0;2,0;-1\n")
                                                << "f.csv, linha 1: afericao \"-1\" negativo";
        QTest::newRow("a day's nozzle twice, the bad row after good ones")
            << "encerrantes" << QByteArray("10/03/2026;1;1,0;2,0;0\n10/03/2026;2;1,0;2,0;0\n10/03/2026;1;2,0;3,0;0\n")
            << "f.csv, linha 3: data;bico \"10/03/2026;1\" repetido";
        QTest::newRow("a price without its product") << "precos" << QByteArray("10/03/2026;;5,89\n")
                                                     << "f.csv, linha 1: produto vazio";
        QTest::newRow("a product priced twice a day, in other cases")
            << "precos" << QByteArray("10/03/2026;Gasolina;5,89\n10/03/2026;GASOLINA;5,99\n")
            << "f.csv, linha 2: data;produto \"10/03/2026;GASOLINA\" repetido";
    }

    void refused()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        std::optional<RowProblem> problem;
        if (kind == QLatin1String("bicos")) {
            const auto rows = readNozzleRows(file);
            if (!rows)
                problem = rows.error();
        } else if (kind == QLatin1String("encerrantes")) {
            const auto rows = readTotaliserRows(file);
            if (!rows)
                problem = rows.error();
        } else {
            const auto rows = readPriceRows(file);
            if (!rows)
                problem = rows.error();
        }
        QVERIFY(problem);
        QCOMPARE(rowProblemText(QStringLiteral("f.csv"), *problem), reason);
    }
};

QTEST_GUILESS_MAIN(TestDayRows)
#include "tst_day_rows.moc"
