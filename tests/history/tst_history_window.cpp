// The history window over a file the test fills: what its chart, its table and its export show
// for each choice.
#include "../store/store_test_support.h"

#include "export/save_dialog.h"
#include "history/history_chart.h"
#include "history/history_window.h"
#include "history/station_time.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A reading of `tank`, taken `hoursAgo` by the PC's clock (the station's zone is the PC's).
MeasurementReading reading(int tank, const char *product, int measured, int level, double hoursAgo)
{
    const QDateTime at = QDateTime::currentDateTime().addSecs(qint64(-hoursAgo * 3600));
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

}  // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void chartAndTableShowThePeriod_data();
    void chartAndTableShowThePeriod();
    void exportWritesEveryRowOfThePeriod();
    void namesAreUniqueAmongSiblings();

private:
    std::unique_ptr<HistoryWindow> openWindow();

    QTemporaryDir directory_;
    QString file_;
};

void TestHistoryWindow::initTestCase()
{
    file_ = HistoryStore::filePathIn(directory_.path() + QLatin1Char('/'));
    HistoryStore store(file_);
    const StationIdentity north{QStringLiteral("Posto Norte"), QStringLiteral("10.0.0.5"), QStringLiteral("001234"), {}};
    const StationIdentity south{QStringLiteral("Posto Sul"), QStringLiteral("10.0.0.6"), QStringLiteral("004321"), {}};
    store.keepMeasurement(north, reading(1, "GASOLINA", 900, 800, 240), Origin::Console);
    store.keepMeasurement(north, reading(1, "GASOLINA", 1000, 850, 3), Origin::Console);
    store.keepMeasurement(north, reading(2, "GASOLINA", 2000, 1700, 2.5), Origin::Console);
    store.keepMeasurement(north, reading(1, "GASOLINA", 1500, 1200, 2), Origin::Console);
    store.keepMeasurement(north, reading(3, "DIESEL", 500, 400, 1.5), Origin::Console);
    store.keepMeasurement(north, reading(1, "GASOLINA", 1400, 1150, 1), Origin::Console);
    // Written in the order kept.
    QVERIFY(waitForWritten(store, store.keepMeasurement(south, reading(1, "ETANOL", 7000, 900, 1), Origin::Console)));
}

void TestHistoryWindow::cleanup()
{
    setSavePathQuestion({});
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
    // Tank 2 joins tank 1's total when first read; tank 1's reading before the period counts.
    QTest::newRow("petrol totals") << "Total de GASOLINA" << int(HistoryWindow::Day) << 0
                                   << QList<double>{1000, 3000, 3500, 3400} << 4;
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
    auto *subjects = window->findChild<QComboBox *>(QStringLiteral("Tanque"));
    const int index = subjects->findText(subject);
    QVERIFY2(index >= 0, qPrintable(subject));
    choose(window->findChild<QComboBox *>(QStringLiteral("Periodo")), period);
    choose(window->findChild<QComboBox *>(QStringLiteral("Serie")), series);
    choose(subjects, index);

    auto *chart = window->findChild<HistoryChart *>(QStringLiteral("Grafico"));
    QTRY_COMPARE(values(chart->shownPoints()), expected);
    auto *line = qobject_cast<QLineSeries *>(chart->chart()->series().value(0));
    QVERIFY(line);
    QCOMPARE(line->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(line->at(i).y(), expected[i]);

    auto *table = window->findChild<QTableView *>(QStringLiteral("Leituras"));
    QTRY_COMPARE(table->model()->rowCount(), tableRows);
    // Oldest first, times in the station's zone, as the chart's points.
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(chart->shownPoints().first().atMs, Qt::UTC);
    if (subject.startsWith(QStringLiteral("Tanque")))
        QCOMPARE(table->model()->index(0, 0).data().toString(), stationTimeText(first, QTimeZone::systemTimeZone()));
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

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
