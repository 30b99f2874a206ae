// The controller dialogue end to end, through the real widgets, against the simulated controller.
#include "simulated_console.h"

#include "protocol/frame.h"
#include "protocol/requests.h"
#include "simulator/default_station.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QListView>
#include <QTest>
#include <QTimer>

namespace {

const QString Address = QStringLiteral("127.0.0.4");

bool logHas(ConsoleFixture &fixture, const QString &prefix)
{
    for (const QString &line : fixture.logLines()) {
        if (line.startsWith(prefix))
            return true;
    }
    return false;
}

} // namespace

class TestDialogue : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingIdentifiesAndConfigures();
    void otherAddressIsShownButNotConfigured();
    void commandsPutTheirFramesOnTheWire_data();
    void commandsPutTheirFramesOnTheWire();
    void clockSettingCarriesPasswordAndPcClock();
    void scheduledDateIsCheckedBeforeSending_data();
    void scheduledDateIsCheckedBeforeSending();
    void repliesFillTheirPanels();
    void errorRepliesShowTheirTexts_data();
    void errorRepliesShowTheirTexts();
    void disconnectReturnsToStartUp();
    void peerCloseIsSeenWithinOneTick();
    void commandAfterPeerCloseSendsNothing();

private:
    std::unique_ptr<SimulatedConsole> sim_;
};

void TestDialogue::init()
{
    SimulatedStation station = demonstrationStation();
    station.tanks[2].probeOnline = false;
    station.tanks[16].product = QStringLiteral("ARLA");
    station.tanks[16].capacity = 2000;
    station.tanks[16].measured = 500;
    station.tanks[5].enabled = false;
    sim_ = std::make_unique<SimulatedConsole>(Address, station);
}

void TestDialogue::cleanup()
{
    sim_.reset();
}

void TestDialogue::openingIdentifiesAndConfigures()
{
    QVERIFY(sim_->openDialogue(QStringLiteral("abc")));
    ConsoleFixture &f = sim_->fixture();

    QCOMPARE(sim_->requestBodies(), (QList<QByteArray>{"ID01", "CFABC"}));
    QCOMPARE(f.text(QStringLiteral("Estado")), QStringLiteral("ON-LINE"));
    QCOMPARE(f.text(QStringLiteral("ID_Endereco")), QStringLiteral("A01"));
    QCOMPARE(f.text(QStringLiteral("ID_Versao")), QStringLiteral("30"));
    QCOMPARE(f.text(QStringLiteral("CF_NumTanques")), QStringLiteral("16"));
    QCOMPARE(f.text(QStringLiteral("CF_NumOFE")), QStringLiteral("004127"));
    QCOMPARE(f.text(QStringLiteral("CF_TipoMedidor")), QStringLiteral("Posto"));
    QCOMPARE(f.text(QStringLiteral("CF_NumSensores")), QStringLiteral("08"));
    QCOMPARE(sim_->console().leituras().tankCount(), 16);
    QCOMPARE(sim_->console().numSensores(), 8);
    for (const char *frame : {"Frame3", "Frame5", "Frame7", "Frame10"})
        QVERIFY2(f.child<QGroupBox>(QLatin1String(frame))->isEnabled(), frame);
    for (int i = 0; i < 16; ++i)
        QVERIFY(f.child<QRadioButton>(QStringLiteral("TQ_Ativo_%1").arg(i))->isEnabled());
    QVERIFY(!f.child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    QVERIFY(f.child<QPushButton>(QStringLiteral("Fechar_Conexao"))->isEnabled());
    // The socket poll gives "Conectar Zelta" back within a second while still connected.
    QTRY_VERIFY(f.child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());

    // The log on screen shows the configuration request with its password, length and check
    // byte masked, as the saved log does.
    const QAbstractItemModel *shown = f.child<QListView>(QStringLiteral("Msg_Log"))->model();
    QStringList lines;
    for (int row = 0; row < shown->rowCount(); ++row)
        lines << shown->index(row, 0).data().toString();
    QVERIFY2(lines.contains(QStringLiteral("Transmitiu: *** <STX>CF***<ETX>*")), qPrintable(lines.join('\n')));
    QVERIFY2(!lines.join(QString()).contains(QStringLiteral("ABC")), qPrintable(lines.join('\n')));
}

void TestDialogue::otherAddressIsShownButNotConfigured()
{
    sim_->controller().station().address = QStringLiteral("B07");
    QVERIFY(sim_->connectSocket());
    sim_->fixture().onWindow = [](QWidget *window) {
        answerDialog(window, QStringLiteral("Senha"), QString(), QStringLiteral("Validar_Senha"));
    };
    sim_->click(QStringLiteral("Abrir_Conexao"));
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Estado")), QStringLiteral("ON-LINE"));
    QCOMPARE(sim_->fixture().text(QStringLiteral("ID_Endereco")), QStringLiteral("B07"));
    QTest::qWait(400);
    QCOMPARE(sim_->requestBodies(), QList<QByteArray>{"ID01"});
    QVERIFY(!sim_->fixture().child<QGroupBox>(QStringLiteral("Frame5"))->isEnabled());
}

void TestDialogue::commandsPutTheirFramesOnTheWire_data()
{
    QTest::addColumn<int>("tank");  // TQ_Ativo index to pick first; -1 for none
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("Ler Relógio") << -1 << "LR_Cmd" << QByteArray("LR");
    QTest::newRow("Medir um Tanque, no tank chosen") << -1 << "MT_Cmd" << QByteArray("MT");
    QTest::newRow("Consultar Memória, no tank chosen") << -1 << "LM_Cmd" << QByteArray("LM");
    QTest::newRow("Medir um Tanque, TQ 01") << 0 << "MT_Cmd" << QByteArray("MT01");
    QTest::newRow("Consultar Memória, TQ 16") << 15 << "LM_Cmd" << QByteArray("LM16");
    QTest::newRow("Ler Sensores") << -1 << "Ler_Sensores" << QByteArray("LS");
    QTest::newRow("Ler Todos os Tanques") << -1 << "MA_Cmd" << QByteArray("MA");
    QTest::newRow("Efetuar Inventário") << -1 << "IV_Cmd" << QByteArray("MA");
}

void TestDialogue::commandsPutTheirFramesOnTheWire()
{
    QFETCH(int, tank);
    QFETCH(QString, button);
    QFETCH(QByteArray, body);
    QVERIFY(sim_->openDialogue());
    if (tank >= 0)
        sim_->click(QStringLiteral("TQ_Ativo_%1").arg(tank));
    const qsizetype before = sim_->requests().size();

    sim_->click(button);
    QTRY_COMPARE(sim_->requests().size(), before + 1);
    const QByteArray frame = sim_->requests().last();
    QCOMPARE(frame, QByteArray::fromStdString(zelta::frameRequest(body.toStdString())));
    QVERIFY(logHas(sim_->fixture(), QStringLiteral("Transmitiu: %1 ").arg(frame.size(), 3, 10, QLatin1Char('0')) +
                                        QString::fromLatin1(frame)));
}

void TestDialogue::clockSettingCarriesPasswordAndPcClock()
{
    QVERIFY(sim_->openDialogue(QStringLiteral("senha")));
    const QDateTime before = QDateTime::currentDateTime();
    sim_->click(QStringLiteral("Sinc_Relogio"));
    QTRY_COMPARE(sim_->requests().size(), 3);

    const QByteArray body = sim_->requestBodies().last();
    QCOMPARE(body.size(), 2 + 5 + 1 + 6 + 6);
    QVERIFY(body.startsWith("ARSENHA"));
    const auto setting = zelta::parseClockSetting(body.mid(2).toStdString());
    QVERIFY(setting);
    QCOMPARE(setting->stamp.weekday, before.date().dayOfWeek() % 7 + 1);
    const QDateTime sent(QDate(2000 + setting->stamp.year, setting->stamp.month, setting->stamp.day),
                         QTime(setting->stamp.hour, setting->stamp.minute, setting->stamp.second));
    QVERIFY(qAbs(sent.secsTo(before)) <= 2);
    // The controller answers with its clock, now set from the PC's.
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("LR_Data")), sent.toString(QStringLiteral("dd/MM/yy")));
}

void TestDialogue::scheduledDateIsCheckedBeforeSending_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("body");  // empty: refused with the message
    QTest::newRow("six digits") << "010324" << QByteArray("MP010324");
    QTest::newRow("slashes count as characters") << "1/3/24" << QByteArray("MP1/3/24");
    QTest::newRow("blank kept when six remain") << " 010324" << QByteArray("MP 010324");
    QTest::newRow("five characters") << "01032" << QByteArray();
    QTest::newRow("seven characters") << "0103245" << QByteArray();
}

void TestDialogue::scheduledDateIsCheckedBeforeSending()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, body);
    QVERIFY(sim_->openDialogue());
    QStringList messages;
    sim_->fixture().onWindow = [&](QWidget *window) {
        if (auto *box = qobject_cast<QMessageBox *>(window)) {
            messages << box->windowTitle() + QLatin1Char('|') + box->text();
            QTimer::singleShot(0, box, &QMessageBox::accept);
        } else if (window->objectName() == QStringLiteral("Form6")) {
            answerDialog(window, QStringLiteral("Data_Medicoes"), typed, QStringLiteral("Solicitar_Medicoes"));
        } else {
            QTimer::singleShot(0, window, &QWidget::close);
        }
    };
    sim_->click(QStringLiteral("Medicao_Programada"));

    if (body.isEmpty()) {
        QCOMPARE(messages, QStringList{QStringLiteral("Aviso|Digitar data no formato DDMMAA!")});
        QTest::qWait(200);
        QCOMPARE(sim_->requests().size(), 2);
    } else {
        QVERIFY(messages.isEmpty());
        QTRY_COMPARE(sim_->requests().size(), 3);
        QCOMPARE(sim_->requestBodies().last(), body);
        QCOMPARE(sim_->console().dataMedProg(), typed);
    }
}

void TestDialogue::repliesFillTheirPanels()
{
    QVERIFY(sim_->openDialogue());
    ConsoleFixture &f = sim_->fixture();

    sim_->click(QStringLiteral("LR_Cmd"));
    QTRY_VERIFY(!f.text(QStringLiteral("LR_Hora")).isEmpty());
    QVERIFY(QTime::fromString(f.text(QStringLiteral("LR_Hora")), QStringLiteral("HH:mm:ss")).isValid());
    QVERIFY(QDate::fromString(f.text(QStringLiteral("LR_Data")), QStringLiteral("dd/MM/yy")).isValid());
    QCOMPARE(f.text(QStringLiteral("LR_Dia")).size(), 2);

    sim_->click(QStringLiteral("Ler_Sensores"));
    QTRY_COMPARE(f.text(QStringLiteral("Est_Rbar1")), QStringLiteral("ATIVA"));
    QCOMPARE(f.text(QStringLiteral("Est_Rbar2")), QStringLiteral("INATIVA"));
    for (int k = 0; k < 32; ++k) {
        auto *label = f.child<QLabel>(QStringLiteral("Label26_%1").arg(k));
        QCOMPARE(label->isVisibleTo(&sim_->console()), k < 8);
    }
    QCOMPARE(f.child<QLabel>(QStringLiteral("Label26_0"))->text(), QStringLiteral("Sensor#01 Normal"));
    auto *leak = f.child<QLabel>(QStringLiteral("Label26_6"));
    QCOMPARE(leak->text(), QStringLiteral("Sensor#07 Vazamento"));
    QCOMPARE(leak->palette().color(QPalette::Window), QColor(255, 128, 128));
    QCOMPARE(f.child<QLabel>(QStringLiteral("Label26_0"))->palette().color(QPalette::Window), QColor(192, 255, 192));
}

void TestDialogue::errorRepliesShowTheirTexts_data()
{
    QTest::addColumn<int>("tank");
    QTest::addColumn<QString>("text");
    QTest::newRow("no tank chosen") << -1 << QStringLiteral("Número do tanque inválido !");
    QTest::newRow("tank not enabled") << 4 << QStringLiteral("Tanque não habilitado !");
    QTest::newRow("probe off-line") << 1 << QStringLiteral("Sonda OFF-LINE ou Inexistente !");
}

void TestDialogue::errorRepliesShowTheirTexts()
{
    QFETCH(int, tank);
    QFETCH(QString, text);
    QVERIFY(sim_->openDialogue());
    const QString before = sim_->fixture().text(QStringLiteral("MT_Produto"));
    if (tank >= 0)
        sim_->click(QStringLiteral("TQ_Ativo_%1").arg(tank));
    sim_->click(QStringLiteral("MT_Cmd"));
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Inf_Erro")), text);
    QCOMPARE(sim_->fixture().text(QStringLiteral("MT_Produto")), before);
}

void TestDialogue::disconnectReturnsToStartUp()
{
    QVERIFY(sim_->openDialogue());
    sim_->click(QStringLiteral("TQ_Ativo_2"));
    sim_->click(QStringLiteral("LR_Cmd"));
    ConsoleFixture &f = sim_->fixture();
    QTRY_VERIFY(!f.text(QStringLiteral("LR_Hora")).isEmpty());

    sim_->click(QStringLiteral("Fechar_Conexao"));
    QTRY_COMPARE(sim_->requestBodies().last(), QByteArray("ID02"));
    QVERIFY(f.logLines().isEmpty());
    QCOMPARE(f.text(QStringLiteral("Host")), QStringLiteral("Local Não Conectado"));
    QCOMPARE(f.text(QStringLiteral("Estado")), QStringLiteral("OFF-LINE"));
    for (const char *box : {"ID_Endereco", "CF_NumTanques", "LR_Hora", "Inf_Erro", "CF_NumSensores", "MT_Produto"})
        QVERIFY2(f.text(QLatin1String(box)).isEmpty(), box);
    for (const char *frame : {"Frame3", "Frame5", "Frame7", "Frame10"})
        QVERIFY2(!f.child<QGroupBox>(QLatin1String(frame))->isEnabled(), frame);
    QVERIFY(!f.child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    QVERIFY(!f.child<QPushButton>(QStringLiteral("Fechar_Conexao"))->isEnabled());
    for (int i = 0; i < 16; ++i) {
        auto *tank = f.child<QRadioButton>(QStringLiteral("TQ_Ativo_%1").arg(i));
        QVERIFY(!tank->isEnabled() && !tank->isChecked());
    }
    // The tank chosen before stays the tank of the next "Medir um Tanque".
    QCOMPARE(sim_->console().Tanque_Ativo(), QStringLiteral("03"));
    QTRY_COMPARE(sim_->controller().clientCount(), 0);
}

void TestDialogue::peerCloseIsSeenWithinOneTick()
{
    QVERIFY(sim_->openDialogue());
    QSignalSpy states(sim_->fixture().child<QLineEdit>(QStringLiteral("Estado_TCP")), &QLineEdit::textChanged);
    sim_->controller().close();

    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Estado_TCP")), QStringLiteral("Fechada"));
    QCOMPARE(states.count(), 2);
    QCOMPARE(states.at(0).at(0).toString(), QStringLiteral("Conv. está fechando a conexão"));
    QVERIFY(sim_->fixture().text(QStringLiteral("IP")).isEmpty());
    // Panels stay as they were until the operator acts.
    QCOMPARE(sim_->fixture().text(QStringLiteral("Estado")), QStringLiteral("ON-LINE"));
}

void TestDialogue::commandAfterPeerCloseSendsNothing()
{
    QVERIFY(sim_->openDialogue());
    sim_->controller().close();
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Estado_TCP")), QStringLiteral("Fechada"));
    const qsizetype before = sim_->requests().size();

    sim_->click(QStringLiteral("LR_Cmd"));
    QVERIFY(logHas(sim_->fixture(), QStringLiteral("Não transmitiu (sem conexão): ")));
    QCOMPARE(sim_->requests().size(), before);
    // Still usable: "Desconectar Zelta" brings the console back to its start.
    sim_->click(QStringLiteral("Fechar_Conexao"));
    QCOMPARE(sim_->fixture().text(QStringLiteral("Estado")), QStringLiteral("OFF-LINE"));
}

QTEST_MAIN(TestDialogue)
#include "tst_dialogue.moc"
