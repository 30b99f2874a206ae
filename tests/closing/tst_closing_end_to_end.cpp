// Three days of a station's book made by the real programs alone: comzelta-sim playing the
// controller at 00:05 of each day (its clock moved there, the tanks lower each day), the real
// comzelta-poll --once reading it into the history, and the real comzelta-cli importing the
// nozzles, the totalisers and the supplier's NF-e and giving the days' figures, worked out below
// by hand. On SQLite in the data directory, and (as tst_closing_end_to_end_postgres) on the
// tests' PostgreSQL server through --database.
#include "tests/support/cli_run.h"
#include "tests/support/file_helpers.h"
#include "tests/support/program_run.h"
#include "tests/support/simulators.h"
#include "tests/support/store_test_support.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <cmath>

namespace {

const QString Address = QStringLiteral("127.0.0.232");
const QDate FirstDay(2026, 3, 10);

// Tank 1 GASOLINA, tank 2 DIESEL S10; `minutesAhead` puts the controller's clock on its day.
const QString StationFile = QStringLiteral("[station]\nofe = 232\npassword = Zelta\nclock offset = %1\n\n"
                                           "[tank 1]\nproduct = GASOLINA\ncapacity = 30000\nmeasured = %2\n\n"
                                           "[tank 2]\nproduct = DIESEL S10\ncapacity = 15000\nmeasured = %3\n");

// 5.000 L of gasoline issued on the first day at 10:00 in São Paulo; the supplier's name for it is
// mapped to the controller's.
const QByteArray Nfe =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><nfeProc xmlns=\"http://www.portalfiscal.inf.br/nfe\" versao=\"4.00\">"
    "<NFe xmlns=\"http://www.portalfiscal.inf.br/nfe\"><infNFe versao=\"4.00\" "
    "Id=\"NFe35260312345678000190550010000002021000002020\"><ide><serie>1</serie><nNF>202</nNF>"
    "<dhEmi>2026-03-10T10:00:00-03:00</dhEmi></ide><emit><CNPJ>12345678000190</CNPJ>"
    "<xNome>Distribuidora Boa Viagem</xNome></emit><dest><CNPJ>98765432000110</CNPJ></dest>"
    "<det nItem=\"1\"><prod><xProd>GASOLINA C COMUM</xProd><uCom>L</uCom><qCom>5000.0000</qCom>"
    "<vUnCom>5.8900</vUnCom><comb><cProdANP>320102001</cProdANP></comb></prod></det></infNFe></NFe>"
    "<protNFe versao=\"4.00\"/></nfeProc>";

// The minutes the simulator adds to this PC's local time for its clock to read 00:05 (to the
// minute after) on `day`: the controller keeps the wall time it is given, in no zone.
int minutesAheadToFiveAfterMidnight(QDate day)
{
    const QDateTime target(day, QTime(0, 5), Qt::UTC);
    const auto wall = [](const QDateTime &local) { return QDateTime(local.date(), local.time(), Qt::UTC); };
    const QDateTime now = QDateTime::currentDateTime();
    int minutes = int(std::ceil(wall(now).secsTo(target) / 60.0));
    // A change of the PC's own summer time between now and then moves its wall time.
    minutes += int(std::ceil(wall(now.addSecs(qint64(minutes) * 60)).secsTo(target) / 60.0));
    return minutes;
}

// A product's line of `fechamento --format json`.
struct ProductFigures {
    QString product;
    double opening;
    double receipts;
    double available;
    double sales;
    double book;
    double physical;
    double varianceLitres;
    double variancePercent;
};

} // namespace

class TestClosingEndToEnd : public QObject {
    Q_OBJECT

private:
    QTemporaryDir files_;
    std::unique_ptr<TestHistory> history_;
    QString dataDirectory_;
    QStringList database_;  // --database URL on PostgreSQL

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = files_.filePath(name);
        [&] { QVERIFY(writeOwnerOnly(path, bytes)); }();
        return path;
    }

    ProgramResult cli(const QStringList &arguments)
    {
        return runCli(QStringList{"--data-dir", dataDirectory_} + database_ + QStringList{Address} + arguments, QString(),
                      files_.path());
    }

    // One --once round against the controller at 00:05 of `day`, holding these litres.
    void pollOn(QDate day, int gasoline, int diesel)
    {
        const QString station = file(QStringLiteral("posto-%1.ini").arg(day.toString(Qt::ISODate)),
                                     StationFile.arg(minutesAheadToFiveAfterMidnight(day)).arg(gasoline).arg(diesel).toUtf8());
        QProcess simulator;
        QVERIFY(startSimulatorProcess(simulator, QStringLiteral(COMZELTA_SIM), {"--address", Address, "--station", station},
                                      Address));
        const ProgramResult poll =
            runProgram(QStringLiteral(COMZELTA_POLL), QStringList{"--once", "--data-dir", dataDirectory_, "--stations",
                                                                  files_.filePath(QStringLiteral("frota.csv"))}
                                                          + database_);
        stopSimulatorProcess(simulator);
        QVERIFY2(poll.exitCode == 0 && poll.out.contains("Rodada 1: 1 de 1 postos lidos"), poll.out + poll.err);
    }

    void compareDay(QDate day, const QList<ProductFigures> &expected)
    {
        const ProgramResult shown = cli({"fechamento", "--dia", day.toString(Qt::ISODate), "--format", "json"});
        QVERIFY2(shown.exitCode == 0, shown.out + shown.err);
        const QJsonObject book = QJsonDocument::fromJson(shown.out).object();
        QCOMPARE(book.value("date").toString(), day.toString(Qt::ISODate));
        const QJsonArray products = book.value("products").toArray();
        QCOMPARE(products.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QJsonObject figures = products.at(i).toObject();
            const ProductFigures &want = expected.at(i);
            QCOMPARE(figures.value("product").toString(), want.product);
            QCOMPARE(figures.value("opening_stock").toDouble(), want.opening);
            QCOMPARE(figures.value("receipts").toDouble(), want.receipts);
            QCOMPARE(figures.value("available").toDouble(), want.available);
            QCOMPARE(figures.value("sales").toDouble(), want.sales);
            QCOMPARE(figures.value("book_stock").toDouble(), want.book);
            QCOMPARE(figures.value("physical_stock").toDouble(), want.physical);
            QCOMPARE(figures.value("variance_litres").toDouble(), want.varianceLitres);
            QVERIFY2(std::abs(figures.value("variance_percent").toDouble() - want.variancePercent) < 1e-9,
                     qPrintable(QString::number(figures.value("variance_percent").toDouble(), 'g', 17)));
            QCOMPARE(figures.value("beyond_tolerance").toBool(), false);
        }
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_POLL)).isExecutable());
        history_ = std::make_unique<TestHistory>();
        dataDirectory_ = onPostgres() ? files_.path() : QFileInfo(history_->location().filePath).path();
        if (onPostgres())
            database_ << QStringLiteral("--database") << history_->location().displayName();
        QVERIFY(writeOwnerOnly(dataDirectory_ + QStringLiteral("/poll.ini"), "[geral]\nsenha = Zelta\n"));
        file(QStringLiteral("frota.csv"),
             QStringLiteral("descrição;host;porta;fuso\nPosto Fechamento;%1;;America/Sao_Paulo\n").arg(Address).toUtf8());
    }

    void threeDaysPolledAndBooked()
    {
        // The controller at 00:05 of each day: gasoline, diesel.
        pollOn(FirstDay, 18000, 9000);
        pollOn(FirstDay.addDays(1), 16500, 8200);
        pollOn(FirstDay.addDays(2), 15000, 7000);
        if (QTest::currentTestFailed())
            return;

        const QList<std::pair<QStringList, QString>> steps{
            {{"bicos", "--importar", file(QStringLiteral("bicos.csv"), "bico;tanque;bomba\n1;1;1\n2;1;2\n3;2;3\n")},
             QStringLiteral("3 bicos importados.")},
            {{"encerrantes", "--importar",
              file(QStringLiteral("encerrantes.csv"),
                   "data;bico;encerrante_inicial;encerrante_final;afericao\n"
                   "10/03/2026;1;10.000,00;13.000,00;0\n10/03/2026;2;5.000,00;8.480,00;20,00\n"
                   "10/03/2026;3;2.000,00;2.790,00;0\n"
                   "11/03/2026;1;13.000,00;14.000,00;0\n11/03/2026;2;8.480,00;8.955,00;0\n"
                   "11/03/2026;3;2.790,00;3.990,00;0\n")},
             QStringLiteral("6 encerrantes importados.")},
            {{"produtos", "--mapear", "GASOLINA C COMUM=GASOLINA"}, QStringLiteral("GASOLINA C COMUM")},
            {{"notas", "--importar", file(QStringLiteral("nota.xml"), Nfe)}, QStringLiteral("nota 202 entra no dia 10/03/2026.")},
        };
        for (const auto &[arguments, says] : steps) {
            const ProgramResult run = cli(arguments);
            QVERIFY2(run.exitCode == 0 && QString::fromUtf8(run.out).contains(says),
                     qPrintable(arguments.join(QLatin1Char(' ')) + QLatin1Char('\n') + QString::fromUtf8(run.out + run.err)));
        }

        // 10/03: the stock at 00:00 is the inventory of 00:05, the first in the half hour after it.
        // Gasoline: opens at 18.000; the invoice's 5.000 go to its one tank: 23.000 available.
        // Nozzle 1 sold 13.000 - 10.000 = 3.000 and nozzle 2 8.480 - 5.000 - 20 of calibration =
        // 3.460: 6.460, so the book keeps 23.000 - 6.460 = 16.540. The gauge read 16.500 at 00:05
        // of 11/03: 40 L short, -40 / 23.000 = -0,1739 % of the available volume, within 0,6 %.
        // Diesel S10: 9.000, no receipts, nozzle 3 sold 790: book 8.210, gauge 8.200, 10 L short,
        // -10 / 9.000 = -0,1111 %.
        compareDay(FirstDay, {{QStringLiteral("DIESEL S10"), 9000, 0, 9000, 790, 8210, 8200, -10, -10.0 / 9000 * 100},
                              {QStringLiteral("GASOLINA"), 18000, 5000, 23000, 6460, 16540, 16500, -40, -40.0 / 23000 * 100}});
        // 11/03 opens with 10/03's physical stock, the reading of the second poll, and closes with
        // the third's. Gasoline: 16.500, sold 1.000 + 475 = 1.475, book 15.025, gauge 15.000: 25 L
        // short, -25 / 16.500 = -0,1515 %. Diesel S10: 8.200, sold 1.200, book and gauge 7.000.
        compareDay(FirstDay.addDays(1), {{QStringLiteral("DIESEL S10"), 8200, 0, 8200, 1200, 7000, 7000, 0, 0},
                                         {QStringLiteral("GASOLINA"), 16500, 0, 16500, 1475, 15025, 15000, -25,
                                          -25.0 / 16500 * 100}});
    }
};

QTEST_GUILESS_MAIN(TestClosingEndToEnd)
#include "tst_closing_end_to_end.moc"
