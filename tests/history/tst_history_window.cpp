// The history window over a file the test fills: what its chart, its table and its export show
// for each choice.
#include "tests/support/store_test_support.h"

#include "export/save_dialog.h"
#include "history/history_chart.h"
#include "history/history_window.h"
#include "history/station_time.h"

#include "tests/support/pdf_answers.h"
#include "tests/support/pdf_text.h"
#include "widgets/brazilian_locale.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScatterSeries>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

// A reading of `tank` taken at `at` by the PC's clock (the station's zone is the PC's).
MeasurementReading reading(int tank, const char *product, int measured, int level, const QDateTime &at)
{
    MeasurementFrame frame;
    frame.tank = QByteArray::number(tank).rightJustified(3, '0');
    frame.product = QByteArray(product).leftJustified(11, ' ');
    frame.measured = QByteArray::number(measured).rightJustified(6, '0');
    frame.volume20 = QByteArray::number(measured - 10).rightJustified(6, '0');
    frame.level = QByteArray::number(level).rightJustified(6, '0');
    frame.time = at.toString(QStringLiteral("HHmmss")).toLatin1();
    frame.date = at.toString(QStringLiteral("ddMMyy")).toLatin1();
    return frame.reading();
}

QList<double> values(const SeriesPoints &points)
{
    QList<double> result;
    for (const SeriesPoint &point : points)
        result << point.value;
    return result;
}

void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The window on a subject, period and series, chosen as the operator would; false when the
// subject is not offered.
bool show(HistoryWindow *window, const QString &subject, int period, int series)
{
    auto *subjects = window->findChild<QComboBox *>(QStringLiteral("Tanque"));
    const int index = subjects->findText(subject);
    if (index < 0)
        return false;
    choose(window->findChild<QComboBox *>(QStringLiteral("Periodo")), period);
    choose(window->findChild<QComboBox *>(QStringLiteral("Serie")), series);
    choose(subjects, index);
    return true;
}

// Each row's cells joined by '|'.
QStringList rowTexts(const QTableWidget *grid)
{
    QStringList rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->columnCount(); ++column)
            cells << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// Runs statements on the file, in a transaction, on a connection of the test's own.
bool runStatements(const QString &file, const QStringList &statements)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-writer"));
        db.setDatabaseName(file);
        ok = db.open() && db.transaction();
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (ok && !query.exec(statement)) {
                qWarning() << statement << query.lastError().text();
                ok = false;
            }
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-writer"));
    return ok;
}

}  // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void chartAndTableShowThePeriod_data();
    void chartAndTableShowThePeriod();
    void periodFieldsShowTheChosenPeriod_data();
    void periodFieldsShowTheChosenPeriod();
    void exportWritesEveryRowOfThePeriod();
    void printingWithoutPrinterSavesPdf_data();
    void printingWithoutPrinterSavesPdf();
    void hoveringAPointShowsItsValueAndTime_data();
    void hoveringAPointShowsItsValueAndTime();
    void alarmsAndDeliveriesOfTheStationAndPeriod_data();
    void alarmsAndDeliveriesOfTheStationAndPeriod();
    void namesAreUniqueAmongSiblings();
    void numbersAndDatesOnScreen_data();
    void numbersAndDatesOnScreen();

private:
    std::unique_ptr<HistoryWindow> openWindow();

    QTemporaryDir directory_;
    QString file_;
    QHash<int, QDateTime> takenAt_;  // by measured volume, each kept once
    QHash<double, QDateTime> happenedAt_;  // alarms and deliveries, by hours before the test
};

void TestHistoryWindow::initTestCase()
{
    // Run under a C locale (CTest sets LANG and LC_ALL), set up as the console's main() sets it.
    QCOMPARE(QLocale::system().name(), QStringLiteral("C"));
    useBrazilianLocale();
    file_ = HistoryStore::filePathIn(directory_.path() + QLatin1Char('/'));
    const QDateTime now = QDateTime::currentDateTime();
    {
        HistoryStore store(file_);
        const StationIdentity north{QStringLiteral("Posto Norte"), QStringLiteral("10.0.0.5"), QStringLiteral("001234"), {}};
        const StationIdentity south{QStringLiteral("Posto Sul"), QStringLiteral("10.0.0.6"), QStringLiteral("004321"), {}};
        const auto keep = [&](const StationIdentity &station, int tank, const char *product, int measured, int level,
                              double hoursAgo) {
            const QDateTime at = now.addSecs(qint64(-hoursAgo * 3600));
            takenAt_.insert(measured, at);
            return store.keepMeasurement(station, reading(tank, product, measured, level, at), Origin::Console);
        };
        keep(north, 1, "GASOLINA", 900, 800, 240);
        keep(north, 1, "GASOLINA", 1000, 850, 3);
        keep(north, 2, "GASOLINA", 2000, 1700, 2.5);
        keep(north, 1, "GASOLINA", 1500, 1200, 2);
        keep(north, 3, "DIESEL", 500, 400, 1.5);
        keep(north, 1, "GASOLINA", 1400, 1150, 1);
        // Written in the order kept.
        QVERIFY(waitForWritten(store, keep(south, 1, "ETANOL", 7000, 900, 1)));
    }

    // What the alarm rules would have written: north is station 1, south station 2.
    const auto hoursAgo = [&](double hours) {
        const QDateTime at = now.addSecs(qint64(-hours * 3600));
        happenedAt_.insert(hours, at);
        return at.toUTC().toString(Qt::ISODate);
    };
    const auto event = [&](int station, double hours, const char *kind, const char *detail) {
        return QStringLiteral("INSERT INTO event (station_id, at, kind, detail) VALUES (%1, '%2', '%3', '%4')")
            .arg(station)
            .arg(hoursAgo(hours), QLatin1String(kind), QString::fromUtf8(detail));
    };
    const auto delivery = [&](int station, int tank, const char *product, double startHours, double endHours,
                              int amount) {
        return QStringLiteral("INSERT INTO delivery (station_id, tank, product, started_at, ended_at, amount) "
                              "VALUES (%1, %2, '%3', '%4', '%5', %6)")
            .arg(station)
            .arg(tank)
            .arg(QLatin1String(product), hoursAgo(startHours), hoursAgo(endHours))
            .arg(amount);
    };
    QVERIFY(runStatements(file_, {
        event(1, 120, "leak_raised", "Vazamento no sensor 3"),
        event(1, 2.75, "low_level_raised", "Tanque 1 abaixo do nível mínimo"),
        event(1, 2.25, "delivery", "Entrega no tanque 1"),
        event(1, 1.75, "low_level_cleared", "Tanque 1 acima do nível mínimo"),
        event(1, 1.25, "connection_lost", "Conexão perdida"),
        event(1, 0.5, "poll_failed", "Sem resposta do controlador"),
        event(2, 0.75, "high_level_raised", "Tanque 1 acima do nível máximo"),
        event(2, 0.25, "ofe_conflict", "OFE 004512 já é do posto em 10.0.0.5: leituras de 10.0.0.6 mantidas à parte"),
        delivery(1, 2, "GASOLINA", 240, 239.5, 3000),
        delivery(1, 1, "GASOLINA", 2.5, 2.25, 500),
        delivery(1, 3, "DIESEL", 30, 29.75, 250),
        delivery(2, 1, "ETANOL", 1.5, 1.25, 6000),
    }));
}

void TestHistoryWindow::cleanup()
{
    setSavePathQuestion({});
    QToolTip::hideText();
}

// Opened on the first station, with its first tank shown.
std::unique_ptr<HistoryWindow> TestHistoryWindow::openWindow()
{
    auto window = std::make_unique<HistoryWindow>(file_);
    window->show();
    auto *subject = window->findChild<QComboBox *>(QStringLiteral("Tanque"));
    if (!QTest::qWaitFor([subject] { return subject->count() > 0; }, 5000))
        return nullptr;
    return window;
}

void TestHistoryWindow::chartAndTableShowThePeriod_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("series");
    QTest::addColumn<QList<double>>("expected");
    QTest::addColumn<int>("tableRows");

    QTest::newRow("tank 1, 24 h") << "Tanque 01 – GASOLINA" << int(HistoryWindow::Day) << 0
                                  << QList<double>{1000, 1500, 1400} << 3;
    QTest::newRow("tank 1, 30 days") << "Tanque 01 – GASOLINA" << int(HistoryWindow::Month) << 0
                                     << QList<double>{900, 1000, 1500, 1400} << 4;
    QTest::newRow("tank 1, at 20 °C") << "Tanque 01 – GASOLINA" << int(HistoryWindow::Day) << 1
                                      << QList<double>{990, 1490, 1390} << 3;
    QTest::newRow("tank 1, level") << "Tanque 01 – GASOLINA" << int(HistoryWindow::Day) << 2
                                   << QList<double>{850, 1200, 1150} << 3;
    QTest::newRow("tank 3") << "Tanque 03 – DIESEL" << int(HistoryWindow::Week) << 0 << QList<double>{500} << 1;
    // No total before tank 2 is first read, as tank 1 alone would be no total; from then on,
    // tank 1's reading before the period counts. The table still lists every reading.
    QTest::newRow("petrol totals") << "Total de GASOLINA" << int(HistoryWindow::Day) << 0
                                   << QList<double>{3000, 3500, 3400} << 4;
}

void TestHistoryWindow::chartAndTableShowThePeriod()
{
    QFETCH(QString, subject);
    QFETCH(int, period);
    QFETCH(int, series);
    QFETCH(QList<double>, expected);
    QFETCH(int, tableRows);

    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("Local"))->currentText(),
             QStringLiteral("Posto Norte (10.0.0.5)"));
    QVERIFY2(show(window.get(), subject, period, series), qPrintable(subject));

    auto *chart = window->findChild<HistoryChart *>(QStringLiteral("Grafico"));
    QTRY_COMPARE(values(chart->shownPoints()), expected);
    auto *line = qobject_cast<QLineSeries *>(chart->chart()->series().value(0));
    QVERIFY(line);
    QCOMPARE(line->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(line->at(i).y(), expected[i]);

    auto *table = window->findChild<QTableView *>(QStringLiteral("Leituras"));
    QTRY_COMPARE(table->model()->rowCount(), tableRows);
    // The status line counts what the table lists, not the chart's points.
    const QString status = window->findChild<QLabel *>(QStringLiteral("Estado"))->text();
    const QString counted = tableRows == 1 ? QStringLiteral("1 medição no período.")
                                           : QStringLiteral("%1 medições no período.").arg(tableRows);
    QVERIFY2(status.startsWith(counted), qPrintable(status));
    QCOMPARE(status.contains(QStringLiteral("O total soma")), subject.startsWith(QStringLiteral("Total")));
    // Oldest first, times in the station's zone, as the chart's points.
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(chart->shownPoints().first().atMs, Qt::UTC);
    if (subject.startsWith(QStringLiteral("Tanque")))
        QCOMPARE(table->model()->index(0, 0).data().toString(), stationTimeText(first, QTimeZone::systemTimeZone()));
    QCOMPARE(table->model()->index(0, table->model()->columnCount() - 1).data().toString(), QStringLiteral("Console"));
}

void TestHistoryWindow::periodFieldsShowTheChosenPeriod_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("days");

    QTest::newRow("24 h") << int(HistoryWindow::Day) << 1;
    QTest::newRow("7 days") << int(HistoryWindow::Week) << 7;
    QTest::newRow("30 days") << int(HistoryWindow::Month) << 30;
}

// Disabled, they still say which period the chart shows; "De – até" then starts from it.
void TestHistoryWindow::periodFieldsShowTheChosenPeriod()
{
    QFETCH(int, period);
    QFETCH(int, days);

    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    QVERIFY(show(window.get(), QStringLiteral("Tanque 01 – GASOLINA"), period, 0));
    auto *from = window->findChild<QDateTimeEdit *>(QStringLiteral("De"));
    auto *to = window->findChild<QDateTimeEdit *>(QStringLiteral("Ate"));
    const QDateTime now = QDateTime::currentDateTime();
    QVERIFY(!from->isEnabled() && !to->isEnabled());
    QVERIFY2(std::abs(to->dateTime().secsTo(now)) <= 60, qPrintable(to->dateTime().toString()));
    QCOMPARE(from->dateTime().daysTo(to->dateTime()), days);

    choose(window->findChild<QComboBox *>(QStringLiteral("Periodo")), HistoryWindow::Between);
    QVERIFY(from->isEnabled() && to->isEnabled());
    QCOMPARE(from->dateTime().daysTo(to->dateTime()), days);
}

void TestHistoryWindow::exportWritesEveryRowOfThePeriod()
{
    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    auto *subjects = window->findChild<QComboBox *>(QStringLiteral("Tanque"));
    choose(subjects, subjects->findText(QStringLiteral("Total de GASOLINA")));
    QTRY_COMPARE(window->findChild<QTableView *>(QStringLiteral("Leituras"))->model()->rowCount(), 4);

    const QString path = directory_.filePath(QStringLiteral("historico.csv"));
    QString offered;
    setSavePathQuestion([&](QWidget *, const QString &, const QString &suggested) {
        offered = suggested;
        return path;
    });
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Exportar_CSV")), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(path));
    QVERIFY(offered.contains(QStringLiteral("Historico_Posto-Norte")));

    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0].startsWith(QStringLiteral("Data/Hora;Tanque;Produto;Unidade;Vol. Medido;")));
    QStringList measured;
    for (const QString &line : lines.mid(1))
        measured << line.section(QLatin1Char(';'), 1, 1) + QLatin1Char('=') + line.section(QLatin1Char(';'), 4, 4);
    QCOMPARE(measured, (QStringList{QStringLiteral("1=1000"), QStringLiteral("2=2000"), QStringLiteral("1=1500"),
                                    QStringLiteral("1=1400")}));
    QVERIFY(lines[1].contains(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d;"))));
}

void TestHistoryWindow::printingWithoutPrinterSavesPdf_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("series");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QStringList>("notPrinted");

    QTest::newRow("tank 1, measured") << "Tanque 01 – GASOLINA" << 0
                                      << QStringList{"Posto Norte (10.0.0.5)", "Tanque 01 – GASOLINA", "Vol. Medido",
                                                     "1.000", "1.500", "1.400"}
                                      << QStringList{"Posto Sul", "ETANOL", "DIESEL"};
    // The table holds every reading of the product, tank 2's among them.
    QTest::newRow("petrol totals, level") << "Total de GASOLINA" << 2
                                          << QStringList{"Posto Norte (10.0.0.5)", "Total de GASOLINA",
                                                         "Nível Produto", "1.700", "1.150"}
                                          << QStringList{"Posto Sul", "ETANOL", "DIESEL"};
}

void TestHistoryWindow::printingWithoutPrinterSavesPdf()
{
    QFETCH(QString, subject);
    QFETCH(int, series);
    QFETCH(QStringList, printed);
    QFETCH(QStringList, notPrinted);
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed; printing would use it");

    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    QVERIFY(show(window.get(), subject, HistoryWindow::Day, series));
    QTRY_VERIFY(!window->findChild<HistoryChart *>(QStringLiteral("Grafico"))->shownPoints().isEmpty());
    QTRY_VERIFY(window->findChild<QTableView *>(QStringLiteral("Leituras"))->model()->rowCount() > 0);

    const QString path = directory_.filePath(QStringLiteral("historico.pdf"));
    QFile::remove(path);
    PdfAnswers answers(path);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Imprimir")), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(path));
    QCOMPARE(answers.questions,
             QStringList{u"Não há impressora instalada. Deseja gravar a imagem da janela em um arquivo PDF?"_qs});
    QVERIFY2(answers.offered.endsWith(u"/Histórico de Medições.pdf"_qs), qPrintable(answers.offered));

    QStringList pages;
    PDF_PAGE_TEXTS(path, pages);
    const QString text = pages.join(QLatin1Char('\n'));
    for (const QString &expected : printed)
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));
    for (const QString &unexpected : notPrinted)
        QVERIFY2(!text.contains(unexpected), qPrintable(unexpected + QStringLiteral(" printed in:\n") + text));
}

void TestHistoryWindow::hoveringAPointShowsItsValueAndTime_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("drawn");  // the chart's series: 0 the readings, 1 the deliveries
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<QString>("text");

    const auto time = [](const QDateTime &at) { return at.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")); };
    const QDateTime read1500 = takenAt_.value(1500);
    const QDateTime read1000 = takenAt_.value(1000);
    const QDateTime read500 = takenAt_.value(500);
    const QDateTime read2000 = takenAt_.value(2000);
    const QDateTime delivered = happenedAt_.value(2.5);
    QTest::newRow("tank 1, measured") << "Tanque 01 – GASOLINA" << 0 << 0 << read1500
                                      << "Vol. Medido: 1.500\n" + time(read1500);
    QTest::newRow("tank 1, level") << "Tanque 01 – GASOLINA" << 2 << 0 << read1000
                                   << "Nível Produto: 850\n" + time(read1000);
    QTest::newRow("tank 3, its only reading") << "Tanque 03 – DIESEL" << 1 << 0 << read500
                                              << "Vol. Medido a 20°C: 490\n" + time(read500);
    QTest::newRow("petrol totals") << "Total de GASOLINA" << 0 << 0 << read2000
                                   << "Vol. Medido: 3.000\n" + time(read2000);
    QTest::newRow("tank 1, its delivery") << "Tanque 01 – GASOLINA" << 0 << 1 << delivered
                                          << "Entrega no tanque 1: 500\n" + time(delivered) + " a "
                                                 + time(happenedAt_.value(2.25));
}

void TestHistoryWindow::hoveringAPointShowsItsValueAndTime()
{
    QFETCH(QString, subject);
    QFETCH(int, series);
    QFETCH(int, drawn);
    QFETCH(QDateTime, at);
    QFETCH(QString, text);

    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(show(window.get(), subject, HistoryWindow::Day, series));
    auto *chart = window->findChild<HistoryChart *>(QStringLiteral("Grafico"));
    auto *points = qobject_cast<QXYSeries *>(chart->chart()->series().value(drawn));
    QVERIFY(points);
    // Where the point is drawn, once the chart has laid itself out again for the new range.
    const double x = double(at.toSecsSinceEpoch() * 1000);
    QPoint pointer;
    const auto settledOnPoint = [&] {
        for (const QPointF &point : points->points()) {
            if (point.x() != x)
                continue;
            const QPoint now = chart->mapFromScene(chart->chart()->mapToScene(chart->chart()->mapToPosition(point, points)));
            const bool settled = now == pointer;
            pointer = now;
            return settled;
        }
        return false;
    };
    QTRY_VERIFY(settledOnPoint());
    QTest::mouseMove(chart->viewport(), pointer);
    QTRY_COMPARE(QToolTip::text(), text);
}

void TestHistoryWindow::alarmsAndDeliveriesOfTheStationAndPeriod_data()
{
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("period");
    QTest::addColumn<QStringList>("alarms");      // Data|Alarme|Situação|Detalhe
    QTest::addColumn<QStringList>("deliveries");  // Início|Fim|Tanque|Produto|Quantidade
    QTest::addColumn<QList<double>>("marked");    // the deliveries on the chart, by hours before the test

    const auto at = [this](double hours) {
        return happenedAt_.value(hours).toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + QLatin1Char('|');
    };
    const QStringList lastDay{at(2.75) + "Nível baixo|Ativado|Tanque 1 abaixo do nível mínimo",
                              at(1.75) + "Nível baixo|Normalizado|Tanque 1 acima do nível mínimo",
                              at(0.5) + "Coleta automática|Falhou|Sem resposta do controlador"};
    const QStringList lastWeek = QStringList{at(120) + "Vazamento|Ativado|Vazamento no sensor 3"} + lastDay;
    const QString tank1 = at(2.5) + at(2.25) + "1|GASOLINA|500";
    const QString tank3 = at(30) + at(29.75) + "3|DIESEL|250";

    QTest::newRow("north, 24 h") << "Posto Norte (10.0.0.5)" << "Tanque 01 – GASOLINA" << int(HistoryWindow::Day)
                                 << lastDay << QStringList{tank1} << QList<double>{2.5};
    QTest::newRow("north, 7 days, tank 3") << "Posto Norte (10.0.0.5)" << "Tanque 03 – DIESEL"
                                           << int(HistoryWindow::Week) << lastWeek << QStringList{tank3, tank1}
                                           << QList<double>{30};
    QTest::newRow("north, 30 days, petrol totals")
        << "Posto Norte (10.0.0.5)" << "Total de GASOLINA" << int(HistoryWindow::Month) << lastWeek
        << QStringList{at(240) + at(239.5) + "2|GASOLINA|3.000", tank3, tank1} << QList<double>{240, 2.5};
    QTest::newRow("south, 24 h") << "Posto Sul (10.0.0.6)" << "Tanque 01 – ETANOL" << int(HistoryWindow::Day)
                                 << QStringList{at(0.75) + "Nível alto|Ativado|Tanque 1 acima do nível máximo",
                                                at(0.25) + "Número OFE repetido|Posto à parte|OFE 004512 já é do "
                                                           "posto em 10.0.0.5: leituras de 10.0.0.6 mantidas à parte"}
                                 << QStringList{at(1.5) + at(1.25) + "1|ETANOL|6.000"} << QList<double>{1.5};
}

void TestHistoryWindow::alarmsAndDeliveriesOfTheStationAndPeriod()
{
    QFETCH(QString, station);
    QFETCH(QString, subject);
    QFETCH(int, period);
    QFETCH(QStringList, alarms);
    QFETCH(QStringList, deliveries);
    QFETCH(QList<double>, marked);

    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    auto *stations = window->findChild<QComboBox *>(QStringLiteral("Local"));
    auto *subjects = window->findChild<QComboBox *>(QStringLiteral("Tanque"));
    if (stations->currentText() != station) {
        choose(stations, stations->findText(station));
        QTRY_VERIFY(subjects->findText(subject) >= 0);
    }
    QVERIFY(show(window.get(), subject, period, 0));

    QTRY_COMPARE(rowTexts(window->findChild<QTableWidget *>(QStringLiteral("Alarmes"))), alarms);
    QTRY_COMPARE(rowTexts(window->findChild<QTableWidget *>(QStringLiteral("Entregas"))), deliveries);
    auto *chart = window->findChild<HistoryChart *>(QStringLiteral("Grafico"));
    auto *marks = qobject_cast<QScatterSeries *>(chart->chart()->series().value(1));
    QVERIFY(marks);
    const auto markedAt = [marks] {
        QList<double> times;
        for (const QPointF &mark : marks->points())
            times << mark.x();
        return times;
    };
    QList<double> expected;
    for (const double hours : marked)
        expected << double(happenedAt_.value(hours).toSecsSinceEpoch() * 1000);
    QTRY_COMPARE(markedAt(), expected);
}

void TestHistoryWindow::namesAreUniqueAmongSiblings()
{
    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    QList<QWidget *> parents{window.get()};
    parents += window->findChildren<QWidget *>();
    for (QWidget *parent : parents) {
        QStringList names;
        for (QWidget *child : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            // Qt's own parts of a widget (a spin box's line edit) are named by the widget.
            if (child->focusPolicy() == Qt::NoFocus || !child->isVisibleTo(window.get()) || child->isWindow()
                || child->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(child);
            QVERIFY(accessible);
            const QString name = accessible->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(parent->objectName() + QLatin1Char('/') + child->metaObject()->className()));
            QVERIFY2(!names.contains(name), qPrintable(name));
            names << name;
        }
    }
}

void TestHistoryWindow::numbersAndDatesOnScreen_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("measured");  // the first row's
    QTest::newRow("one reading") << "Tanque 03 – DIESEL" << int(HistoryWindow::Week) << "1 medição no período." << "500";
    QTest::newRow("thousands") << "Tanque 01 – GASOLINA" << int(HistoryWindow::Day) << "3 medições no período." << "1.000";
}

void TestHistoryWindow::numbersAndDatesOnScreen()
{
    QFETCH(QString, subject);
    QFETCH(int, period);
    QFETCH(QString, status);
    QFETCH(QString, measured);
    const std::unique_ptr<HistoryWindow> window = openWindow();
    QVERIFY(window);
    QVERIFY2(show(window.get(), subject, period, 0), qPrintable(subject));
    QTRY_COMPARE(window->findChild<QLabel *>(QStringLiteral("Estado"))->text(), status);
    auto *table = window->findChild<QTableView *>(QStringLiteral("Leituras"));
    QTRY_VERIFY(table->model()->rowCount() > 0);
    QCOMPARE(table->model()->index(0, 4).data().toString(), measured);
    const QString at = table->model()->index(0, 0).data().toString();
    QVERIFY2(QDateTime::fromString(at, QStringLiteral("dd/MM/yyyy HH:mm:ss")).isValid(), qPrintable(at));
    // The chart's value axis writes its numbers as the table does.
    auto *chart = window->findChild<HistoryChart *>(QStringLiteral("Grafico"));
    QCOMPARE(chart->chart()->locale(), QLocale(QLocale::Portuguese, QLocale::Brazil));
    QVERIFY(chart->chart()->localizeNumbers());
    QCOMPARE(window->findChild<QDateTimeEdit *>(QStringLiteral("De"))->locale(), QLocale(QLocale::Portuguese, QLocale::Brazil));
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
