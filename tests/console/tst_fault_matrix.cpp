// A controller that misbehaves on the line, case by case: the console keeps answering the operator,
// loses nothing it had stored, interprets no frame twice, and keeps its receive buffer bounded.
#include "simulated_console.h"

#include "protocol/frame_assembler.h"
#include "session/controller_session.h"
#include "simulator/default_station.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString Address = QStringLiteral("127.0.0.8");

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void repliesInSmallChunks_data();
    void repliesInSmallChunks();
    void nakInsteadOfAck();
    void wrongCheckByteIsStillInterpreted();
    void connectionClosedMidFrame();
    void connectionClosedAfterSomeFrames();
    void garbageWithoutEtx();
    void frameThatNeverEndsThenGoodFrames();
    void floodWithoutWaitingForAcknowledgements();

private:
    // Every complete frame logged was stored once and taken once; nothing was refused for lack of
    // room; the partial frame stays within its bound.
    void checkNothingLostOrRepeated();
    // A press of "Ler Relógio" still reaches the controller.
    void checkResponsive();

    std::unique_ptr<SimulatedConsole> sim_;
    std::unique_ptr<QSignalSpy> taken_;
};

void TestFaultMatrix::init()
{
    sim_ = std::make_unique<SimulatedConsole>(Address, demonstrationStation());
    taken_ = std::make_unique<QSignalSpy>(&sim_->console(), &Form1::mensagemRecebida);
}

void TestFaultMatrix::cleanup()
{
    taken_.reset();
    sim_.reset();
}

void TestFaultMatrix::checkNothingLostOrRepeated()
{
    QTRY_VERIFY(sim_->console().session().ring().empty());
    const QStringList lines = sim_->fixture().logLines();
    int received = 0;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("Recebeu: ")) && line.at(9).isDigit())
            ++received;
        QVERIFY2(!line.startsWith(QStringLiteral("Fila de recepção cheia")), qPrintable(line));
    }
    QCOMPARE(taken_->count(), received);
    QVERIFY(sim_->console().session().assembler().buffered().size() <= zelta::FrameAssembler::MaxBuffered);
}

void TestFaultMatrix::checkResponsive()
{
    const qsizetype before = sim_->requests().size();
    sim_->click(QStringLiteral("LR_Cmd"));
    QTRY_COMPARE(sim_->requests().size(), before + 1);
    QVERIFY(sim_->requestBodies().last() == "LR");
}

void TestFaultMatrix::repliesInSmallChunks_data()
{
    QTest::addColumn<int>("chunk");
    QTest::newRow("1 byte") << 1;
    QTest::newRow("2 bytes") << 2;
    QTest::newRow("7 bytes") << 7;
}

void TestFaultMatrix::repliesInSmallChunks()
{
    QFETCH(int, chunk);
    sim_->controller().setChunkSize(chunk);
    // The identification and configuration replies have fixed check bytes that are neither ACK nor
    // NAK, so no chunk of one byte can pass for an acknowledgement.
    QVERIFY(sim_->openDialogue());
    QCOMPARE(sim_->fixture().text(QStringLiteral("CF_NumTanques")), QStringLiteral("04"));
    QCOMPARE(taken_->count(), 2);
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::nakInsteadOfAck()
{
    QVERIFY(sim_->openDialogue());
    sim_->controller().setNakRequests(true);
    checkResponsive();
    QTRY_VERIFY(sim_->fixture().logLines().contains(QStringLiteral("Recebeu: NACK")));
    // Nothing is sent again after a NAK.
    QTest::qWait(300);
    QCOMPARE(sim_->requestBodies().count("LR"), 1);
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::wrongCheckByteIsStillInterpreted()
{
    sim_->controller().setWrongCheckByte(true);
    QVERIFY(sim_->openDialogue());
    sim_->click(QStringLiteral("LR_Cmd"));
    QTRY_VERIFY(!sim_->fixture().text(QStringLiteral("LR_Hora")).isEmpty());
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::connectionClosedMidFrame()
{
    QVERIFY(sim_->openDialogue());
    sim_->controller().setChunkSize(5);
    sim_->click(QStringLiteral("LR_Cmd"));
    QTRY_VERIFY(!sim_->console().session().assembler().buffered().empty());
    sim_->controller().close();
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Estado_TCP")), QStringLiteral("Fechada"));
    checkNothingLostOrRepeated();

    // The half frame of the old connection does not spoil the first reply of the next one.
    sim_->controller().setChunkSize(0);
    sim_->controller().station().address = QStringLiteral("B02");
    QVERIFY(sim_->controller().listen(QHostAddress(Address)));
    QVERIFY(sim_->connectSocket());
    sim_->fixture().onWindow = [](QWidget *window) {
        answerDialog(window, QStringLiteral("Senha"), QString(), QStringLiteral("Validar_Senha"));
    };
    sim_->click(QStringLiteral("Abrir_Conexao"));
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("ID_Endereco")), QStringLiteral("B02"));
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::connectionClosedAfterSomeFrames()
{
    sim_->controller().setCloseAfterFrames(3);
    QVERIFY(sim_->openDialogue());
    sim_->click(QStringLiteral("LR_Cmd"));
    QTRY_COMPARE(sim_->fixture().text(QStringLiteral("Estado_TCP")), QStringLiteral("Fechada"));
    sim_->click(QStringLiteral("Ler_Sensores"));
    QVERIFY(sim_->fixture().logLines().last().startsWith(QStringLiteral("Não transmitiu (sem conexão): ")));
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::garbageWithoutEtx()
{
    QVERIFY(sim_->openDialogue());
    const int before = taken_->count();
    sim_->controller().sendGarbage(1024 * 1024);
    // Garbage holds STX bytes: each one restarts a frame that never ends, and is reported.
    QTRY_VERIFY_WITH_TIMEOUT(sim_->fixture().logLines().filter(QStringLiteral("Descartou: ")).size() > 100, 10000);
    QCOMPARE(taken_->count(), before);
    checkResponsive();
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::frameThatNeverEndsThenGoodFrames()
{
    sim_->controller().setUnterminatedFrame(true);
    QVERIFY(sim_->openDialogue());
    sim_->click(QStringLiteral("LR_Cmd"));
    QTRY_VERIFY(!sim_->fixture().text(QStringLiteral("LR_Hora")).isEmpty());
    checkResponsive();
    checkNothingLostOrRepeated();
}

void TestFaultMatrix::floodWithoutWaitingForAcknowledgements()
{
    QVERIFY(sim_->openDialogue());
    sim_->controller().sendFlood(10000);
    QTRY_VERIFY_WITH_TIMEOUT(sim_->fixture().logLines().filter(QStringLiteral("Recebeu: ")).size() > 2, 10000);
    checkResponsive();
    checkNothingLostOrRepeated();
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
