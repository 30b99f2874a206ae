// The connection as the operator sees it, against a scripted controller: a hang-up, a wrong
// password, and connecting again afterwards.
#include "console_fixture.h"
#include "scripted_controller.h"

#include "session/controller_session.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>

namespace {

const QHostAddress Address(QStringLiteral("127.0.0.204"));

const QByteArray IdentificationRequest = ScriptedController::frame("ID01");
const QByteArray CloseRequest = ScriptedController::frame("ID02");

} // namespace

class TestReconnection : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void wrongPasswordIsSaid();
    void pickingTheSameStationConnectsAgain_data();
    void pickingTheSameStationConnectsAgain();
    void closeRequestDiesWithItsConnection_data();
    void closeRequestDiesWithItsConnection();

private:
    void click(const char *button)
    {
        QTest::mouseClick(fixture_->child<QPushButton>(QLatin1String(button)), Qt::LeftButton);
    }
    // "Conectar Zelta" with a password; the controller answers the identification as A01.
    void identify();
    // The operator opens the list and clicks the station in it.
    void pickWithTheMouse(int index);

    ScriptedController controller_;
    std::unique_ptr<ConsoleFixture> fixture_;
};

void TestReconnection::init()
{
    QVERIFY(controller_.listen(Address));
    fixture_ = std::make_unique<ConsoleFixture>(QList<ConsoleFixture::Station>{{QStringLiteral("Posto"), Address.toString()}});
    fixture_->pick(0);
    QVERIFY(controller_.accept());
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));
}

void TestReconnection::cleanup()
{
    fixture_.reset();
    controller_.close();
}

void TestReconnection::identify()
{
    fixture_->onWindow = [](QWidget *window) {
        answerDialog(window, QStringLiteral("Senha"), QStringLiteral("errada"), QStringLiteral("Validar_Senha"));
    };
    QTRY_VERIFY(fixture_->child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    click("Abrir_Conexao");
    QCOMPARE(controller_.read(IdentificationRequest.size()), IdentificationRequest);
    QVERIFY(controller_.writeAndAwaitAck(ScriptedController::frame("IDA0130")));
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado")), QStringLiteral("ON-LINE"));
}

void TestReconnection::pickWithTheMouse(int index)
{
    auto *postos = fixture_->child<QComboBox>(QStringLiteral("Postos"));
    QTest::mouseClick(postos, Qt::LeftButton);
    QAbstractItemView *list = postos->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    // A release this soon after the list opened would be taken for the end of the opening click.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QRect item = list->visualRect(list->model()->index(index, 0));
    QTest::mouseMove(list->viewport(), item.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!list->window()->isVisible());
}

// A controller leaves the configuration with a wrong password unanswered: the console says so once
// the reply is overdue, and the operator may try another password.
void TestReconnection::wrongPasswordIsSaid()
{
    identify();
    const QByteArray configuration = ScriptedController::frame("CFERRADA");
    QCOMPARE(controller_.read(configuration.size()), configuration);
    QCOMPARE(fixture_->text(QStringLiteral("Inf_Erro")), QString());

    QTRY_COMPARE_WITH_TIMEOUT(fixture_->text(QStringLiteral("Inf_Erro")),
                              QStringLiteral("Sem resposta à configuração: verifique a senha"), 15000);
    QVERIFY(fixture_->child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    QVERIFY(!fixture_->child<QGroupBox>(QStringLiteral("Frame5"))->isEnabled());

    click("Abrir_Conexao");
    QCOMPARE(controller_.read(IdentificationRequest.size()), IdentificationRequest);
    QCOMPARE(fixture_->text(QStringLiteral("Inf_Erro")), QString());
}

void TestReconnection::pickingTheSameStationConnectsAgain_data()
{
    QTest::addColumn<bool>("hangUp");
    QTest::newRow("after the controller hung up") << true;
    QTest::newRow("while connected") << false;
}

void TestReconnection::pickingTheSameStationConnectsAgain()
{
    QFETCH(bool, hangUp);
    identify();
    if (hangUp) {
        controller_.peer()->close();
        QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Fechada"));
        // The panels stay as they were until the operator acts.
        QCOMPARE(fixture_->text(QStringLiteral("Estado")), QStringLiteral("ON-LINE"));
    }

    pickWithTheMouse(0);
    QVERIFY(controller_.accept());
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));
    QCOMPARE(fixture_->text(QStringLiteral("Host")), QStringLiteral("Posto"));
    identify();
}

void TestReconnection::closeRequestDiesWithItsConnection_data()
{
    QTest::addColumn<bool>("waitForTheTick");
    QTest::newRow("once the state says Fechada") << true;
    QTest::newRow("before the state says so") << false;
}

// The controller hangs up mid-dialogue; "Desconectar Zelta" and the same station picked at once:
// the new connection never hears the "ID02" meant for the old one.
void TestReconnection::closeRequestDiesWithItsConnection()
{
    QFETCH(bool, waitForTheTick);
    identify();
    controller_.peer()->close();
    if (waitForTheTick)
        QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Fechada"));
    else
        QTRY_VERIFY(!fixture_->console().session().isConnected());

    click("Fechar_Conexao");
    fixture_->pick(0);
    QVERIFY(controller_.accept());
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));
    const QByteArray heard = controller_.read(CloseRequest.size(), 1500);
    QVERIFY2(!heard.contains("ID02"), heard.constData());
    QCOMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));
}

QTEST_MAIN(TestReconnection)
#include "tst_reconnection.moc"
