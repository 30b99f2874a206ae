#include "simulated_console.h"

#include "widgets/brazilian_locale.h"

#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

// The console run under an English or C locale (CTest sets LANG and LC_ALL to C) still writes
// its numbers and dates as Brazilians read them, in its panels and in the inventory window.
namespace {

const QString Address = QStringLiteral("127.0.0.225");

} // namespace

class TestInterfaceLocale : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QLocale::system().name(), QStringLiteral("C"));
        useBrazilianLocale();  // as main() does
    }

    void numbersAndDatesOnScreen_data()
    {
        QTest::addColumn<int>("measured");
        QTest::addColumn<QString>("percent");
        QTest::newRow("two thirds") << 2000 << QStringLiteral("66,67%");
        QTest::newRow("whole") << 1500 << QStringLiteral("50,%");
    }
    void numbersAndDatesOnScreen()
    {
        QFETCH(int, measured);
        QFETCH(QString, percent);
        SimulatedStation station;
        station.tanks[1] = simpleTank("GASOLINA", 3000, measured);
        station.clock.set(QDateTime(QDate(2024, 2, 1), QTime(10, 30)));
        SimulatedConsole sim(Address, station);
        QString inventoryPanel, inventoryDate;
        sim.fixture().onWindow = [&](QWidget *window) {
            if (window->objectName() != QStringLiteral("Form2"))
                return;
            QTimer::singleShot(0, window, [&, window] {
                inventoryPanel = window->findChild<QGroupBox *>(QStringLiteral("Frame1_0"))
                                         ->findChild<QLineEdit *>(QStringLiteral("Percentual"))->text();
                inventoryDate = window->findChild<QTableWidget *>(QStringLiteral("Leitura"))->item(0, 5)->text();
                window->close();
            });
        };
        QVERIFY(sim.openDialogue());
        sim.click(QStringLiteral("TQ_Ativo_0"));
        sim.click(QStringLiteral("MT_Cmd"));
        QTRY_COMPARE(sim.fixture().text(QStringLiteral("Percentual")), percent);
        QTRY_COMPARE(sim.fixture().child<QLabel>(QStringLiteral("Data"))->text(),
                     QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));

        sim.click(QStringLiteral("IV_Cmd"));
        QTRY_COMPARE(inventoryPanel, percent);
        QCOMPARE(inventoryDate, QStringLiteral("01/02/24"));
    }
};

QTEST_MAIN(TestInterfaceLocale)
#include "tst_interface_locale.moc"
