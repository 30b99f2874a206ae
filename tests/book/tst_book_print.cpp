// The printed book of three worked days of a real history: 10 March 2026, closed, with a
// gasoline invoice and a diesel loss beyond the tolerance, justified; 11 March, open, with a diesel
// gain still to justify; and 12 March, open and not yet computable.
#include "tests/closing/book_history.h"
#include "tests/support/pdf_answers.h"
#include "tests/support/pdf_text.h"

#include "book/book_print.h"
#include "store/history_file.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QTimeZone Zone("America/Sao_Paulo");
const QDate FirstDay(2026, 3, 10);
const QDate SecondDay = FirstDay.addDays(1);
const QDate ThirdDay = FirstDay.addDays(2);  // no reading at its end, no totalisers, no prices
const QString Gasoline = QStringLiteral("GASOLINA C");
const QString Diesel = QStringLiteral("DIESEL S10");
const QString Cnpj = QStringLiteral("11222333000181");

// Tank 2 takes 5.000 L on the 10th; diesel's tank 3 loses 120 L that day and shows it again the
// next, when the nozzles draw it from where the gauge reads.
QList<BookInventory> inventories()
{
    QList<BookInventory> days = balancedInventories();
    days.last().litres[3] = 13880;
    days << BookInventory{"12/03/26 00:03", {{1, 9000}, {2, 12500}, {3, 13000}}};
    return days;
}

// Lines of a page with their runs of blanks made one, so that a table's row reads as its cells
// one after the other; the font's ligatures ("ﬁ") read as their letters.
QString simplifiedLines(const QString &page)
{
    QStringList lines;
    for (const QString &line : page.normalized(QString::NormalizationForm_KC).split(QLatin1Char('\n')))
        lines << line.simplified();
    return lines.join(QLatin1Char('\n'));
}

// Where the page holds the text whole, not as a part of a longer figure ("-" of "-120,00"), from
// `from` on; -1 when it does not.
qsizetype positionOf(const QString &page, const QString &text, qsizetype from = 0)
{
    const QRegularExpression whole(QStringLiteral("(?<!\\S)%1(?!\\S)").arg(QRegularExpression::escape(text)));
    return whole.match(page, from).capturedStart();
}

} // namespace

class TestBookPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        QVERIFY(folder_.isValid());
        AlarmFixture history(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"));
        keepInventories(history, inventories());
        const qint64 station = FileInspector(history.location()).scalar(QStringLiteral("SELECT id FROM station")).toLongLong();
        const QString connection = QStringLiteral("book-print");
        QVERIFY(openForWriting(connection, history.location(), WriteConnectionSettings{}).ok());
        {
            ClosingBook book(QSqlDatabase::database(connection, false), station, Zone);
            ClosingSettings settings;
            settings.cnpj = Cnpj;
            QVERIFY(book.tables().setSettings(settings).ok());
            QVERIFY(book.tables().replaceNozzles({{1, 1, 1, true}, {2, 1, 1, true}, {3, 2, 2, true}, {4, 3, 3, true}}).ok());
            QVERIFY(book.tables()
                        .storeTotalisers({{FirstDay, 1, 1000.0, 1500.0, 0}, {FirstDay, 2, 2000.0, 2250.0, 0},
                                          {FirstDay, 3, 500.0, 800.0, 20}, {FirstDay, 4, 0.0, 1000.0, 0},
                                          {SecondDay, 1, std::nullopt, 1600.0, 0}, {SecondDay, 2, std::nullopt, 2400.0, 0},
                                          {SecondDay, 3, std::nullopt, 1020.0, 0}, {SecondDay, 4, std::nullopt, 2000.0, 0}})
                        .ok());
            QVERIFY(book.tables()
                        .storePrices({{FirstDay, Gasoline, 5.89}, {FirstDay, Diesel, 6.19},
                                      {SecondDay, Gasoline, 5.99}, {SecondDay, Diesel, 6.29}})
                        .ok());
            QVERIFY(book.tables().addInvoice(bookInvoice(QStringLiteral("101"), FirstDay, Gasoline, 5000, {{2, 5000, false}})).ok());
            QVERIFY(book.close(FirstDay, {{Diesel, QStringLiteral("Vazamento na conexão da bomba 3 <reparado>")}},
                               {QStringLiteral("gerente"), QStringLiteral("caixa-1")})
                        .ok());
            writeDay(book, FirstDay, {});
            writeDay(book, SecondDay, {});
            writeDay(book, ThirdDay, {});
        }
        closeConnection(connection);
    }

    void pages()
    {
        for (const QDate day : {FirstDay, SecondDay, ThirdDay})
            QCOMPARE(pages_.value(day).size(), 2);
    }

    void page_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("page");  // the book's products by name: diesel, then gasoline
        QTest::addColumn<QStringList>("texts");  // in the order the page holds them

        const QStringList heading{"Livro de Movimentação de Combustíveis", "Fechamento Diário", "Posto: Posto Teste",
                                  "CNPJ: 11.222.333/0001-81"};
        rows_ = {
            {"gasoline, closed day", FirstDay, 1,
             heading + QStringList{"Produto: GASOLINA C", "Data: 10/03/2026", "1. Estoque de abertura", "1 10.000,00",
                                   "2 8.000,00", "Total 18.000,00", "2. Volume recebido no dia",
                                   "101 Distribuidora Boa Viagem 5.000,00 5.000,00", "Total recebido 5.000,00",
                                   "3. Volume disponível: 23.000,00 L", "4. Volume vendido no dia",
                                   "1 1 1 1.000,00 1.500,00 0,00 500,00", "1 2 1 2.000,00 2.250,00 0,00 250,00",
                                   "2 3 2 500,00 800,00 20,00 280,00", "5. Total das vendas: 1.030,00 L",
                                   "6. Estoque escritural: 21.970,00 L", "7. Fechamento físico", "1 9.250,00",
                                   "2 12.720,00", "Total 21.970,00", "8. Perdas e ganhos: 0,00 L (0,00 %)",
                                   "9. Preço de venda: R$ 5,890 por litro", "10. Justificativa: nenhuma",
                                   "Fechado por gerente (caixa-1) em " + closedAt_,
                                   "Posto Teste · GASOLINA C · 10/03/2026 Página 2 de 2"}},
            {"diesel, closed day", FirstDay, 0,
             heading + QStringList{"Produto: DIESEL S10", "Data: 10/03/2026", "1. Estoque de abertura", "3 15.000,00",
                                   "Total 15.000,00", "2. Volume recebido no dia", "Total recebido 0,00",
                                   "3. Volume disponível: 15.000,00 L", "4. Volume vendido no dia",
                                   "3 4 3 0,00 1.000,00 0,00 1.000,00", "5. Total das vendas: 1.000,00 L",
                                   "6. Estoque escritural: 14.000,00 L", "7. Fechamento físico", "3 13.880,00",
                                   "Total 13.880,00", "8. Perdas e ganhos: -120,00 L (-0,80 %), além da tolerância",
                                   "9. Preço de venda: R$ 6,190 por litro",
                                   "10. Justificativa: Vazamento na conexão da bomba 3 <reparado>",
                                   "Fechado por gerente (caixa-1) em " + closedAt_,
                                   "Posto Teste · DIESEL S10 · 10/03/2026 Página 1 de 2"}},
            {"gasoline, open day", SecondDay, 1,
             heading + QStringList{"Produto: GASOLINA C", "Data: 11/03/2026", "1. Estoque de abertura", "1 9.250,00",
                                   "2 12.720,00", "Total 21.970,00", "2. Volume recebido no dia", "Total recebido 0,00",
                                   "3. Volume disponível: 21.970,00 L", "4. Volume vendido no dia",
                                   "1 1 1 1.500,00 1.600,00 0,00 100,00", "1 2 1 2.250,00 2.400,00 0,00 150,00",
                                   "2 3 2 800,00 1.020,00 0,00 220,00", "5. Total das vendas: 470,00 L",
                                   "6. Estoque escritural: 21.500,00 L", "7. Fechamento físico", "1 9.000,00",
                                   "2 12.500,00", "Total 21.500,00", "8. Perdas e ganhos: 0,00 L (0,00 %)",
                                   "9. Preço de venda: R$ 5,990 por litro", "10. Justificativa: nenhuma", "Dia aberto",
                                   "Posto Teste · GASOLINA C · 11/03/2026 Página 2 de 2"}},
            {"diesel, open day", SecondDay, 0,
             heading + QStringList{"Produto: DIESEL S10", "Data: 11/03/2026", "1. Estoque de abertura", "3 13.880,00",
                                   "Total 13.880,00", "2. Volume recebido no dia", "Total recebido 0,00",
                                   "3. Volume disponível: 13.880,00 L", "4. Volume vendido no dia",
                                   "3 4 3 1.000,00 2.000,00 0,00 1.000,00", "5. Total das vendas: 1.000,00 L",
                                   "6. Estoque escritural: 12.880,00 L", "7. Fechamento físico", "3 13.000,00",
                                   "Total 13.000,00", "8. Perdas e ganhos: 120,00 L (0,86 %), além da tolerância",
                                   "9. Preço de venda: R$ 6,290 por litro",
                                   "10. Justificativa: nenhuma", "Dia aberto",
                                   "Pendências do dia: DIESEL S10: perda ou ganho além da tolerância, sem justificativa",
                                   "Posto Teste · DIESEL S10 · 11/03/2026 Página 1 de 2"}},
            {"diesel, figures unknown", ThirdDay, 0,
             heading + QStringList{"Produto: DIESEL S10", "Data: 12/03/2026", "1. Estoque de abertura", "3 13.000,00",
                                   "Total 13.000,00", "2. Volume recebido no dia", "Total recebido 0,00",
                                   "3. Volume disponível: 13.000,00 L", "4. Volume vendido no dia", "3 4 3 - - 0,00 -",
                                   "5. Total das vendas: -", "6. Estoque escritural: -", "7. Fechamento físico",
                                   "3 -", "Total -", "8. Perdas e ganhos: -", "9. Preço de venda: não informado",
                                   "10. Justificativa: nenhuma", "Dia aberto",
                                   "Pendências do dia: Sem leitura do medidor às 00:00; Bico 4 sem encerrantes do dia",
                                   "Posto Teste · DIESEL S10 · 12/03/2026 Página 1 de 2"}},
        };
        for (const PageRow &row : std::as_const(rows_))
            QTest::newRow(row.name) << row.day << row.page << row.texts;
    }

    // Every figure of its product and day, in the book's order, and none of another page's.
    void page()
    {
        QFETCH(QDate, day);
        QFETCH(int, page);
        QFETCH(QStringList, texts);
        const QString text = simplifiedLines(pages_.value(day).value(page));
        qsizetype from = 0;
        for (const QString &expected : std::as_const(texts)) {
            const qsizetype at = positionOf(text, expected, from);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("\"%1\" missing, or out of order, in:\n%2").arg(expected, text)));
            from = at + expected.size();
        }
        for (const PageRow &other : std::as_const(rows_)) {
            for (const QString &foreign : other.texts) {
                const QString why = QStringLiteral("\"%1\" of %2 on this page").arg(foreign, QString::fromLatin1(other.name));
                QVERIFY2(texts.contains(foreign) || positionOf(text, foreign) < 0, qPrintable(why));
            }
        }
    }

    // A product too long for a page runs onto the next, its nozzles' captions shown again, and
    // the next product still starts on a page of its own.
    void longProduct()
    {
        BookPrintInput input = inputs_.value(FirstDay);
        input.day.figures.products.prepend(ProductFigures{QStringLiteral("ARLA 32"), {}, {}});
        input.day.figures.tanks << TankFigures{9, QStringLiteral("ARLA 32"), {}};
        for (int nozzle = 11; nozzle <= 60; ++nozzle)
            input.day.figures.nozzles << NozzleFigures{{nozzle, 9, 9}, {1000.0 * nozzle, 1000.0 * nozzle + 10, 0}, 10.0};
        const QString pdf = folder_.filePath(QStringLiteral("longo.pdf"));
        QVERIFY(writeBookPdf(input, pdf));
        QStringList pages;
        PDF_PAGE_TEXTS(pdf, pages);
        QCOMPARE(pages.size(), 4);
        const QString first = simplifiedLines(pages.at(0));
        const QString second = simplifiedLines(pages.at(1));
        QVERIFY(positionOf(first, "Produto: ARLA 32") >= 0);
        QVERIFY(positionOf(first, "9 11 9 11.000,00 11.010,00 0,00 10,00") >= 0);
        QVERIFY(positionOf(second, "9 60 9 60.000,00 60.010,00 0,00 10,00") >= 0);
        QVERIFY(positionOf(second, "Bomba Bico Tanque Encerrante inicial Encerrante final Aferição (L) Vendas (L)") >= 0);
        QVERIFY(positionOf(second, "Fechado por gerente (caixa-1) em " + closedAt_) >= 0);
        QVERIFY(positionOf(second, "Posto Teste · ARLA 32 · 10/03/2026 Página 2 de 4") >= 0);
        QVERIFY(positionOf(second, "Produto: DIESEL S10") < 0);
        QVERIFY(positionOf(simplifiedLines(pages.at(2)), "Produto: DIESEL S10") >= 0);
        QVERIFY(positionOf(simplifiedLines(pages.at(3)), "Produto: GASOLINA C") >= 0);
        QVERIFY(positionOf(simplifiedLines(pages.at(3)), "Posto Teste · GASOLINA C · 10/03/2026 Página 4 de 4") >= 0);
    }

    // Under who closed it, on every page.
    void divergentOpening()
    {
        BookPrintInput input = inputs_.value(FirstDay);
        input.day.divergentOpening = true;
        const QString pdf = folder_.filePath(QStringLiteral("divergente.pdf"));
        QVERIFY(writeBookPdf(input, pdf));
        QStringList pages;
        PDF_PAGE_TEXTS(pdf, pages);
        QCOMPARE(pages.size(), 2);
        for (const QString &page : std::as_const(pages))
            QVERIFY(page.normalized(QString::NormalizationForm_KC)
                        .simplified()
                        .contains("Fechado por gerente (caixa-1) em " + closedAt_
                                  + "; abertura divergente: o fechamento físico do dia anterior mudou depois que este "
                                    "dia foi fechado"));
    }

    // Without a printer the operator is asked for a PDF file in the book's words, named after the
    // station and the day, and gets the same pages there.
    void withoutPrinter()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed; printing would use it");
        const QString pdf = folder_.filePath(QStringLiteral("impresso.pdf"));
        PdfAnswers answers(pdf);
        QWidget window;
        QVERIFY(printBook(inputs_.value(FirstDay), &window));
        QCOMPARE(answers.questions, QStringList{"Não há impressora instalada. Deseja gravar o livro em um arquivo PDF?"});
        QVERIFY2(answers.offered.endsWith("/Fechamento Diário (LMC) - Posto Teste - 10-03-2026.pdf"),
                 qPrintable(answers.offered));
        QStringList pages;
        PDF_PAGE_TEXTS(pdf, pages);
        QCOMPARE(pages, pages_.value(FirstDay));
    }

private:
    struct PageRow {
        const char *name;
        QDate day;
        int page;
        QStringList texts;
    };

    void writeDay(ClosingBook &book, QDate date, const QMap<QString, QString> &justifications)
    {
        const Result<BookDay, QSqlError> day = book.day(date, justifications);
        QVERIFY(day.ok());
        const Result<QMap<QString, double>, QSqlError> prices = book.tables().prices(date);
        QVERIFY(prices.ok());
        if (day->closed)
            closedAt_ = day->closedAt.toTimeZone(Zone).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        const QString pdf = folder_.filePath(date.toString(Qt::ISODate) + QStringLiteral(".pdf"));
        QString error;
        inputs_.insert(date, {QStringLiteral("Posto Teste"), Cnpj, Zone, *day, *prices});
        QVERIFY2(writeBookPdf(inputs_.value(date), pdf, &error), qPrintable(error));
        QStringList texts;
        PDF_PAGE_TEXTS(pdf, texts);
        pages_.insert(date, texts);
    }

    QTemporaryDir folder_;
    QMap<QDate, BookPrintInput> inputs_;
    QMap<QDate, QStringList> pages_;
    QString closedAt_;
    QList<PageRow> rows_;
};

QTEST_MAIN(TestBookPrint)
#include "tst_book_print.moc"
