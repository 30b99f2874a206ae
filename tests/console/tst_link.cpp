// The console's link against a real TCP peer on loopback: exact bytes, acknowledgements,
// frame assembly over several reads, the receive ring and the log.
#include "console_fixture.h"
#include "scripted_controller.h"

#include "protocol/frame_assembler.h"
#include "session/controller_session.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {

const QHostAddress ControllerAddress(QStringLiteral("127.0.0.2"));

QByteArray bytes(const char *text, int size) { return QByteArray(text, size); }

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsDisconnected();
    void selectorKeepsEachStationsEntry();
    void identificationRequestGoesOutFramed();
    void replyAcrossReadsIsAcknowledgedOnce_data();
    void replyAcrossReadsIsAcknowledgedOnce();
    void everyFrameOfOneReadIsItsOwnMessage_data();
    void everyFrameOfOneReadIsItsOwnMessage();
    void acknowledgementsAreLoggedOnly_data();
    void acknowledgementsAreLoggedOnly();
    void framesReachTheDispatcherOldestFirst();
    void endlessBytesStayBounded();
    void keepAliveIsSentUnframedAndNotLogged();

private:
    void connectConsole();
    void writeAndWaitForAck(const QByteArray &data);

    ScriptedController controller_;
    std::unique_ptr<ConsoleFixture> fixture_;
};

void TestLink::init()
{
    QVERIFY(controller_.listen(ControllerAddress));
    fixture_ = std::make_unique<ConsoleFixture>(QList<ConsoleFixture::Station>{
        {QStringLiteral("Posto Centro"), ControllerAddress.toString()},
        {QString(), QString()},
        {QStringLiteral("Posto São João"), QStringLiteral("127.0.0.3")},
    });
}

void TestLink::cleanup()
{
    fixture_.reset();
    controller_.close();
}

void TestLink::connectConsole()
{
    fixture_->pick(0);
    QVERIFY(controller_.accept());
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));
    QCOMPARE(fixture_->text(QStringLiteral("IP")), ControllerAddress.toString());
    QVERIFY(fixture_->child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
}

void TestLink::writeAndWaitForAck(const QByteArray &data)
{
    QVERIFY(controller_.writeAndAwaitAck(data));
}

void TestLink::startsDisconnected()
{
    Form1 &console = fixture_->console();
    QCOMPARE(console.windowTitle(), QStringLiteral("Comunicação Via INTRANET PC - Zelta - Versão 3.00a"));
    QCOMPARE(fixture_->text(QStringLiteral("Host")), QStringLiteral("Local Não Conectado"));
    QCOMPARE(fixture_->text(QStringLiteral("Estado")), QStringLiteral("OFF-LINE"));
    for (const char *frame : {"Frame3", "Frame5", "Frame7", "Frame10"})
        QVERIFY2(!fixture_->child<QGroupBox>(QLatin1String(frame))->isEnabled(), frame);
    for (const char *button : {"Abrir_Conexao", "Fechar_Conexao"})
        QVERIFY2(!fixture_->child<QPushButton>(QLatin1String(button))->isEnabled(), button);
    for (const char *button : {"Configurar", "Limpar_Log", "Sair"})
        QVERIFY2(fixture_->child<QPushButton>(QLatin1String(button))->isEnabled(), button);
    for (int i = 0; i < 16; ++i) {
        auto *tank = fixture_->child<QRadioButton>(QStringLiteral("TQ_Ativo_%1").arg(i));
        QVERIFY(!tank->isEnabled());
        QVERIFY(!tank->isChecked());
        QCOMPARE(tank->text(), QStringLiteral("TQ %1").arg(i + 1, 2, 10, QLatin1Char('0')));
    }
    auto *postos = fixture_->child<QComboBox>(QStringLiteral("Postos"));
    QCOMPARE(postos->currentIndex(), -1);
    QCOMPARE(postos->placeholderText(), QStringLiteral("Selecione o Local"));
    QVERIFY(fixture_->logLines().isEmpty());
}

void TestLink::selectorKeepsEachStationsEntry()
{
    auto *postos = fixture_->child<QComboBox>(QStringLiteral("Postos"));
    QCOMPARE(postos->count(), 2);
    QCOMPARE(postos->itemText(1), QStringLiteral("Posto São João"));

    // Entry 2 has no description: the second listed station is entry 3, not entry 2.
    QTcpServer third;
    QVERIFY(third.listen(QHostAddress(QStringLiteral("127.0.0.3")), ControllerSession::DefaultPort));
    fixture_->pick(1);
    QVERIFY(third.waitForNewConnection(3000));
    QCOMPARE(fixture_->text(QStringLiteral("Host")), QStringLiteral("Posto São João"));
}

void TestLink::identificationRequestGoesOutFramed()
{
    connectConsole();
    fixture_->onWindow = [](QWidget *window) {
        answerDialog(window, QStringLiteral("Senha"), QStringLiteral("abc"), QStringLiteral("Validar_Senha"));
    };
    QTest::mouseClick(fixture_->child<QPushButton>(QStringLiteral("Abrir_Conexao")), Qt::LeftButton);

    const QByteArray frame = bytes("\x02" "ID01\x03\x0F", 7);
    QCOMPARE(controller_.read(7), frame);
    QCOMPARE(fixture_->console().senhaUsuario(), QStringLiteral("abc"));
    QCOMPARE(fixture_->logLines(), QStringList{QStringLiteral("Transmitiu: 007 ") + QString::fromLatin1(frame)});
}

void TestLink::replyAcrossReadsIsAcknowledgedOnce_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("frame");

    const QByteArray reply = bytes("\x02" "XXAB\x03\x00", 7);
    QTest::newRow("whole") << QList<QByteArray>{reply} << reply;
    QTest::newRow("code, then the rest") << QList<QByteArray>{reply.left(3), reply.mid(3)} << reply;
    // Ending on ETX is not the end: the check byte has not come yet.
    QTest::newRow("ETX alone before the check byte") << QList<QByteArray>{reply.left(6), reply.mid(6)} << reply;
    QTest::newRow("byte by byte") << QList<QByteArray>{reply.left(1), reply.mid(1, 1), reply.mid(2, 1), reply.mid(3, 1),
                                                         reply.mid(4, 1), reply.mid(5, 1), reply.mid(6, 1)}
                                  << reply;
    // The check byte is whatever follows ETX, even when it reads as an acknowledgement.
    const QByteArray ackCheck = bytes("\x02" "AB\x03\x06", 5);
    QTest::newRow("check byte 06 alone in its read") << QList<QByteArray>{ackCheck.left(4), ackCheck.mid(4)} << ackCheck;
    const QByteArray nakCheck = bytes("\x02" "AW\x03\x15", 5);
    QTest::newRow("check byte 15 alone in its read") << QList<QByteArray>{nakCheck.left(4), nakCheck.mid(4)} << nakCheck;
}

void TestLink::replyAcrossReadsIsAcknowledgedOnce()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, frame);
    connectConsole();
    QSignalSpy taken(&fixture_->console(), &Form1::mensagemRecebida);

    QByteArray sent;
    for (int i = 0; i < chunks.size() - 1; ++i) {
        controller_.peer()->write(chunks[i]);
        QVERIFY(controller_.peer()->waitForBytesWritten(3000));
        sent += chunks[i];
        // Each chunk must arrive as a read of its own before the next is sent.
        QTRY_COMPARE(QByteArray::fromStdString(fixture_->console().session().assembler().buffered()), sent);
    }
    writeAndWaitForAck(chunks.last());

    QTRY_COMPARE(taken.count(), 1);
    QCOMPARE(taken.at(0).at(0).toByteArray(), frame);
    QCOMPARE(fixture_->logLines(), (QStringList{
                                        QStringLiteral("Recebeu: %1 ").arg(frame.size(), 3, 10, QLatin1Char('0')) +
                                            QString::fromLatin1(frame),
                                        QStringLiteral("Transmitiu: ACK"),
                                    }));
    QVERIFY(fixture_->console().session().assembler().buffered().empty());
}

void TestLink::everyFrameOfOneReadIsItsOwnMessage_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QStringList>("acknowledgements");

    const QByteArray first = bytes("\x02" "XXAB\x03\x00", 7);
    const QByteArray second = bytes("\x02" "YY\x03\x03", 5);
    QTest::newRow("two replies back to back") << first + second << QList<QByteArray>{first, second} << QStringList();
    // A prompt controller's ACK of the request and its reply arrive in one read.
    QTest::newRow("ACK glued to the reply") << bytes("\x06", 1) + first << QList<QByteArray>{first}
                                            << QStringList{QStringLiteral("Recebeu: ACK")};
    QTest::newRow("reply glued to a NAK") << first + bytes("\x15", 1) << QList<QByteArray>{first}
                                          << QStringList{QStringLiteral("Recebeu: NACK")};
}

void TestLink::everyFrameOfOneReadIsItsOwnMessage()
{
    QFETCH(QByteArray, read);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QStringList, acknowledgements);
    connectConsole();
    QSignalSpy taken(&fixture_->console(), &Form1::mensagemRecebida);

    controller_.peer()->write(read);
    QCOMPARE(controller_.read(frames.size(), 3000), QByteArray(frames.size(), '\x06'));
    QTRY_COMPARE(taken.count(), frames.size());
    for (int i = 0; i < frames.size(); ++i)
        QCOMPARE(taken.at(i).at(0).toByteArray(), frames[i]);
    const QStringList lines = fixture_->logLines();
    for (const QString &line : acknowledgements)
        QVERIFY2(lines.contains(line), qPrintable(line));
    QCOMPARE(lines.filter(QStringLiteral("Transmitiu: ACK")).size(), frames.size());
}

void TestLink::acknowledgementsAreLoggedOnly_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QString>("line");
    QTest::newRow("ACK") << bytes("\x06", 1) << QStringLiteral("Recebeu: ACK");
    QTest::newRow("NAK") << bytes("\x15", 1) << QStringLiteral("Recebeu: NACK");
}

void TestLink::acknowledgementsAreLoggedOnly()
{
    QFETCH(QByteArray, chunk);
    QFETCH(QString, line);
    connectConsole();

    controller_.peer()->write(chunk);
    QTRY_COMPARE(fixture_->logLines(), QStringList{line});
    QVERIFY(fixture_->console().session().assembler().buffered().empty());
    // Nothing is sent back for an acknowledgement.
    QVERIFY(controller_.read(1, 300).isEmpty());
}

void TestLink::framesReachTheDispatcherOldestFirst()
{
    connectConsole();
    QSignalSpy taken(&fixture_->console(), &Form1::mensagemRecebida);
    const QList<QByteArray> frames{bytes("\x02" "XX1\x03\x32", 6), bytes("\x02" "XX2\x03\x31", 6),
                                   bytes("\x02" "XX3\x03\x30", 6)};
    for (const QByteArray &frame : frames)
        writeAndWaitForAck(frame);

    QTRY_COMPARE(taken.count(), frames.size());
    for (int i = 0; i < frames.size(); ++i)
        QCOMPARE(taken.at(i).at(0).toByteArray(), frames[i]);
    QVERIFY(fixture_->console().session().ring().empty());
}

void TestLink::endlessBytesStayBounded()
{
    connectConsole();
    controller_.peer()->write(bytes("\x02", 1) + QByteArray(64 * 1024, 'Z'));
    QVERIFY(controller_.peer()->waitForBytesWritten(3000));
    QTest::qWait(200);
    QVERIFY(fixture_->console().session().assembler().buffered().size() <= zelta::FrameAssembler::MaxBuffered);

    // The console still hears the controller afterwards, and the whole run is reported once.
    controller_.peer()->write(bytes("\x15", 1));
    QTRY_VERIFY(fixture_->logLines().contains(QStringLiteral("Recebeu: NACK")));
    QCOMPARE(fixture_->logLines().filter(QStringLiteral("Descartou:")),
             QStringList{QStringLiteral("Descartou: %1 bytes sem fim de quadro").arg(64 * 1024 + 1)});
}

void TestLink::keepAliveIsSentUnframedAndNotLogged()
{
    connectConsole();
    QCOMPARE(controller_.read(2, 7000, ScriptedController::KeepAlive::Keep), bytes("\xFF\xF1", 2));
    QVERIFY(fixture_->logLines().isEmpty());
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
