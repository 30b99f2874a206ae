// Picking another station, like "Desconectar Zelta", leaves nothing of the station before on
// screen, in the tables or in the reports: two simulated controllers and one that cannot be reached.
#include "console_fixture.h"
#include "simulated_console.h"

#include "reports/tank_drawing.h"
#include "simulator/controller_simulator.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

const QString CentroAddress = QStringLiteral("127.0.0.80");
const QString RodoviaAddress = QStringLiteral("127.0.0.81");
// Nothing listens there: the connection is refused.
const QString DesligadoAddress = QStringLiteral("127.0.0.82");
const QString RodoviaName = QStringLiteral("Posto Rodovia São João");
// Positions in the station selector.
enum Station { Centro, Rodovia, Desligado };

// 32 sensors, the tenth leaking; an ETANOL tank 4; two scheduled measurements on 01/03/24.
SimulatedStation centroStation()
{
    SimulatedStation station;
    station.tanks[1] = simpleTank("GASOLINA", 4000, 3000);
    station.tanks[2] = simpleTank("DIESEL", 3000, 2000);
    station.tanks[3] = simpleTank("GASOLINA", 1000, 750);
    station.tanks[4] = simpleTank("ETANOL", 2000, 1500);
    station.sensorCount = 32;
    station.sensors[9] = SensorState::Leak;
    station.bar1Active = true;
    station.schedule[QDate(2024, 3, 1)] = {{QTime(6, 0), 1, 21000}, {QTime(7, 0), 4, 900}};
    return station;
}

// 8 sensors; four tanks, of which tank 4 cannot be read.
SimulatedStation rodoviaStation()
{
    SimulatedStation station;
    station.tanks[1] = simpleTank("GASOLINA", 1000, 500);
    station.tanks[2] = simpleTank("ETANOL", 3000, 1000);
    station.tanks[3] = simpleTank("DIESEL", 2000, 800);
    station.tanks[4] = simpleTank("ETANOL", 2000, 1900);
    station.tanks[4].probeOnline = false;
    station.sensorCount = 8;
    return station;
}

QStringList visibleSensorLabels(ConsoleFixture &fixture)
{
    QStringList shown;
    for (int k = 0; k < 32; ++k) {
        auto *label = fixture.child<QLabel>(QStringLiteral("Label26_%1").arg(k));
        if (label->isVisibleTo(&fixture.console()))
            shown << label->text();
    }
    return shown;
}

QStringList column(const QTableWidget *grid, int columnIndex)
{
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QTableWidgetItem *item = grid->item(r, columnIndex);
        if (item && !item->text().trimmed().isEmpty())
            cells << item->text().trimmed();
    }
    return cells;
}

} // namespace

class TestStationChange : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sensorsOfTheStationBeforeAreHidden();
    void inventoryHasOnlyThisStationsTanks();
    void leavingAStationClearsItsPanelsAndTables_data();
    void leavingAStationClearsItsPanelsAndTables();

private:
    void click(const QString &button) { QTest::mouseClick(fixture_->child<QAbstractButton>(button), Qt::LeftButton); }

    ControllerSimulator centro_{centroStation()};
    ControllerSimulator rodovia_{rodoviaStation()};
    std::unique_ptr<ConsoleFixture> fixture_;
    // Report windows as they were on screen: objectName, then the caption and the grids' columns.
    QList<QStringList> reports_;
};

void TestStationChange::init()
{
    QLocale::setDefault(QLocale::c());
    QVERIFY(centro_.listen(QHostAddress(CentroAddress)));
    QVERIFY(rodovia_.listen(QHostAddress(RodoviaAddress)));
    fixture_ = std::make_unique<ConsoleFixture>(QList<ConsoleFixture::Station>{
            {QStringLiteral("Posto Centro"), CentroAddress}, {RodoviaName, RodoviaAddress},
            {QStringLiteral("Posto Desligado"), DesligadoAddress}});
    reports_.clear();
    fixture_->onWindow = [this](QWidget *window) {
        if (window->objectName() == QStringLiteral("Form6")) {
            answerDialog(window, QStringLiteral("Data_Medicoes"), QStringLiteral("010324"),
                         QStringLiteral("Solicitar_Medicoes"));
            return;
        }
        QTimer::singleShot(0, window, [this, window] {
            QStringList shown{window->objectName()};
            if (const auto *frame = window->findChild<QGroupBox *>(QStringLiteral("Frame3")))
                shown << frame->title();
            if (const auto *leitura = window->findChild<QTableWidget *>(QStringLiteral("Leitura")))
                shown << QStringLiteral("tanques:") + column(leitura, 0).join(QLatin1Char(','));
            if (const auto *inventario = window->findChild<QTableWidget *>(QStringLiteral("Inventario"))) {
                for (int r = 0; r < inventario->rowCount(); ++r) {
                    if (const QString product = inventario->item(r, 0)->text().trimmed(); !product.isEmpty())
                        shown << product + QLatin1Char('=') + inventario->item(r, 1)->text().trimmed();
                }
            }
            reports_ << shown;
            QTest::mouseClick(window->findChild<QAbstractButton *>(QStringLiteral("Retornar")), Qt::LeftButton);
        });
    };
}

void TestStationChange::cleanup()
{
    fixture_.reset();
    centro_.close();
    rodovia_.close();
    QLocale::setDefault(QLocale::system());
}

void TestStationChange::sensorsOfTheStationBeforeAreHidden()
{
    QVERIFY(fixture_->openDialogue(Centro));
    click(QStringLiteral("Ler_Sensores"));
    QTRY_COMPARE(visibleSensorLabels(*fixture_).size(), 32);
    QCOMPARE(visibleSensorLabels(*fixture_).at(9), QStringLiteral("Sensor#10 Vazamento"));

    QVERIFY(fixture_->openDialogue(Rodovia));
    QCOMPARE(fixture_->text(QStringLiteral("CF_NumSensores")), QStringLiteral("08"));
    QVERIFY(visibleSensorLabels(*fixture_).isEmpty());
    click(QStringLiteral("Ler_Sensores"));
    QTRY_COMPARE(fixture_->text(QStringLiteral("Est_Rbar1")), QStringLiteral("INATIVA"));
    QStringList expected;
    for (int i = 1; i <= 8; ++i)
        expected << QStringLiteral("Sensor#%1 Normal").arg(i, 2, 10, QLatin1Char('0'));
    QCOMPARE(visibleSensorLabels(*fixture_), expected);
}

void TestStationChange::inventoryHasOnlyThisStationsTanks()
{
    QVERIFY(fixture_->openDialogue(Centro));
    click(QStringLiteral("MA_Cmd"));
    QTRY_COMPARE(fixture_->console().leituras().tanks()[4].product.trimmed(), QStringLiteral("ETANOL"));

    QVERIFY(fixture_->openDialogue(Rodovia));
    click(QStringLiteral("IV_Cmd"));
    QTRY_COMPARE(reports_.size(), 1);
    // Tank 4 of this station gave no reading: Posto Centro's tank 4 must not stand in for it, and
    // every total says it leaves tank 4 out.
    const QString incomplete = QStringLiteral("incompleto: tanque 4 sem leitura=");
    QCOMPARE(reports_[0], (QStringList{QStringLiteral("Form2"), QStringLiteral("Volume nos Tanques do Posto > ") + RodoviaName,
                                       QStringLiteral("tanques:001,002,003,004"), QStringLiteral("GASOLINA=500"),
                                       incomplete, QStringLiteral("ETANOL=1000"), incomplete,
                                       QStringLiteral("DIESEL=800"), incomplete}));
}

void TestStationChange::leavingAStationClearsItsPanelsAndTables_data()
{
    QTest::addColumn<int>("picked");  // -1: "Desconectar Zelta"
    QTest::addColumn<QString>("host");
    QTest::newRow("another station") << int(Rodovia) << RodoviaName;
    QTest::newRow("an unreachable station") << int(Desligado) << QStringLiteral("Posto Desligado");
    QTest::newRow("the same station again") << int(Centro) << QStringLiteral("Posto Centro");
    QTest::newRow("Desconectar Zelta") << -1 << QStringLiteral("Local Não Conectado");
}

void TestStationChange::leavingAStationClearsItsPanelsAndTables()
{
    QFETCH(int, picked);
    QFETCH(QString, host);
    ConsoleFixture &f = *fixture_;
    const Form1 &console = f.console();
    QVERIFY(f.openDialogue(Centro));
    click(QStringLiteral("TQ_Ativo_3"));
    click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE(f.text(QStringLiteral("MT1_Tanque")), QStringLiteral("004"));
    click(QStringLiteral("LR_Cmd"));
    QTRY_VERIFY(!f.text(QStringLiteral("LR_Hora")).isEmpty());
    click(QStringLiteral("Ler_Sensores"));
    QTRY_COMPARE(f.text(QStringLiteral("Est_Rbar1")), QStringLiteral("ATIVA"));
    click(QStringLiteral("Medicao_Programada"));
    QTRY_COMPARE(reports_.size(), 1);
    QCOMPARE(console.numMedicoes(), 2);
    QCOMPARE(f.text(QStringLiteral("Estado")), QStringLiteral("ON-LINE"));
    QCOMPARE(f.text(QStringLiteral("ID_Endereco")), QStringLiteral("A01"));

    if (picked < 0)
        click(QStringLiteral("Fechar_Conexao"));
    else
        f.pick(picked);

    QCOMPARE(f.text(QStringLiteral("Host")), host);
    QCOMPARE(f.text(QStringLiteral("Estado")), QStringLiteral("OFF-LINE"));
    for (const char *box : {"ID_Endereco", "ID_Versao", "CF_NumTanques", "CF_NumSensores", "MT1_Tanque", "MT_Produto",
                            "Percentual", "LR_Hora", "Est_Rbar1", "Inf_Erro"})
        QVERIFY2(f.text(QLatin1String(box)).isEmpty(), box);
    QVERIFY(visibleSensorLabels(f).isEmpty());
    QCOMPARE(f.child<TankDrawing>(QStringLiteral("Altura_Liquido"))->alturaLiquido(), double(Form1::Altura_Tanque));
    for (const char *frame : {"Frame3", "Frame5", "Frame7", "Frame10"})
        QVERIFY2(!f.child<QGroupBox>(QLatin1String(frame))->isEnabled(), frame);
    QVERIFY(!f.child<QAbstractButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    QVERIFY(!f.child<QAbstractButton>(QStringLiteral("Fechar_Conexao"))->isEnabled());
    for (int i = 0; i < 16; ++i) {
        auto *button = f.child<QRadioButton>(QStringLiteral("TQ_Ativo_%1").arg(i));
        QVERIFY(!button->isEnabled() && !button->isChecked());
    }
    QVERIFY(console.leituras().tanks() == TankTable());
    QCOMPARE(console.leituras().tankCount(), 0);
    QCOMPARE(console.numMedicoes(), 0);
    QVERIFY(console.medicoes() == ScheduledTable());

    if (picked == Desligado) {
        QTRY_VERIFY((QStringList{QStringLiteral("Erro"), QStringLiteral("Fechada")}.contains(f.text(QStringLiteral("Estado_TCP")))));
        QCOMPARE(f.text(QStringLiteral("Estado")), QStringLiteral("OFF-LINE"));
        QVERIFY(!f.child<QAbstractButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    }
}

QTEST_MAIN(TestStationChange)
#include "tst_station_change.moc"
