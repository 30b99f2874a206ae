// Replies a well-behaved controller never sends, played by a scripted peer: the console shows what
// it can, stores nothing it has no room for, and keeps running.
#include "console_fixture.h"
#include "scripted_controller.h"

#include "reports/tank_drawing.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

const QHostAddress Address(QStringLiteral("127.0.0.7"));

// A measurement record: tank, product, coefficient, density, capacity, measured, complementary,
// volume at 20, level, time, date, unit.
QByteArray measurement(const QByteArray &tank, const QByteArray &measured, const QByteArray &complementary)
{
    return "MT" + tank + "GASOLINA   " + "0.0012" + "0.74" + "030000" + measured + complementary + "018130" +
           "001420" + "101500" + "071226" + " ";
}

} // namespace

class TestReplyHandling : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tankOutsideTheTableIsShownNotStored();
    void unusableReplyReachesNoPanel_data();
    void unusableReplyReachesNoPanel();
    void emptyTankHasNoPercentage();
    void moreTanksAndSensorsThanTheConsoleShows();
    void fewerSensorsHideTheLabelsOfMore();
    void errorAndUnknownReplies_data();
    void errorAndUnknownReplies();
    void seriesBeyondTheTableIsCut();

private:
    // Sends one reply frame and waits for the console's acknowledgement.
    void reply(const QByteArray &body);

    ScriptedController controller_;
    std::unique_ptr<ConsoleFixture> fixture_;
};

void TestReplyHandling::init()
{
    QVERIFY(controller_.listen(Address));
    fixture_ = std::make_unique<ConsoleFixture>(QList<ConsoleFixture::Station>{{QStringLiteral("Posto"), Address.toString()}});
    fixture_->pick(0);
    QVERIFY(controller_.accept());
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));
}

void TestReplyHandling::cleanup()
{
    fixture_.reset();
    controller_.close();
}

void TestReplyHandling::reply(const QByteArray &body)
{
    QVERIFY(controller_.writeAndAwaitAck(ScriptedController::frame(body)));
}

void TestReplyHandling::tankOutsideTheTableIsShownNotStored()
{
    const TankTable before = fixture_->console().leituras().tanks();
    reply(measurement("017", "003000", "001000"));
    QTRY_COMPARE(fixture_->text(QStringLiteral("MT1_Tanque")), QStringLiteral("017"));
    QCOMPARE(fixture_->text(QStringLiteral("Percentual")), QStringLiteral("75.%"));
    QVERIFY(fixture_->console().leituras().tanks() == before);
}

// A tank number that names no tank, or a record whose fields stand in the wrong places, is said
// to be unusable and reaches no panel.
void TestReplyHandling::unusableReplyReachesNoPanel_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::newRow("tank -01") << measurement("-01", "003000", "001000")
                              << QStringLiteral("resposta MT com número de tanque inválido (\"-01\")");
    QTest::newRow("tank 000") << measurement("000", "003000", "001000")
                              << QStringLiteral("resposta MT com número de tanque inválido (\"000\")");
    QTest::newRow("overlong measured volume") << measurement("003", "9999999999999", "001000")
                                              << QStringLiteral("resposta MT com 79 bytes, em vez de 71 ou 72");
    // Its ETX and check byte where the product's fourth letter should be.
    QTest::newRow("cut after the product's third letter")
        << QByteArray("MT003GAS") << QStringLiteral("resposta MT com 11 bytes, em vez de 71 ou 72");
}

void TestReplyHandling::unusableReplyReachesNoPanel()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    const TankTable before = fixture_->console().leituras().tanks();
    QSignalSpy taken(&fixture_->console(), &Form1::mensagemRecebida);
    reply(body);
    QTRY_COMPARE(taken.count(), 1);
    QCOMPARE(fixture_->text(QStringLiteral("Inf_Erro")), QStringLiteral("Resposta inválida do controlador: ") + message);
    QVERIFY(fixture_->text(QStringLiteral("MT1_Tanque")).isEmpty());
    QVERIFY(fixture_->text(QStringLiteral("MT_Vol_Medido")).isEmpty());
    QVERIFY(fixture_->console().leituras().tanks() == before);
}

void TestReplyHandling::emptyTankHasNoPercentage()
{
    reply(measurement("003", "000000", "000000"));
    QTRY_COMPARE(fixture_->text(QStringLiteral("MT1_Tanque")), QStringLiteral("003"));
    QVERIFY(fixture_->text(QStringLiteral("Percentual")).isEmpty());
    QCOMPARE(fixture_->child<TankDrawing>(QStringLiteral("Altura_Liquido"))->alturaLiquido(), 1335.0);
    QCOMPARE(fixture_->console().leituras().tanks()[3].measured, QStringLiteral("000000"));
}

void TestReplyHandling::moreTanksAndSensorsThanTheConsoleShows()
{
    reply("CF" "20" "000001" "2" "40");
    QTRY_COMPARE(fixture_->text(QStringLiteral("CF_NumTanques")), QStringLiteral("20"));
    QCOMPARE(fixture_->text(QStringLiteral("CF_TipoMedidor")), QStringLiteral("Industrial"));
    for (int i = 0; i < 16; ++i)
        QVERIFY(fixture_->child<QRadioButton>(QStringLiteral("TQ_Ativo_%1").arg(i))->isEnabled());

    reply("LS" + QByteArray(16, '3') + "A" + QByteArray(16, '1') + "A");
    QTRY_COMPARE(fixture_->text(QStringLiteral("Est_Rbar2")), QStringLiteral("ATIVA"));
    QCOMPARE(fixture_->child<QLabel>(QStringLiteral("Label26_31"))->text(), QStringLiteral("Sensor#32 em Curto"));
    QCOMPARE(fixture_->console().numSensores(), 40);
}

// The controller's sensor count can shrink between two dialogues on the same connection.
void TestReplyHandling::fewerSensorsHideTheLabelsOfMore()
{
    const auto visible = [this] {
        int shown = 0;
        for (int k = 0; k < 32; ++k)
            shown += fixture_->child<QLabel>(QStringLiteral("Label26_%1").arg(k))->isVisibleTo(&fixture_->console());
        return shown;
    };
    reply("CF" "16" "000001" "1" "32");
    reply("LS" + QByteArray(16, '3') + "A" + QByteArray(16, '3') + "A");
    QTRY_COMPARE(visible(), 32);

    reply("CF" "16" "000001" "1" "08");
    reply("LS" + QByteArray(8, '2') + QByteArray(8, '0') + "I" + QByteArray(16, '0') + "I");
    QTRY_COMPARE(fixture_->text(QStringLiteral("Est_Rbar1")), QStringLiteral("INATIVA"));
    QCOMPARE(visible(), 8);
    QCOMPARE(fixture_->child<QLabel>(QStringLiteral("Label26_7"))->text(), QStringLiteral("Sensor#08 Normal"));
}

void TestReplyHandling::errorAndUnknownReplies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("counted");
    QTest::newRow("error to MA is counted") << QByteArray("MAETI") << QStringLiteral("Número do tanque inválido !") << 1;
    QTest::newRow("unknown error code") << QByteArray("MTEXX") << QStringLiteral("antes") << 0;
    QTest::newRow("unknown reply code") << QByteArray("ZZ123") << QStringLiteral("antes") << 0;
    QTest::newRow("frame without STX") << QByteArray() << QStringLiteral("antes") << 0;
}

void TestReplyHandling::errorAndUnknownReplies()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(int, counted);
    fixture_->child<QLineEdit>(QStringLiteral("Inf_Erro"))->setText(QStringLiteral("antes"));
    QSignalSpy taken(&fixture_->console(), &Form1::mensagemRecebida);
    reply(body);
    QTRY_COMPARE(taken.count(), 1);
    QCOMPARE(fixture_->text(QStringLiteral("Inf_Erro")), message);
    QCOMPARE(fixture_->console().Tanques_Lidos(), counted);
}

// No controller keeps more than 101 records for a date: the 102nd ends the series, and the window
// shows the 101.
void TestReplyHandling::seriesBeyondTheTableIsCut()
{
    reply("CF" "04" "000001" "1" "04");
    QTRY_VERIFY(fixture_->child<QPushButton>(QStringLiteral("Medicao_Programada"))->isEnabled());
    QList<int> rowsShown;
    QString shownMeanwhile;
    fixture_->onWindow = [&](QWidget *window) {
        if (window->objectName() == QStringLiteral("Form6")) {
            answerDialog(window, QStringLiteral("Data_Medicoes"), QStringLiteral("010324"),
                         QStringLiteral("Solicitar_Medicoes"));
            return;
        }
        QTimer::singleShot(0, window, [&, window] {
            const auto *grid = window->findChild<QTableWidget *>(QStringLiteral("Resultados_MedProg"));
            int rows = 0;
            while (rows < grid->rowCount() && grid->item(rows, 0) && !grid->item(rows, 0)->text().isEmpty())
                ++rows;
            rowsShown << rows;
            shownMeanwhile = fixture_->text(QStringLiteral("Inf_Erro"));
            window->close();
        });
    };
    fixture_->child<QPushButton>(QStringLiteral("Medicao_Programada"))->click();
    QVERIFY(controller_.read(12).contains("MP010324"));
    for (int n = 1; n <= 102; ++n)
        reply("MP" "120000" "010324" + QByteArray::number(n).rightJustified(6, '0') + "001" + (n < 102 ? "\x01" : ""));

    QTRY_COMPARE(rowsShown, QList<int>{101});
    QCOMPARE(shownMeanwhile, QStringLiteral("Lista cortada em 101 medições."));
    QCOMPARE(fixture_->console().numMedicoes(), 101);
    QCOMPARE(fixture_->console().medicoes()[100].volume, QStringLiteral("000101"));
}

QTEST_MAIN(TestReplyHandling)
#include "tst_reply_handling.moc"
