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
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One command and what it must do: its exit status, and a text its output or its errors hold.
struct Step {
    QStringList arguments;  // after the station
    int exitCode = 0;
    QString says;
};

// A JSON value as the output rows compare it: text as it is, anything else as compact JSON
// ("null", "6.29", "[3]"); "undefined" where the path leads nowhere.
QString valueText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isUndefined())
        return QStringLiteral("undefined");
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).chopped(1).mid(1);
}

// "records/1/lines_before/0/kind": object keys and array indexes.
QJsonValue valueAt(const QJsonDocument &document, const QString &path)
{
    QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    for (const QString &step : path.split(QLatin1Char('/'))) {
        bool index = false;
        const int at = step.toInt(&index);
        value = index ? value.toArray().at(at) : value.toObject().value(step);
    }
    return value;
}

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

    // posto-a's book of 10/03/2026 with its nozzles, totalisers, invoice, gasoline's price and the
    // invoice's product mapped, and then, by `setup`: "perda", 100 L of gasoline short at the
    // closing; "fechado", closed, reopened, nozzle 1's totaliser typed again and closed again;
    // "kg", the diesel tank measured in kg; "régua", no reading at the closing hour, every tank
    // dipped instead; "divergente", so dipped, closed, the 11th (without sales) dipped and closed,
    // and the 10th reopened, tank 1 dipped again 10 L lower and closed again. Its data directory.
    QString keptBook(const AlarmFixture &fixture, const QString &setup)
    {
        const bool dipped = setup == QStringLiteral("régua") || setup == QLatin1String("divergente");
        QList<BookInventory> inventories = balancedInventories();
        if (setup == QLatin1String("perda"))
            inventories.last().litres[1] -= 100;
        if (dipped)
            inventories.removeLast();
        keepInventories(fixture, inventories, setup == QLatin1String("kg"));
        const QString dataDirectory = QFileInfo(fixture.location().filePath).path();
        QList<QStringList> steps{
            {"bicos", "--importar", file(QStringLiteral("bicos.csv"), "1;1\n2;1\n3;2\n4;3\n")},
            {"encerrantes", "--importar",
             file(QStringLiteral("encerrantes.csv"), "10/03/2026;1;1000;1500;0\n10/03/2026;2;2000;2250;0\n"
                                                     "10/03/2026;3;500;800;20\n10/03/2026;4;0;1000;0\n")},
            {"precos", "--importar", file(QStringLiteral("precos.csv"), "10/03/2026;GASOLINA C;6,29\n")},
            {"notas", "--importar", file(QStringLiteral("nota.xml"), GasolineNfe)},
            {"produtos", "--mapear", "GASOLINA C COMUM=GASOLINA C"},
        };
        const auto dip = [&](const char *day, const char *tank, const char *litres) {
            steps << QStringList{"regua", "--dia", day, "--tanque", tank, "--litros", litres, "--motivo",
                                 "medidor sem leitura às 00:00"};
        };
        if (dipped)
            for (const char *day : {"2026-03-10", "2026-03-11"})
                for (const auto &[tank, litres] : {std::pair{"1", "9.250"}, std::pair{"2", "12.720"}, std::pair{"3", "14.000"}})
                    dip(day, tank, litres);
        if (setup == QLatin1String("divergente")) {
            steps << QStringList{"encerrantes", "--importar",
                                 file(QStringLiteral("dia11.csv"), "11/03/2026;1;1500;1500;0\n11/03/2026;2;2250;2250;0\n"
                                                                   "11/03/2026;3;800;800;0\n11/03/2026;4;1000;1000;0\n")}
                  << QStringList{"fechar", "--dia", "2026-03-10"} << QStringList{"fechar", "--dia", "2026-03-11"}
                  << QStringList{"reabrir", "--dia", "2026-03-10", "--motivo", "régua do tanque 1 relida"};
            dip("2026-03-10", "1", "9.240");
            steps << QStringList{"fechar", "--dia", "2026-03-10"};
        }
        if (setup == QLatin1String("fechado"))
            steps << QStringList{"fechar", "--dia", "2026-03-10"}
                  << QStringList{"reabrir", "--dia", "2026-03-10", "--motivo", "encerrante do bico 1 relido"}
                  << QStringList{"encerrantes", "--importar",
                                 file(QStringLiteral("relido.csv"), "10/03/2026;1;1000;1510;0\n")}
                  << QStringList{"fechar", "--dia", "2026-03-10"};
        for (const QStringList &step : steps) {
            const ProgramResult run =
                runCli(QStringList{"--data-dir", dataDirectory, "posto-a"} + step, QString(), files_.path());
            [&] { QVERIFY2(run.exitCode == 0, qPrintable(step.join(QLatin1Char(' ')) + QString::fromUtf8(run.err))); }();
        }
        return dataDirectory;
    }

    ProgramResult onBook(const QString &setup, const QStringList &arguments)
    {
        AlarmFixture fixture(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"));
        const QString dataDirectory = keptBook(fixture, setup);
        return runCli(QStringList{"--data-dir", dataDirectory, "posto-a"} + arguments, QString(), files_.path());
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        if (onPostgres())
            QSKIP("the command line's history here is the data directory's file");
        // The book is Brazilian whatever the locale: its programs run here in the plainest one.
        qputenv("LANG", "C");
        qputenv("LC_ALL", "C");
        qputenv("USER", "gerente");
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
        const QString nfe = file(QStringLiteral("nota.xml"), GasolineNfe);
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
            {"notas", "--importar", file(QStringLiteral("nota.xml"), GasolineNfe)},
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

    // What the book prints, in text and CSV: each pattern must match a line of the output (or of
    // the errors), none of `absent` any.
    void printedBook_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        const QStringList day{"fechamento", "--dia", "2026-03-10"};
        const QStringList month{"fechamento", "--mes", "2026-03"};
        const QStringList csv{"--format", "csv"};
        QTest::newRow("an open day, its numbers and price as Brazilians write them")
            << "aberto" << day << 0
            << QStringList{"^Dia 10/03/2026: aberto$", "Preço \\(R\\$/L\\)$",
                           "^GASOLINA C +18\\.000 +5\\.000 +23\\.000 +1\\.030 +21\\.970 +21\\.970 +0 +0 +não +6,29$",
                           "^DIESEL S10 .* não +-$"}
            << QStringList{"21970"};
        QTest::newRow("a loss, with a decimal comma")
            << "perda" << day << 0 << QStringList{"^GASOLINA C .* 21\\.870 +-100 +-0,43 +não +6,29$"}
            << QStringList{"-0\\.43"};
        QTest::newRow("a day closed again, by whom")
            << "fechado" << day << 0
            << QStringList{"^Dia 10/03/2026: fechado por gerente \\(.+\\) em \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$",
                           "^GASOLINA C .* 1\\.040 +21\\.960 +21\\.970 +10 +0,04 +não +6,29$"}
            << QStringList{"aberto"};
        QTest::newRow("a day whose opening changed since it was closed")
            << "divergente" << QStringList{"fechamento", "--dia", "2026-03-11"} << 0
            << QStringList{"^Dia 11/03/2026: fechado por gerente \\(.+\\) em [\\d/]{10} [\\d:]{5}, abertura divergente$"}
            << QStringList{"medido na régua"};
        QTest::newRow("a tank in kg") << "kg" << day << 0
                                      << QStringList{"^Tanque 3 medido em kg: fora do livro, que é em litros$"}
                                      << QStringList{"^DIESEL S10"};
        QTest::newRow("the dipstick's stock") << "régua" << day << 0
                                              << QStringList{"^Estoque físico medido na régua: medidor sem leitura às 00:00$"}
                                              << QStringList{};
        QTest::newRow("a day in CSV, as the spreadsheet reads it")
            << "perda" << csv + day << 0
            << QStringList{"^\\x{FEFF}product;opening_stock;receipts;available;sales;book_stock;physical_stock;"
                           "variance_litres;variance_percent;beyond_tolerance;sale_price;justification\\r$",
                           "^GASOLINA C;18000;5000;23000;1030;21970;21870;-100;-0,43;não;6,29;\\r$",
                           "^DIESEL S10;15000;0;15000;1000;14000;14000;0;0;não;;\\r$"}
            << QStringList{"^Dia ", "Produtos"};
        QTest::newRow("a month, unknown tolerance as -")
            << "perda" << month << 0
            << QStringList{"^GASOLINA C: vendas 1\\.030 L, perda/ganho acumulado -100 L$",
                           "^GASOLINA C +01/03/2026 .* -$", "^GASOLINA C +10/03/2026 .* -0,43 +não$"}
            << QStringList{"^GASOLINA C +01/03/2026 .*não$"};
        QTest::newRow("a month in CSV, every product")
            << "perda" << csv + month << 0
            << QStringList{"^\\x{FEFF}product;date;opening_stock;", "^DIESEL S10;10/03/2026;15000;0;15000;1000;",
                           "^GASOLINA C;10/03/2026;18000;5000;23000;1030;21970;21870;-100;-0,43;não\\r$",
                           "^GASOLINA C;01/03/2026;;0;;;;;;;\\r$"}
            << QStringList{"^product;date", "vendas"};
        QTest::newRow("the audit, what the reopening changed")
            << "fechado" << QStringList{"auditoria", "--dia", "2026-03-10"} << 0
            << QStringList{"^Quando +Ação +Usuário +Máquina +Motivo +Mudanças$", "^\\d\\d/\\d\\d/\\d{4} [\\d:]{8} +fechamento +gerente ",
                           " reabertura +gerente .* encerrante do bico 1 relido +GASOLINA C: vendas 1\\.030 → 1\\.040 L$"}
            << QStringList{"\\[\\{", "DIESEL S10:", "Antes"};
        QTest::newRow("the audit in CSV keeps the lines")
            << "fechado" << csv + QStringList{"auditoria", "--dia", "2026-03-10"} << 0
            << QStringList{"^\\x{FEFF}at;action;user;machine;reason;lines_before;lines_after\\r$",
                           "^\\d\\d/\\d\\d/\\d{4} [\\d:]{8};reabertura;gerente;.*;encerrante do bico 1 relido;\"\\[\\{"}
            << QStringList{"GASOLINA C: vendas"};
        QTest::newRow("a name to map, quoted for the shell")
            << "aberto"
            << QStringList{"notas", "--importar", files_.filePath(QStringLiteral("etanol.xml"))} << 2
            << QStringList{"comzelta-cli \"posto-a\" produtos --mapear \"ETANOL HIDRATADO COMUM=PRODUTO\"$"}
            << QStringList{};
    }
    void printedBook()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        QByteArray ethanol = GasolineNfe;
        ethanol.replace("GASOLINA C COMUM", "ETANOL HIDRATADO COMUM").replace("5000.0000", "9000.0000");
        ethanol.replace("0000001011000001010", "0000001021000001020");
        file(QStringLiteral("etanol.xml"), ethanol);

        const ProgramResult run = onBook(setup, arguments);
        // The byte order mark kept, so that the rows can see it.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString said = utf8(run.out + run.err);
        QVERIFY2(run.exitCode == exitCode, qPrintable(QString::number(run.exitCode) + QLatin1Char('\n') + said));
        for (const QString &pattern : present)
            QVERIFY2(QRegularExpression(pattern, QRegularExpression::MultilineOption).match(said).hasMatch(),
                     qPrintable(pattern + QStringLiteral(" not in:\n") + said));
        for (const QString &pattern : absent)
            QVERIFY2(!QRegularExpression(pattern, QRegularExpression::MultilineOption).match(said).hasMatch(),
                     qPrintable(pattern + QStringLiteral(" in:\n") + said));
    }

    // The book's JSON, parsed: "path=pattern", the value at the path matching the whole pattern.
    void bookJson_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("the audit's records")
            << "fechado" << QStringList{"auditoria", "--dia", "2026-03-10"}
            << QStringList{"station=posto-a", "date=2026-03-10", "records/0/action=close", "records/0/user=gerente",
                           "records/0/reason=null", "records/0/lines_before=null", "records/1/action=reopen",
                           "records/1/at=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ",
                           "records/1/reason=encerrante do bico 1 relido", "records/1/lines_before/5/product=GASOLINA C",
                           "records/1/lines_before/5/sales=1030", "records/1/lines_after/1/product=GASOLINA C",
                           "records/1/lines_after/1/sales=1040",
                           "records/2/action=close", "records/3=undefined"};
        QTest::newRow("the product mapping")
            << "aberto" << QStringList{"produtos"}
            << QStringList{"station=posto-a", "mapping/0/supplier_product=GASOLINA C COMUM", "mapping/0/product=GASOLINA C",
                           "mapping/1=undefined"};
        QTest::newRow("a day's prices and tolerance")
            << "aberto" << QStringList{"fechamento", "--dia", "2026-03-10"}
            << QStringList{"products/1/product=GASOLINA C", "products/1/sale_price=6.29", "products/0/sale_price=null",
                           "products/1/beyond_tolerance=false", "weighed_tanks=\\[\\]"};
        QTest::newRow("a tank in kg") << "kg" << QStringList{"fechamento", "--dia", "2026-03-10"}
                                      << QStringList{"weighed_tanks=\\[3\\]", "tanks/2=undefined"};
        QTest::newRow("a month's unknown tolerance")
            << "perda" << QStringList{"fechamento", "--mes", "2026-03"}
            << QStringList{"products/1/product=GASOLINA C", "products/1/days/0/date=2026-03-01",
                           "products/1/days/0/beyond_tolerance=null", "products/1/days/9/date=2026-03-10",
                           "products/1/days/9/beyond_tolerance=false", "products/1/days/9/variance_litres=-100"};
    }
    void bookJson()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, values);
        const ProgramResult run = onBook(setup, QStringList{"--format", "json"} + arguments);
        QCOMPARE(run.exitCode, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, run.out.constData());
        for (const QString &value : values) {
            const QString path = value.section(QLatin1Char('='), 0, 0);
            const QString pattern = value.section(QLatin1Char('='), 1);
            const QString found = valueText(valueAt(document, path));
            QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(found).hasMatch(),
                     qPrintable(path + QStringLiteral(": ") + found));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliBook)
#include "tst_cli_book.moc"
