// An inventory in which tanks give no reading, through the console, against a scripted controller:
// the window names each such tank and why, and marks every total as leaving them out.
#include "console_fixture.h"
#include "scripted_controller.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

const QHostAddress Address(QStringLiteral("127.0.0.205"));

QByteArray measurement(const QByteArray &code, const QByteArray &tank, const QByteArray &product,
                       const QByteArray &measured)
{
    return code + tank + product + "0.0012" "0.74" "030000" + measured + "001000" "018130" "001420" "101500" "071226" " ";
}

QStringList rowTexts(const QTableWidget *grid, int row)
{
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column)
        texts << grid->item(row, column)->text().trimmed();
    return texts;
}

} // namespace

class TestInventoryGaps : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tanksWithoutReadingAreNamed_data();
    void tanksWithoutReadingAreNamed();

private:
    void reply(const QByteArray &body) { QVERIFY(controller_.writeAndAwaitAck(ScriptedController::frame(body))); }
    void click(const char *button)
    {
        QTest::mouseClick(fixture_->child<QAbstractButton>(QLatin1String(button)), Qt::LeftButton);
    }

    ScriptedController controller_;
    std::unique_ptr<ConsoleFixture> fixture_;
    // The inventory window as it showed: Leitura's rows 1-3, then Inventario's rows with text.
    QStringList shown_;
};

void TestInventoryGaps::init()
{
    QVERIFY(controller_.listen(Address));
    fixture_ = std::make_unique<ConsoleFixture>(QList<ConsoleFixture::Station>{{QStringLiteral("Posto"), Address.toString()}});
    fixture_->pick(0);
    QVERIFY(controller_.accept());
    QTRY_COMPARE(fixture_->text(QStringLiteral("Estado_TCP")), QStringLiteral("Conectado"));

    shown_.clear();
    fixture_->onWindow = [this](QWidget *window) {
        if (window->objectName() == QStringLiteral("Form3")) {
            answerDialog(window, QStringLiteral("Senha"), QStringLiteral("abc"), QStringLiteral("Validar_Senha"));
            return;
        }
        QTimer::singleShot(0, window, [this, window] {
            const auto *leitura = window->findChild<QTableWidget *>(QStringLiteral("Leitura"));
            for (int row = 0; row < 3; ++row)
                shown_ << rowTexts(leitura, row).join(QLatin1Char('|'));
            const auto *totals = window->findChild<QTableWidget *>(QStringLiteral("Inventario"));
            for (int row = 0; row < totals->rowCount(); ++row) {
                if (const QString text = rowTexts(totals, row).join(QLatin1Char('|')); text != QStringLiteral("||"))
                    shown_ << text;
            }
            QTest::mouseClick(window->findChild<QAbstractButton *>(QStringLiteral("Retornar")), Qt::LeftButton);
        });
    };
    QTRY_VERIFY(fixture_->child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    click("Abrir_Conexao");
    QVERIFY(controller_.read(7).contains("ID01"));
    reply("IDA0130");
    QVERIFY(controller_.read(1 + 5 + 2).contains("CFABC"));
    reply("CF030041271" "08");
    QTRY_VERIFY(fixture_->child<QGroupBox>(QStringLiteral("Frame5"))->isEnabled());
}

void TestInventoryGaps::cleanup()
{
    fixture_.reset();
    controller_.close();
}

void TestInventoryGaps::tanksWithoutReadingAreNamed_data()
{
    QTest::addColumn<bool>("measuredBefore");
    QTest::newRow("tanks never read before") << false;
    QTest::newRow("an older reading of tank 2 is not counted") << true;
}

// Tank 2's probe is off-line and tank 3's reply repeats tank 1.
void TestInventoryGaps::tanksWithoutReadingAreNamed()
{
    QFETCH(bool, measuredBefore);
    if (measuredBefore) {
        click("TQ_Ativo_1");
        click("MT_Cmd");
        QVERIFY(controller_.read(7).contains("MT02"));
        reply(measurement("MT", "002", "GASOLINA   ", "005000"));
        QTRY_COMPARE(fixture_->text(QStringLiteral("MT1_Tanque")), QStringLiteral("002"));
    }

    click("IV_Cmd");
    QVERIFY(controller_.read(5).contains("MA"));
    reply(measurement("MA", "001", "GASOLINA   ", "018250"));
    reply("MAEOL");
    reply(measurement("MA", "001", "GASOLINA   ", "018250"));

    QTRY_VERIFY(!shown_.isEmpty());
    const QString incomplete = QStringLiteral("incompleto: tanques 2 e 3 sem leitura||");
    QCOMPARE(shown_, (QStringList{QStringLiteral("001|018250|001000|0.74|GASOLINA|07/12/26|10:15:00"),
                                  QStringLiteral("002|Sonda OFF-LINE ou Inexistente !|||||"),
                                  QStringLiteral("003|Resposta inválida do controlador: resposta MA do tanque 1 "
                                                 "repetida na série|||||"),
                                  QStringLiteral("GASOLINA|18250|1000"), incomplete}));
}

QTEST_MAIN(TestInventoryGaps)
#include "tst_inventory_gaps.moc"
