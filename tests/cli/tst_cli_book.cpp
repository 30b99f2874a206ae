// The daily book from the command line, as a station manager keeps it: nozzles, totalisers and
// the supplier's NF-e imported, the day shown, closed, reopened with a reason and audited, and
// every kind of refusal with its exit status. The readings come from the store as a poller
// writes them; the controller is never dialled.
#include "tests/closing/book_history.h"
#include "tests/support/cli_run.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One command and what it must do: its exit status, and a text its output or its errors hold.
struct Step {
    QStringList arguments;  // after the station
    int exitCode = 0;
    QString says;
};

const QByteArray Nfe =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><nfeProc xmlns=\"http://www.portalfiscal.inf.br/nfe\" versao=\"4.00\">"
    "<NFe xmlns=\"http://www.portalfiscal.inf.br/nfe\"><infNFe versao=\"4.00\" "
    "Id=\"NFe35260312345678000190550010000001011000001010\"><ide><serie>1</serie><nNF>101</nNF>"
    "<dhEmi>2026-03-10T08:00:00-03:00</dhEmi></ide><emit><CNPJ>12345678000190</CNPJ>"
    "<xNome>Distribuidora Boa Viagem</xNome></emit><dest><CNPJ>98765432000110</CNPJ></dest>"
    "<det nItem=\"1\"><prod><xProd>GASOLINA C COMUM</xProd><uCom>L</uCom><qCom>5000.0000</qCom>"
    "<vUnCom>5.8900</vUnCom><comb><cProdANP>320102001</cProdANP></comb></prod></det></infNFe></NFe>"
    "<protNFe versao=\"4.00\"/></nfeProc>";

} // namespace

class TestCliBook : public QObject {
    Q_OBJECT

private:
    QTemporaryDir files_;

    QString file(const QString &name, const QByteArray &bytes)
    {
        QFile out(files_.filePath(name));
        [&] { QVERIFY(out.open(QIODevice::WriteOnly)); }();
        out.write(bytes);
        return out.fileName();
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        if (onPostgres())
            QSKIP("the command line's history here is the data directory's file");
    }

    void aDayFromImportToAudit()
    {
        AlarmFixture fixture(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"));
        keepInventories(fixture, balancedInventories());
        const QString dataDirectory = QFileInfo(fixture.location().filePath).path();
        const QString nozzles = file(QStringLiteral("bicos.csv"), "bico;tanque;bomba\n1;1;1\n2;1;1\n3;2;2\n4;3;3\n");
        const QString totalisers = file(QStringLiteral("encerrantes.csv"),
                                        "data;bico;encerrante_inicial;encerrante_final;afericao\n"
                                        "10/03/2026;1;1.000,00;1.500,00;0\n10/03/2026;2;2.000,00;2.250,00;0\n"
                                        "10/03/2026;3;500,00;800,00;20,00\n10/03/2026;4;999.500,00;500,00;0\n");
        const QString badTotalisers = file(QStringLiteral("ruim.csv"), "10/03/2026;1;1000.00;1500,00;0\n");
        const QString nfe = file(QStringLiteral("nota.xml"), Nfe);
        const QString notNfe = file(QStringLiteral("planilha.xml"), "<planilha/>");
        const QString prices = file(QStringLiteral("precos.csv"), "10/03/2026;GASOLINA C;6,29\n");
        const QString strayNozzle = file(QStringLiteral("bico7.csv"), "11/03/2026;7;100,00;200,00;0\n");
        const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);

        const QList<Step> steps{
            {{"fechamento", "--dia", "2026-03-10"}, 8, "Tanque 1 sem bicos cadastrados"},
            {{"bicos", "--importar", nozzles}, 0, "4 bicos importados."},
            {{"fechamento", "--dia", "2026-03-10"}, 8, "Bico 1 sem encerrantes do dia"},
            {{"encerrantes", "--importar", badTotalisers}, 2, "ruim.csv, linha 1: encerrante_inicial \"1000.00\" não é um número"},
            {{"encerrantes", "--importar", totalisers}, 0, "4 encerrantes importados."},
            {{"notas", "--importar", notNfe}, 2, "planilha.xml: não é uma NF-e"},
            // Without the invoice, tank 2's delivery is a gain beyond the tolerance.
            {{"fechar", "--dia", "2026-03-10"}, 2, "GASOLINA C: perda ou ganho além da tolerância, sem justificativa"},
            {{"notas", nfe}, 0, "nota 101 entra no dia 10/03/2026."},
            {{"notas", "--importar", nfe}, 9, "NF-e já importada"},
            {{"fechar", "--dia", "2026-03-10"}, 0, "Dia 10/03/2026 fechado."},
            {{"fechar", "--dia", "2026-03-10"}, 9, "o dia 10/03/2026 já está fechado"},
            {{"reabrir", "--dia", "2026-03-10"}, 2, "falta a opção --motivo"},
            {{"reabrir", "--dia", "2026-03-10", "--motivo", "encerrante do bico 2 relido"}, 0, "Dia 10/03/2026 reaberto."},
            {{"reabrir", "--dia", "2026-03-10", "--motivo", "de novo"}, 9, "o dia 10/03/2026 não está fechado"},
            {{"fechar", "--dia", "2026-03-10"}, 0, "Dia 10/03/2026 fechado."},
            // A closed day's inputs change only once it is reopened.
            {{"encerrantes", "--importar", totalisers}, 9, "o dia 10/03/2026 está fechado: reabra-o"},
            {{"precos", "--importar", prices}, 9, "o dia 10/03/2026 está fechado"},
            {{"regua", "--dia", "2026-03-10", "--tanque", "1", "--litros", "9000", "--motivo", "régua"}, 9,
             "o dia 10/03/2026 está fechado"},
            {{"encerrantes", "--importar", strayNozzle}, 2, "o bico 7 (dia 11/03/2026) não está cadastrado"},
            {{"fechar", "--dia", tomorrow}, 9, "só termina em"},
            {{"auditoria", "--dia", "2026-03-10", "--format", "csv"}, 0, "reabertura"},
            {{"fechamento", "--dia", "2026-03-11"}, 8, "Sem leitura do medidor às 00:00"},
            {{"fechamento", "--dia", "2026-02-30"}, 2, "--dia inválido: \"2026-02-30\" (AAAA-MM-DD)"},
        };
        for (const Step &step : steps) {
            const ProgramResult run =
                runCli(QStringList{"--data-dir", dataDirectory, "posto-a"} + step.arguments, QString(), files_.path());
            const QString said = QString::fromUtf8(run.out + run.err);
            QVERIFY2(run.exitCode == step.exitCode && said.contains(step.says),
                     qPrintable(step.arguments.join(QLatin1Char(' ')) + QStringLiteral(" → ") + QString::number(run.exitCode)
                                + QLatin1Char('\n') + said));
        }

        const ProgramResult shown = runCli({"--data-dir", dataDirectory, "posto-a", "fechamento", "--dia", "2026-03-10",
                                            "--format", "json"},
                                           QString(), files_.path());
        QCOMPARE(shown.exitCode, 0);
        const QJsonObject day = QJsonDocument::fromJson(shown.out).object();
        QCOMPARE(day.value("station").toString(), QStringLiteral("posto-a"));
        QCOMPARE(day.value("date").toString(), QStringLiteral("2026-03-10"));
        QCOMPARE(day.value("closed").toBool(), true);
        QJsonObject gasoline;
        for (const QJsonValue &product : day.value("products").toArray())
            if (product.toObject().value("product") == QStringLiteral("GASOLINA C"))
                gasoline = product.toObject();
        QCOMPARE(gasoline.value("opening_stock").toDouble(), 18000.0);
        QCOMPARE(gasoline.value("receipts").toDouble(), 5000.0);
        QCOMPARE(gasoline.value("available").toDouble(), 23000.0);
        QCOMPARE(gasoline.value("sales").toDouble(), 1030.0);
        QCOMPARE(gasoline.value("book_stock").toDouble(), 21970.0);
        QCOMPARE(gasoline.value("physical_stock").toDouble(), 21970.0);
        QCOMPARE(gasoline.value("variance_litres").toDouble(), 0.0);
        QCOMPARE(gasoline.value("beyond_tolerance").toBool(), false);
        const QJsonArray nozzlesShown = day.value("nozzles").toArray();
        QCOMPARE(nozzlesShown.size(), 4);
        // 999.500,00 rolled over to 500,00.
        QCOMPARE(nozzlesShown.at(3).toObject().value("sales").toDouble(), 1000.0);
        QCOMPARE(nozzlesShown.at(2).toObject().value("calibration").toDouble(), 20.0);
        const QJsonObject invoice = day.value("invoices").toArray().at(0).toObject();
        QCOMPARE(invoice.value("number").toString(), QStringLiteral("101"));
        QCOMPARE(invoice.value("difference_litres").toDouble(), 0.0);
        QVERIFY(day.value("tanks").toArray().at(1).toObject().contains("physical_stock"));
    }

    // 100 L of gasoline lost on the 10th: 0,43 % of the day's 23.000 L, within its tolerance, but
    // 9,71 % of the month's 1.030 L sold. Closing the day says the alarm, as alarmes.ini sets it.
    void cumulativeLossOnClosing_data()
    {
        QTest::addColumn<QByteArray>("rules");  // alarmes.ini; empty: no file
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("warns");
        QTest::newRow("no alarmes.ini: the default limit")
            << QByteArray() << "Alarme: GASOLINA C: perda acumulada em 03/2026 de 100 L, 9,71% das vendas (limite 0,6%)"
            << "";
        QTest::newRow("the station's own limit") << QByteArray("[posto posto-a]\nperda acumulada = 9,8\n"
                                                               "perda acumulada retorno = 9\n")
                                                 << "" << "";
        QTest::newRow("a broken alarmes.ini") << QByteArray("[postos]\nperda acumulada = muita\n") << ""
                                              << "comzelta-cli: Alarmes desativados: ";
    }
    void cumulativeLossOnClosing()
    {
        QFETCH(QByteArray, rules);
        QFETCH(QString, says);
        QFETCH(QString, warns);
        AlarmFixture fixture(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"));
        QList<BookInventory> inventories = balancedInventories();
        inventories.last().litres[1] -= 100;
        keepInventories(fixture, inventories);
        const QString dataDirectory = QFileInfo(fixture.location().filePath).path();
        if (!rules.isEmpty())
            QVERIFY(QFile::copy(file(QStringLiteral("alarmes.ini"), rules), dataDirectory + QStringLiteral("/alarmes.ini")));
        const QList<QStringList> imports{
            {"bicos", "--importar", file(QStringLiteral("bicos.csv"), "1;1\n2;1\n3;2\n4;3\n")},
            {"encerrantes", "--importar",
             file(QStringLiteral("encerrantes.csv"), "10/03/2026;1;1000;1500;0\n10/03/2026;2;2000;2250;0\n"
                                                     "10/03/2026;3;500;800;20\n10/03/2026;4;0;1000;0\n")},
            {"notas", "--importar", file(QStringLiteral("nota.xml"), Nfe)},
        };
        for (const QStringList &arguments : imports)
            QCOMPARE(runCli(QStringList{"--data-dir", dataDirectory, "posto-a"} + arguments, QString(), files_.path()).exitCode,
                     0);

        const ProgramResult closed =
            runCli({"--data-dir", dataDirectory, "posto-a", "fechar", "--dia", "2026-03-10"}, QString(), files_.path());
        QCOMPARE(closed.exitCode, 0);
        const QStringList lines = QString::fromUtf8(closed.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{"Dia 10/03/2026 fechado."} + (says.isEmpty() ? QStringList{} : QStringList{says})));
        QCOMPARE(QString::fromUtf8(closed.err).left(warns.size()), warns);
        QCOMPARE(closed.err.isEmpty(), warns.isEmpty());
        const FileInspector history(fixture.location());
        QCOMPARE(history.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'cumulative_loss_raised'")).toInt(),
                 says.isEmpty() ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestCliBook)
#include "tst_cli_book.moc"
