// The window "Fechamento Diário (LMC)" over a history the test fills as the poller would, driven
// through its widgets: the figures it shows, and the days it closes, reopens and feeds.
#include "tests/closing/book_history.h"

#include "book/book_window.h"
#include "export/save_dialog.h"
#include "closing/closing_book.h"
#include "store/history_file.h"
#include "tests/support/csv_reader.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/pdf_answers.h"
#include "tests/support/pdf_text.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QDate Day(2026, 3, 10);
const QTimeZone Zone("America/Sao_Paulo");
const QString Gasoline = QStringLiteral("GASOLINA C");

// 10/03/2026 at Posto Teste: tank 2 takes 5.000 L of gasoline, invoiced unless `invoiced` is false;
// four nozzles sell 750 L from tank 1, 280 L from tank 2 and 1.000 L of diesel. The 11th closes at
// 00:03 on the 12th, each nozzle having sold 100 L more.
class BookFixture {
public:
    explicit BookFixture(bool invoiced) : alarms_(QStringLiteral("[produto GASOLINA C]\nentrega mínima = 500\n"))
    {
        keep(balancedInventories() + QList<BookInventory>{{"12/03/26 00:03", {{1, 9050}, {2, 12620}, {3, 13900}}}});
        [&] {
            QVERIFY(openForWriting(Connection, alarms_.location(), WriteConnectionSettings{}).ok());
            ClosingTables tables = book().tables();
            QVERIFY(tables.replaceNozzles({{1, 1, 1, true}, {2, 1, 1, true}, {3, 2, 2, true}, {4, 3, 3, true}}).ok());
            QVERIFY(tables.storeTotalisers({{Day, 1, 1000.0, 1500.0, 0}, {Day, 2, 2000.0, 2250.0, 0},
                                            {Day, 3, 500.0, 800.0, 20}, {Day, 4, 0.0, 1000.0, 0},
                                            {Day.addDays(1), 1, std::nullopt, 1600.0, 0},
                                            {Day.addDays(1), 2, std::nullopt, 2350.0, 0},
                                            {Day.addDays(1), 3, std::nullopt, 900.0, 0},
                                            {Day.addDays(1), 4, std::nullopt, 1100.0, 0}})
                            .ok());
            if (invoiced)
                QVERIFY(tables.addInvoice(bookInvoice(QStringLiteral("101"), Day, Gasoline, 5000, {{2, 5000, false}})).ok());
        }();
    }
    ~BookFixture() { closeConnection(Connection); }

    const DatabaseLocation &location() const { return alarms_.location(); }
    void keep(const QList<BookInventory> &inventories) const { keepInventories(alarms_, inventories); }
    // The book on the test's own connection, as another program would hold it.
    ClosingBook book() const
    {
        return ClosingBook(QSqlDatabase::database(Connection, false),
                           FileInspector(alarms_.location()).scalar(QStringLiteral("SELECT id FROM station")).toLongLong(),
                           Zone);
    }

private:
    static inline const QString Connection = QStringLiteral("tst_book_window");
    AlarmFixture alarms_;
};

QStringList rowTexts(const QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

// Answers the next dialog of type Dialog that opens with `answer`, as the operator would.
template <class Dialog>
void answerNext(std::function<void(Dialog *)> answer)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start(5);
}

void typeReason(const QString &reason)
{
    answerNext<QInputDialog>([reason](QInputDialog *dialog) {
        dialog->setTextValue(reason);
        dialog->accept();
    });
}

// The window on the fixture's history, showing Day.
std::unique_ptr<BookWindow> openOnDay(const BookFixture &fixture)
{
    auto window = std::make_unique<BookWindow>(fixture.location());
    window->show();
    [&] {
        QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QComboBox *>(QStringLiteral("Posto"))->count(), 1, ServerWaitMs);
    }();
    window->findChild<QDateEdit *>(QStringLiteral("Dia"))->setDate(Day);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!window->findChild<QLabel *>(QStringLiteral("Situacao"))->text().isEmpty(), ServerWaitMs); }();
    return window;
}

QString stateOf(const BookWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("Situacao"))->text();
}

QTableWidget *tableOf(const BookWindow &window, const QString &name)
{
    return window.findChild<QTableWidget *>(name);
}

void click(const BookWindow &window, const QString &button)
{
    QPushButton *pushed = window.findChild<QPushButton *>(button);
    QVERIFY(pushed->isEnabled());
    pushed->click();
}

const QString Closer = QStringLiteral("gerente (%1)").arg(QSysInfo::machineHostName());

} // namespace

class TestBookWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_ENGINE();
        qputenv("USER", "gerente");
    }

    // Before any station is read there is no book to show, and the window makes no history file.
    void noHistoryYet()
    {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("Historico.sqlite"));
        BookWindow window{DatabaseLocation(path)};
        QTRY_COMPARE_WITH_TIMEOUT(window.findChild<QLabel *>(QStringLiteral("Estado"))->text(),
                                  QStringLiteral("Nenhuma medição guardada ainda."), ServerWaitMs);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("Fechar_Dia"))->isEnabled());
    }

    void day_data()
    {
        QTest::addColumn<bool>("invoiced");
        QTest::addColumn<QStringList>("products");
        QTest::addColumn<QStringList>("invoices");
        QTest::addColumn<QString>("missing");

        QTest::newRow("balanced") << true
                                  << QStringList{"DIESEL S10 | 15.000 | 0 | 15.000 | 1.000 | 14.000 | 14.000 | 0 | 0 | não | ",
                                                 "GASOLINA C | 18.000 | 5.000 | 23.000 | 1.030 | 21.970 | 21.970 | 0 | 0 | não | "}
                                  << QStringList{"101 | Distribuidora Boa Viagem | GASOLINA C | 5.000 | 5.000 | 0"} << QString();
        QTest::newRow("a delivery without its invoice")
            << false
            << QStringList{"DIESEL S10 | 15.000 | 0 | 15.000 | 1.000 | 14.000 | 14.000 | 0 | 0 | não | ",
                           "GASOLINA C | 18.000 | 0 | 18.000 | 1.030 | 16.970 | 21.970 | 5.000 | 27,78 | sim | "}
            << QStringList{"sem nota |  | GASOLINA C | 0 | 5.000 | 5.000"}
            << "Pendências: GASOLINA C: perda ou ganho além da tolerância, sem justificativa";
    }

    // Brazilian numbers under a C locale; nothing else in the window makes them so.
    void day()
    {
        QFETCH(bool, invoiced);
        QFETCH(QStringList, products);
        QFETCH(QStringList, invoices);
        QFETCH(QString, missing);
        BookFixture fixture(invoiced);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);

        QTRY_COMPARE_WITH_TIMEOUT(rowTexts(tableOf(*window, QStringLiteral("Produtos"))), products, ServerWaitMs);
        QCOMPARE(rowTexts(tableOf(*window, QStringLiteral("Notas"))), invoices);
        QCOMPARE(rowTexts(tableOf(*window, QStringLiteral("Bicos"))),
                 QStringList({"1 | 1 | 1 | 1.000 | 1.500 | 0 | 500", "2 | 1 | 1 | 2.000 | 2.250 | 0 | 250",
                              "3 | 2 | 2 | 500 | 800 | 20 | 280", "4 | 3 | 3 | 0 | 1.000 | 0 | 1.000"}));
        QCOMPARE(tableOf(*window, QStringLiteral("Tanques"))->rowCount(), 3);
        QCOMPARE(stateOf(*window), QStringLiteral("Aberto"));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Pendencias"))->text(), missing);

        // The variance beyond the tolerance is the one in red.
        const QTableWidget *table = tableOf(*window, QStringLiteral("Produtos"));
        for (int row = 0; row < table->rowCount(); ++row)
            QCOMPARE(table->item(row, 7)->foreground().color() == Qt::darkRed, table->item(row, 9)->text() == "sim");
    }

    // Refused without the cause of the variance, closed with it; then reopened, for a reason
    // only, and both in the day's audit.
    void closeAndReopen()
    {
        BookFixture fixture(false);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTableWidget *products = tableOf(*window, QStringLiteral("Produtos"));
        QTRY_COMPARE_WITH_TIMEOUT(products->rowCount(), 2, ServerWaitMs);

        {
            MessageBoxWatcher boxes;
            click(*window, QStringLiteral("Fechar_Dia"));
            QTRY_COMPARE_WITH_TIMEOUT(boxes.texts,
                                      QStringList{"O dia 10/03/2026 não pode ser fechado: GASOLINA C: perda ou ganho além "
                                                  "da tolerância, sem justificativa"},
                                      ServerWaitMs);
        }
        QCOMPARE(stateOf(*window), QStringLiteral("Aberto"));

        QTableWidgetItem *justification = products->item(1, 10);
        QVERIFY(justification->flags() & Qt::ItemIsEditable);
        QVERIFY(!(products->item(0, 10)->flags() & Qt::ItemIsEditable));
        justification->setText(QStringLiteral("descarga sem nota, nota pedida à distribuidora"));
        QTRY_VERIFY_WITH_TIMEOUT(window->findChild<QLabel *>(QStringLiteral("Pendencias"))->isHidden(), ServerWaitMs);
        click(*window, QStringLiteral("Fechar_Dia"));
        QTRY_VERIFY_WITH_TIMEOUT(stateOf(*window).startsWith(QStringLiteral("Fechado por ") + Closer + " em "), ServerWaitMs);
        QCOMPARE(products->item(1, 10)->text(), QStringLiteral("descarga sem nota, nota pedida à distribuidora"));
        QVERIFY(!(products->item(1, 10)->flags() & Qt::ItemIsEditable));
        QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("Fechar_Dia"))->isEnabled());

        {
            MessageBoxWatcher boxes;
            typeReason(QStringLiteral("  "));
            click(*window, QStringLiteral("Reabrir"));
            QTRY_COMPARE(boxes.texts, QStringList{"O dia não foi reaberto: diga o motivo da reabertura."});
        }
        QVERIFY(stateOf(*window).startsWith(QStringLiteral("Fechado por ")));

        typeReason(QStringLiteral("nota 101 chegou"));
        click(*window, QStringLiteral("Reabrir"));
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(*window), QStringLiteral("Aberto"), ServerWaitMs);

        click(*window, QStringLiteral("Historico_Alteracoes"));
        QDialog *audit = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((audit = window->findChild<QDialog *>(QStringLiteral("Historico_Alteracoes"))), ServerWaitMs);
        QStringList actions;
        for (const QString &row : rowTexts(audit->findChild<QTableWidget *>(QStringLiteral("Alteracoes"))))
            actions << row.section(QStringLiteral(" | "), 1);
        QCOMPARE(actions, QStringList({QStringLiteral("fechamento | gerente | ") + QSysInfo::machineHostName() + " | ",
                                       QStringLiteral("reabertura | gerente | ") + QSysInfo::machineHostName()
                                           + " | nota 101 chegou"}));
        audit->close();
    }

    // The closed day printed from the window, one page per product, and its month's tab marking it
    // closed with the figures the day shows.
    void printAndMonth()
    {
        BookFixture fixture(true);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTRY_COMPARE_WITH_TIMEOUT(tableOf(*window, QStringLiteral("Produtos"))->rowCount(), 2, ServerWaitMs);
        click(*window, QStringLiteral("Fechar_Dia"));
        QTRY_VERIFY_WITH_TIMEOUT(stateOf(*window).startsWith(QStringLiteral("Fechado por ")), ServerWaitMs);

        QTemporaryDir directory;
        const QString pdf = directory.filePath(QStringLiteral("livro.pdf"));
        {
            PdfAnswers answers(pdf);
            click(*window, QStringLiteral("Imprimir"));
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, ServerWaitMs);
        }
        QStringList pages;
        PDF_PAGE_TEXTS(pdf, pages);
        QCOMPARE(pages.size(), 2);
        for (const QString &page : pages) {
            QVERIFY2(page.contains(QStringLiteral("Posto Teste")) && page.contains(QStringLiteral("10/03/2026"))
                         && page.contains(QStringLiteral("Fechado por gerente")),
                     qPrintable(page));
        }
        QVERIFY(pages.at(0).contains(QStringLiteral("DIESEL S10")) != pages.at(1).contains(QStringLiteral("DIESEL S10")));

        auto *month = window->findChild<QComboBox *>(QStringLiteral("Produto"));
        QTRY_VERIFY_WITH_TIMEOUT(month->findText(Gasoline) >= 0, ServerWaitMs);
        month->setCurrentIndex(month->findText(Gasoline));
        const QStringList days = rowTexts(tableOf(*window, QStringLiteral("Dias")));
        QVERIFY2(!days.isEmpty() && days.last().startsWith(QStringLiteral("10")) && days.last().endsWith(QStringLiteral("fechado")),
                 qPrintable(days.join(QLatin1Char('\n'))));
        QVERIFY2(days.last().contains(QStringLiteral("1.030")), qPrintable(days.last()));
    }

    void badTotalisers_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal");  // after the file's path

        QTest::newRow("not a number") << QByteArray("data;bico;encerrante_inicial;encerrante_final;afericao\n"
                                                    "10/03/2026;1;1000,00;1600,00;0\n10/03/2026;2;2000;dois mil;0\n")
                                      << ", linha 3: encerrante_final \"dois mil\" não é um número (use a vírgula decimal: "
                                         "1.000,00)";
        QTest::newRow("a nozzle twice") << QByteArray("data;bico;encerrante_inicial;encerrante_final;afericao\n"
                                                      "10/03/2026;1;1000;1600;0\n10/03/2026;1;1000;1700;0\n")
                                        << ", linha 3: data;bico \"10/03/2026;1\" repetido";
        QTest::newRow("a nozzle the station lacks")
            << QByteArray("data;bico;encerrante_inicial;encerrante_final;afericao\n"
                          "10/03/2026;1;1000;1600;0\n10/03/2026;9;0;100;0\n")
            << ": o bico 9 (dia 10/03/2026) não está cadastrado: cadastre os bicos do posto antes";
    }

    // A file refused whole, its row named: the first nozzle keeps its totalisers.
    void badTotalisers()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        BookFixture fixture(true);
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("encerrantes.csv"));
        QFile written(path);
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write(file);
        written.close();
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTRY_COMPARE_WITH_TIMEOUT(tableOf(*window, QStringLiteral("Bicos"))->rowCount(), 4, ServerWaitMs);
        const QString kept = QStringLiteral("SELECT day, nozzle, opening, closing, calibration FROM totaliser ORDER BY day, nozzle");
        const QStringList before = FileInspector(fixture.location()).texts(kept);
        QCOMPARE(before.size(), 8);

        MessageBoxWatcher boxes;
        answerNext<QFileDialog>([path](QFileDialog *dialog) {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        });
        click(*window, QStringLiteral("Importar_Encerrantes"));
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts, QStringList{path + refusal}, ServerWaitMs);
        QCOMPARE(FileInspector(fixture.location()).texts(kept), before);
    }


    void importInvoices_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("said");  // on the status line, after the folder
        QTest::addColumn<QString>("invoice");

        QTest::newRow("the delivery's invoice") << QStringList{"nota.xml"} << "nota.xml: nota 101 entra no dia 10/03/2026."
                                                << "101 | Distribuidora Boa Viagem | GASOLINA C | 5.000 | 5.000 | 0";
        QTest::newRow("a product no delivery shows")
            << QStringList{"etanol.xml"}
            << "etanol.xml: o produto \"ETANOL HIDRATADO COMUM\" não casa com nenhuma descarga; diga qual é em "
               "\"Configurar Bicos\""
            << "sem nota |  | GASOLINA C | 0 | 5.000 | 5.000";
        QTest::newRow("with a file that is none") << QStringList{"nota.xml", "planilha.xml"} << "planilha.xml: "
                                                  << "sem nota |  | GASOLINA C | 0 | 5.000 | 5.000";
    }

    // Every file read before any enters the book: one that is no invoice refuses them all.
    void importInvoices()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, said);
        QFETCH(QString, invoice);
        BookFixture fixture(false);
        QTemporaryDir directory;
        for (const QString &name : files) {
            QFile written(directory.filePath(name));
            QVERIFY(written.open(QIODevice::WriteOnly));
            QByteArray ethanol = GasolineNfe;
            ethanol.replace("GASOLINA C COMUM", "ETANOL HIDRATADO COMUM").replace("5000.0000", "9000.0000");
            ethanol.replace("0000001011000001010", "0000001021000001020");
            written.write(name == QLatin1String("nota.xml")     ? GasolineNfe
                          : name == QLatin1String("etanol.xml") ? ethanol
                                                                : QByteArray("<planilha/>"));
        }
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTRY_COMPARE_WITH_TIMEOUT(tableOf(*window, QStringLiteral("Notas"))->rowCount(), 1, ServerWaitMs);

        MessageBoxWatcher boxes;
        answerNext<QFileDialog>([&directory, files](QFileDialog *dialog) {
            dialog->setDirectory(directory.path());
            QStringList quoted;
            for (const QString &name : files)
                quoted << QLatin1Char('"') + name + QLatin1Char('"');
            dialog->selectFile(quoted.join(QLatin1Char(' ')));
            static_cast<QDialog *>(dialog)->accept();
        });
        click(*window, QStringLiteral("Importar_NFe"));
        const QLabel *status = window->findChild<QLabel *>(QStringLiteral("Estado"));
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(directory.filePath(said)), ServerWaitMs);
        if (said.endsWith(QLatin1Char('"')))
            QCOMPARE(status->text(), directory.filePath(said));
        QTRY_COMPARE_WITH_TIMEOUT(rowTexts(tableOf(*window, QStringLiteral("Notas"))), QStringList{invoice}, ServerWaitMs);
        const bool refused = !said.endsWith(QLatin1Char('.'));
        QCOMPARE(boxes.texts.size(), refused ? 1 : 0);
        QCOMPARE(FileInspector(fixture.location()).scalar(QStringLiteral("SELECT COUNT(*) FROM invoice")).toInt(),
                 refused ? 0 : 1);
    }

    void editTotaliser_data()
    {
        QTest::addColumn<QString>("typed");  // as the closing totaliser of nozzle 1
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("refusal");

        QTest::newRow("with the decimal comma") << "1.600,5" << "1 | 1 | 1 | 1.000 | 1.600,5 | 0 | 600,5" << QString();
        QTest::newRow("not a number") << "1600.5" << "1 | 1 | 1 | 1.000 | 1.500 | 0 | 500"
                                      << "Bico 1: \"1600.5\" não é um número";
    }

    // Kept in the history as typed, the day's figures following; a number the window cannot read is
    // put back and said.
    void editTotaliser()
    {
        QFETCH(QString, typed);
        QFETCH(QString, row);
        QFETCH(QString, refusal);
        BookFixture fixture(true);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTableWidget *nozzles = tableOf(*window, QStringLiteral("Bicos"));
        QTRY_COMPARE_WITH_TIMEOUT(nozzles->rowCount(), 4, ServerWaitMs);
        QVERIFY(nozzles->item(0, 4)->flags() & Qt::ItemIsEditable);

        MessageBoxWatcher boxes;
        nozzles->item(0, 4)->setText(typed);
        QTRY_COMPARE_WITH_TIMEOUT(rowTexts(nozzles).constFirst(), row, ServerWaitMs);
        QTRY_COMPARE(boxes.texts, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        const QString kept = FileInspector(fixture.location())
                                 .texts(QStringLiteral("SELECT closing FROM totaliser WHERE nozzle = 1 ORDER BY day"))
                                 .constFirst();
        QCOMPARE(kept.toDouble(), refusal.isEmpty() ? 1600.5 : 1500.0);
    }

    // The day's tables as a spreadsheet reads them: Brazilian numbers, the percent to the hundredth.
    void exportCsv()
    {
        BookFixture fixture(false);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTRY_COMPARE_WITH_TIMEOUT(tableOf(*window, QStringLiteral("Produtos"))->rowCount(), 2, ServerWaitMs);
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("lmc.csv"));
        QString offered;
        setSavePathQuestion([&](QWidget *, const QString &, const QString &suggested) {
            offered = suggested;
            return path;
        });
        click(*window, QStringLiteral("Exportar_CSV"));
        setSavePathQuestion({});
        QVERIFY(offered.contains(QStringLiteral("LMC_2026-03-10_Posto-Teste")));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const std::optional<QList<QStringList>> rows = readCsv(saved.readAll(), QLatin1Char(';'));
        QVERIFY(rows);
        QVERIFY(rows->contains(QStringList{"GASOLINA C", "18000", "0", "18000", "1030", "16970", "21970", "5000",
                                           "27,78", "sim", ""}));
        QVERIFY(rows->contains(QStringList{"3", "2", "2", "500", "800", "20", "280"}));
        QVERIFY(rows->contains(QStringList{"sem nota", "", "GASOLINA C", "0", "5000", "5000"}));
    }

    void configure_data()
    {
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<bool>("dropDieselNozzle");
        QTest::addColumn<QString>("gasolineBeyond");
        QTest::addColumn<QString>("missing");

        QTest::newRow("the tolerance widened") << 30.0 << false << "não" << QString();
        QTest::newRow("the diesel nozzle taken away")
            << 0.6 << true << "sim"
            << "Pendências: Tanque 3 sem bicos cadastrados; GASOLINA C: perda ou ganho além da tolerância, sem justificativa";
    }

    // The book is kept as "Configurar Bicos" leaves it, and the day computed again by it.
    void configure()
    {
        QFETCH(double, tolerance);
        QFETCH(bool, dropDieselNozzle);
        QFETCH(QString, gasolineBeyond);
        QFETCH(QString, missing);
        BookFixture fixture(false);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        QTRY_COMPARE_WITH_TIMEOUT(tableOf(*window, QStringLiteral("Produtos"))->rowCount(), 2, ServerWaitMs);

        click(*window, QStringLiteral("Configurar_Bicos"));
        QDialog *dialog = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((dialog = window->findChild<QDialog *>(QStringLiteral("Configurar_Bicos"))), ServerWaitMs);
        QTableWidget *nozzles = dialog->findChild<QTableWidget *>(QStringLiteral("Cadastro_Bicos"));
        QCOMPARE(rowTexts(nozzles), QStringList({"1 | 1 | 1", "2 | 1 | 1", "3 | 2 | 2", "4 | 3 | 3"}));
        QCOMPARE(dialog->findChild<QDoubleSpinBox *>(QStringLiteral("Tolerancia"))->text(), QStringLiteral("0,60 %"));
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("Tolerancia"))->setValue(tolerance);
        if (dropDieselNozzle) {
            nozzles->setCurrentCell(3, 0);
            dialog->findChild<QPushButton *>(QStringLiteral("Excluir_Bico"))->click();
        }
        dialog->findChild<QPushButton *>(QStringLiteral("Inserir_Produto"))->click();
        QTableWidget *products = dialog->findChild<QTableWidget *>(QStringLiteral("Produtos_Notas"));
        products->item(0, 0)->setText(QStringLiteral("GASOLINA C COMUM"));
        products->item(0, 1)->setText(Gasoline);
        dialog->accept();

        QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QLabel *>(QStringLiteral("Estado"))->text(),
                                  QStringLiteral("Configuração do livro gravada."), ServerWaitMs);
        QCOMPARE(tableOf(*window, QStringLiteral("Produtos"))->item(1, 9)->text(), gasolineBeyond);
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Pendencias"))->text(), missing);
        QCOMPARE(fixture.book().tables().productMapping().valueOr({}),
                 (QMap<QString, QString>{{QStringLiteral("GASOLINA C COMUM"), Gasoline}}));
    }

    void configureRefuses_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");

        QTest::newRow("a nozzle without its tank") << "Cadastro_Bicos" << "Inserir_Bico"
                                                   << "Bicos, linha 5: cada bico precisa de um número só seu e do número "
                                                      "do tanque de onde tira, inteiros positivos; a bomba é opcional.";
        QTest::newRow("a supplier's name without its product") << "Produtos_Notas" << "Inserir_Produto"
                                                               << "Produtos, linha 1: diga o nome na nota e o produto do livro.";
    }

    // A line half filled is not kept, nor anything else the dialog holds.
    void configureRefuses()
    {
        QFETCH(QString, table);
        QFETCH(QString, button);
        QFETCH(QString, refusal);
        BookFixture fixture(true);
        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        click(*window, QStringLiteral("Configurar_Bicos"));
        QDialog *dialog = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((dialog = window->findChild<QDialog *>(QStringLiteral("Configurar_Bicos"))), ServerWaitMs);
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("Tolerancia"))->setValue(30);
        dialog->findChild<QPushButton *>(button)->click();
        QTableWidget *rows = dialog->findChild<QTableWidget *>(table);
        rows->item(rows->rowCount() - 1, 0)->setText(QStringLiteral("5"));
        MessageBoxWatcher boxes;
        dialog->accept();
        QTRY_COMPARE(boxes.texts, QStringList{refusal});
        QVERIFY(dialog->isVisible());
        QCOMPARE(FileInspector(fixture.location()).scalar(QStringLiteral("SELECT COUNT(*) FROM nozzle")).toInt(), 4);
        QCOMPARE(fixture.book().settings().valueOr({}).tolerancePercent, 0.6);
    }

    void divergentOpening_data()
    {
        QTest::addColumn<bool>("changed");  // the 10th's physical closing, once the 11th was closed
        QTest::newRow("unchanged") << false;
        QTest::newRow("changed") << true;
    }

    // The 11th opens on the 10th's physical closing as it was when the 11th was closed.
    void divergentOpening()
    {
        QFETCH(bool, changed);
        BookFixture fixture(true);
        ClosingBook book = fixture.book();
        const BookAuthor manager{QStringLiteral("gerente"), QStringLiteral("caixa-1")};
        QVERIFY(book.close(Day, {}, manager).ok());
        QVERIFY(book.close(Day.addDays(1), {}, manager).ok());
        if (changed) {
            QVERIFY(book.reopen(Day, manager, QStringLiteral("leitura das 00:01 recuperada")).ok());
            fixture.keep({{"11/03/26 00:01", {{1, 9240}, {2, 12720}, {3, 14000}}}});
            QVERIFY(book.close(Day, {{Gasoline, QStringLiteral("tanque 1 medido de novo")}}, manager).ok());
        }

        const std::unique_ptr<BookWindow> window = openOnDay(fixture);
        window->findChild<QDateEdit *>(QStringLiteral("Dia"))->setDate(Day.addDays(1));
        QTRY_VERIFY_WITH_TIMEOUT(stateOf(*window).startsWith(QStringLiteral("Fechado por gerente (caixa-1) em ")),
                                 ServerWaitMs);
        QCOMPARE(stateOf(*window).contains(QStringLiteral(", abertura divergente")), changed);
    }
};

QTEST_MAIN(TestBookWindow)
#include "tst_book_window.moc"
