// Measurements, the inventory and the scheduled measurements end to end, through the real widgets,
// against the simulated controller.
#include "simulated_console.h"

#include "reports/tank_drawing.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

const QString Address = QStringLiteral("127.0.0.6");

// Four tanks, two products: 75 %, 66.67 %, 75 %, 25 %; tank 5 exists only until the test drops it.
SimulatedStation inventoryStation()
{
    SimulatedStation station;
    station.tanks[1] = simpleTank("GASOLINA", 4000, 3000);
    station.tanks[2] = simpleTank("DIESEL", 3000, 2000);
    station.tanks[3] = simpleTank("GASOLINA", 1000, 750);
    station.tanks[4] = simpleTank("DIESEL", 2000, 500);
    station.tanks[5] = simpleTank("ETANOL", 1000, 100);
    station.tanks[5].byWeight = true;
    station.sensorCount = 2;
    station.schedule[QDate(2024, 3, 1)] = {{QTime(6, 0), 1, 21000}, {QTime(6, 0), 4, 12100}, {QTime(18, 30), 3, 6400}};
    station.schedule[QDate(2024, 3, 2)] = {{QTime(7, 0), 1, 100}, {QTime(8, 0), 1, 200}, {QTime(9, 0), 1, 300},
                                           {QTime(10, 0), 1, 400}, {QTime(11, 0), 1, 500}};
    station.schedule[QDate(2024, 3, 3)] = {{QTime(7, 15), 2, 700}, {QTime(8, 15), 2, 800}};
    return station;
}

QString cell(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

class TestMeasurements : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void measurementFillsPanelAndDrawing_data();
    void measurementFillsPanelAndDrawing();
    void weightCaptionsFollowTheLastReply();
    void inventoryShowsConfiguredTanksAndTotals();
    void inventoryWindowOpensOnceWhileRepliesGoOn();
    void inventoryCountsTheConfiguredTanks_data();
    void inventoryCountsTheConfiguredTanks();
    void scheduledSeriesEndsInResultsWindow();
    void shorterSeriesAfterLongerShowsOnlyItsOwn();
    void dateWithoutMeasurementsIsReported();

private:
    void requestSchedule(const QString &date);

    std::unique_ptr<SimulatedConsole> sim_;
    QList<QPair<QString, QStringList>> seen_;  // report windows: objectName, caption + cells
    QString scheduleDate_;
};

void TestMeasurements::init()
{
    QLocale::setDefault(QLocale::c());
    sim_ = std::make_unique<SimulatedConsole>(Address, inventoryStation());
    seen_.clear();
    sim_->fixture().onWindow = [this](QWidget *window) {
        if (window->objectName() == QStringLiteral("Form6")) {
            answerDialog(window, QStringLiteral("Data_Medicoes"), scheduleDate_, QStringLiteral("Solicitar_Medicoes"));
            return;
        }
        // Record what the report shows once it is on screen, then close it as the operator would.
        QTimer::singleShot(0, window, [this, window] {
            QStringList shown{window->windowTitle()};
            for (const QTableWidget *grid : window->findChildren<QTableWidget *>()) {
                for (int r = 0; r < grid->rowCount(); ++r) {
                    QStringList row;
                    for (int c = 0; c < grid->columnCount(); ++c)
                        row << cell(grid, r, c);
                    if (!row.join(QString()).isEmpty())
                        shown << grid->objectName() + QLatin1Char(':') + row.join(QLatin1Char('|'));
                }
            }
            for (const QGroupBox *panel : window->findChildren<QGroupBox *>()) {
                if (panel->objectName().startsWith(QStringLiteral("Frame1_")) && panel->isVisibleTo(window))
                    shown << panel->title() + QLatin1Char('=') + panel->findChild<QLineEdit *>(QStringLiteral("Percentual"))->text();
            }
            seen_ << qMakePair(window->objectName(), shown);
            QTest::mouseClick(window->findChild<QAbstractButton *>(QStringLiteral("Retornar")), Qt::LeftButton);
        });
    };
}

void TestMeasurements::cleanup()
{
    sim_.reset();
    QLocale::setDefault(QLocale::system());
}

void TestMeasurements::measurementFillsPanelAndDrawing_data()
{
    QTest::addColumn<int>("tank");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<double>("cover");
    QTest::newRow("75 %") << 1 << QStringLiteral("75.%") << 333.75;
    // The drawing follows the percentage as shown: 66.67, not 66.666...
    QTest::newRow("two thirds") << 2 << QStringLiteral("66.67%") << (1 - 66.67 / 100) * 1335;
}

void TestMeasurements::measurementFillsPanelAndDrawing()
{
    QFETCH(int, tank);
    QFETCH(QString, percent);
    QFETCH(double, cover);
    QVERIFY(sim_->openDialogue());
    ConsoleFixture &f = sim_->fixture();
    sim_->click(QStringLiteral("TQ_Ativo_%1").arg(tank - 1));
    sim_->click(QStringLiteral("MT_Cmd"));

    QTRY_COMPARE(f.text(QStringLiteral("Percentual")), percent);
    QCOMPARE(f.text(QStringLiteral("MT1_Tanque")), QStringLiteral("%1").arg(tank, 3, 10, QLatin1Char('0')));
    QCOMPARE(f.text(QStringLiteral("MT_Densidade")), QStringLiteral("0.74 g/l"));
    QCOMPARE(f.text(QStringLiteral("MT_Regua")), QStringLiteral("001200 mm"));
    QVERIFY(QTime::fromString(f.text(QStringLiteral("MT_Hora")), QStringLiteral("HH:mm:ss")).isValid());
    QVERIFY(f.text(QStringLiteral("Inf_Erro")).isEmpty());
    const auto *drawing = f.child<TankDrawing>(QStringLiteral("Altura_Liquido"));
    QVERIFY(qAbs(drawing->alturaLiquido() - cover) < 0.01);
    const TankReading &row = sim_->console().leituras().tanks()[std::size_t(tank)];
    QCOMPARE(row.tank, QStringLiteral("%1").arg(tank, 3, 10, QLatin1Char('0')));
    QCOMPARE(row.time, f.text(QStringLiteral("MT_Hora")).remove(QLatin1Char(':')));
}

void TestMeasurements::weightCaptionsFollowTheLastReply()
{
    QVERIFY(sim_->openDialogue());
    ConsoleFixture &f = sim_->fixture();
    sim_->click(QStringLiteral("TQ_Ativo_4"));
    sim_->click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE(f.child<QLabel>(QStringLiteral("Label8"))->text(), QStringLiteral("Peso Medido"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("Label9"))->text(), QStringLiteral("Peso Complementar"));

    sim_->click(QStringLiteral("TQ_Ativo_0"));
    sim_->click(QStringLiteral("LM_Cmd"));
    QTRY_COMPARE(f.child<QLabel>(QStringLiteral("Label8"))->text(), QStringLiteral("Vol. Medido"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("Label9"))->text(), QStringLiteral("Vol. Complementar"));
}

void TestMeasurements::inventoryShowsConfiguredTanksAndTotals()
{
    // A reading of tank 5 is taken while the controller has five tanks ...
    QVERIFY(sim_->openDialogue());
    sim_->click(QStringLiteral("TQ_Ativo_4"));
    sim_->click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("MT1_Tanque")), QStringLiteral("005"));
    sim_->click(QStringLiteral("Fechar_Conexao"));
    // ... and the next dialogue finds only four: tank 5 stays out of the inventory.
    sim_->controller().station().tanks.erase(5);
    QVERIFY(sim_->openDialogue());
    QCOMPARE(sim_->fixture().text(QStringLiteral("CF_NumTanques")), QStringLiteral("04"));

    sim_->click(QStringLiteral("IV_Cmd"));
    QTRY_COMPARE(seen_.size(), 1);
    QCOMPARE(seen_[0].first, QStringLiteral("Form2"));
    const QStringList shown = seen_[0].second;
    QCOMPARE(shown.filter(QStringLiteral("Leitura:")).size(), 4);
    QVERIFY(!shown.join(QLatin1Char('\n')).contains(QStringLiteral("ETANOL")));
    QVERIFY(shown.contains(QStringLiteral("Inventario:GASOLINA   |3750|1250")));
    QVERIFY(shown.contains(QStringLiteral("Inventario:DIESEL     |2500|2500")));
    QCOMPARE(shown.filter(QStringLiteral("Inventario:")).size(), 2);
    const QStringList panels = shown.filter(QStringLiteral("Tanque No. "));
    QCOMPARE(panels, (QStringList{QStringLiteral("Tanque No. 1=75.%"), QStringLiteral("Tanque No. 2=66.67%"),
                                  QStringLiteral("Tanque No. 3=75.%"), QStringLiteral("Tanque No. 4=25.%")}));
    QTRY_VERIFY(!sim_->console().inventarioAtivo());
    // The last reply of the reading carries the end mark.
    QCOMPARE(sim_->fixture().text(QStringLiteral("Inf_Erro")), QStringLiteral("Término da(s) leitura(s) do(s) tanque(s)!"));
}

void TestMeasurements::inventoryWindowOpensOnceWhileRepliesGoOn()
{
    QVERIFY(sim_->openDialogue());
    ConsoleFixture &f = sim_->fixture();
    int inventories = 0;
    bool clockShownMeanwhile = false;
    bool stillActive = false;
    sim_->fixture().onWindow = [&](QWidget *window) {
        if (window->objectName() != QStringLiteral("Form2"))
            return;
        ++inventories;
        // While the window is open, more replies arrive and are interpreted; a reply that is not
        // a tank reading meets the completion test again and must not open a second window.
        QTimer::singleShot(0, window, [&, window] {
            sim_->controller().sendFlood(1);
            clockShownMeanwhile = QTest::qWaitFor([&] { return !f.text(QStringLiteral("LR_Hora")).isEmpty(); }, 5000);
            stillActive = sim_->console().inventarioAtivo();
            window->close();
        });
    };
    sim_->click(QStringLiteral("IV_Cmd"));
    QTRY_COMPARE(inventories, 1);
    QTRY_VERIFY(!sim_->console().inventarioAtivo());
    QVERIFY2(clockShownMeanwhile, qPrintable(f.logLines().join(QLatin1Char('\n'))));
    QVERIFY(stillActive);
    QCOMPARE(inventories, 1);
}

void TestMeasurements::inventoryCountsTheConfiguredTanks_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("box emptied") << QString();
    QTest::newRow("box showing fewer") << QStringLiteral("02");
    QTest::newRow("box showing more") << QStringLiteral("99");
}

// The inventory is complete when every tank of the configuration reply has answered, whatever
// the box that shows the count holds by then.
void TestMeasurements::inventoryCountsTheConfiguredTanks()
{
    QFETCH(QString, box);
    QVERIFY(sim_->openDialogue());
    QCOMPARE(sim_->fixture().text(QStringLiteral("CF_NumTanques")), QStringLiteral("05"));
    sim_->fixture().child<QLineEdit>(QStringLiteral("CF_NumTanques"))->setText(box);

    sim_->click(QStringLiteral("IV_Cmd"));
    QTRY_COMPARE(seen_.size(), 1);
    QCOMPARE(seen_[0].second.filter(QStringLiteral("Leitura:")).size(), 5);
    QTRY_VERIFY(!sim_->console().inventarioAtivo());
}

void TestMeasurements::requestSchedule(const QString &date)
{
    scheduleDate_ = date;
    sim_->click(QStringLiteral("Medicao_Programada"));
}

void TestMeasurements::scheduledSeriesEndsInResultsWindow()
{
    QVERIFY(sim_->openDialogue());
    QSignalSpy progress(sim_->fixture().child<QLineEdit>(QStringLiteral("Inf_Erro")), &QLineEdit::textChanged);
    requestSchedule(QStringLiteral("010324"));

    QTRY_COMPARE(seen_.size(), 1);
    QCOMPARE(seen_[0].first, QStringLiteral("Form5"));
    QCOMPARE(seen_[0].second, (QStringList{QStringLiteral("Medições na data 01/03/24"),
                                           QStringLiteral("Resultados_MedProg:1|001|021000|01/03/24|06:00:00"),
                                           QStringLiteral("Resultados_MedProg:2|004|012100|01/03/24|06:00:00"),
                                           QStringLiteral("Resultados_MedProg:3|003|006400|01/03/24|18:30:00")}));
    QTRY_VERIFY(sim_->fixture().text(QStringLiteral("Inf_Erro")).isEmpty());
    QStringList texts;
    for (const QList<QVariant> &change : progress)
        texts << change.at(0).toString();
    QCOMPARE(texts, (QStringList{QStringLiteral("Recebendo a medição No. 1"), QStringLiteral("Recebendo a medição No. 2"),
                                 QStringLiteral("Recebendo a medição No. 3"), QString()}));
}

void TestMeasurements::shorterSeriesAfterLongerShowsOnlyItsOwn()
{
    QVERIFY(sim_->openDialogue());
    requestSchedule(QStringLiteral("020324"));
    QTRY_COMPARE(seen_.size(), 1);
    QCOMPARE(seen_[0].second.size(), 1 + 5);

    requestSchedule(QStringLiteral("030324"));
    QTRY_COMPARE(seen_.size(), 2);
    QCOMPARE(seen_[1].second, (QStringList{QStringLiteral("Medições na data 03/03/24"),
                                           QStringLiteral("Resultados_MedProg:1|002|000700|03/03/24|07:15:00"),
                                           QStringLiteral("Resultados_MedProg:2|002|000800|03/03/24|08:15:00")}));
    QCOMPARE(sim_->console().numMedicoes(), 2);
    // The older, longer series is still in the table past the new count.
    QCOMPARE(sim_->console().medicoes()[4].volume, QStringLiteral("000500"));
}

void TestMeasurements::dateWithoutMeasurementsIsReported()
{
    QVERIFY(sim_->openDialogue());
    requestSchedule(QStringLiteral("311299"));
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Inf_Erro")), QStringLiteral("Não há medições para a data !"));
    QVERIFY(seen_.isEmpty());
}

QTEST_MAIN(TestMeasurements)
#include "tst_measurements.moc"
