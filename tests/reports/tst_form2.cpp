#include "reports/form2.h"
#include "reports/tank_drawing.h"
#include "report_test_support.h"

#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <limits>

namespace {

const QStringList FourTanksTwoProducts{"01;1000;500;GASOLINA", "02;2000;100;DIESEL", "03;300;50;GASOLINA",
                                       "04;4;1;GASOLINA"};

QTableWidget *grid(Form2 &form, const char *name)
{
    return form.findChild<QTableWidget *>(name);
}

QGroupBox *panel(Form2 &form, int tank)
{
    return form.findChild<QGroupBox *>(QStringLiteral("Frame1_%1").arg(tank - 1));
}

QList<int> shownPanels(Form2 &form)
{
    QList<int> tanks;
    for (int tank = 1; tank <= 16; ++tank) {
        if (!panel(form, tank)->isHidden())
            tanks << tank;
    }
    return tanks;
}

QStringList gridTexts(const QTableWidget *grid)
{
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row)
        texts << rowTexts(grid, row).join('|');
    return texts;
}

// Everything the window shows, for comparing one build with another.
QStringList content(Form2 &form)
{
    QStringList texts = gridTexts(grid(form, "Leitura")) + gridTexts(grid(form, "Inventario"));
    texts << form.findChild<QGroupBox *>("Frame3")->title();
    for (int tank = 1; tank <= 16; ++tank) {
        QGroupBox *p = panel(form, tank);
        texts << QStringLiteral("%1 %2 %3 %4")
                         .arg(p->title(), p->findChild<QLineEdit *>("Percentual")->text())
                         .arg(p->isHidden())
                         .arg(p->findChild<TankDrawing *>()->alturaLiquido());
    }
    return texts;
}

} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

private:
    QLocale m_savedLocale;

private slots:
    void init()
    {
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void cleanup()
    {
        QLocale::setDefault(m_savedLocale);
    }

    void inventory_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<double>("Num_Tanques");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QStringList>("totals");

        QTest::newRow("first product in tanks 1, 3 and 4")
                << FourTanksTwoProducts << 4.0 << QList<int>{1, 2, 3, 4}
                << QStringList{"GASOLINA|1304|551", "DIESEL|2000|100"};
        QTest::newRow("tank beyond the count left out")
                << QStringList{"1;100;10;ALCOOL", "2;1;1;ALCOOL", "", "", "5;999;9;ALCOOL"} << 4.0
                << QList<int>{1, 2} << QStringList{"ALCOOL|101|11"};
        QTest::newRow("no configuration yet") << FourTanksTwoProducts << 0.0 << QList<int>{} << QStringList{};
        QTest::newRow("negative count") << FourTanksTwoProducts << -3.0 << QList<int>{} << QStringList{};
        QTest::newRow("unreadable count") << FourTanksTwoProducts << std::numeric_limits<double>::quiet_NaN()
                                          << QList<int>{} << QStringList{};
        QTest::newRow("trailing blanks make two products")
                << QStringList{"1;100;10;GASOLINA", "2;200;20;GASOLINA   "} << 2.0 << QList<int>{1, 2}
                << QStringList{"GASOLINA|100|10", "GASOLINA   |200|20"};
        QStringList tenTanks, nineProducts;
        for (int tank = 1; tank <= 10; ++tank)
            tenTanks << QStringLiteral("%1;%1;1;P%2").arg(tank).arg(qMin(tank, 9));
        for (int product = 1; product <= 8; ++product)
            nineProducts << QStringLiteral("P%1|%1|1").arg(product);
        nineProducts << "P9|19|2";
        QTest::newRow("ninth product gets a row")
                << tenTanks << 10.0 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << nineProducts;
    }

    void inventory()
    {
        QFETCH(QStringList, readings);
        QFETCH(double, Num_Tanques);
        QFETCH(QList<int>, shown);
        QFETCH(QStringList, totals);

        const TankTable table = tankTable(readings);
        Form2 form(table, Num_Tanques, "Posto Central");
        form.show();
        QCOMPARE(form.findChild<QGroupBox *>("Frame3")->title(),
                 QString("Volume nos Tanques do Posto > Posto Central"));
        QCOMPARE(shownPanels(form), shown);
        for (int tank = 1; tank <= 16; ++tank) {
            const TankReading expected = shown.contains(tank) ? table[tank] : TankReading{};
            QCOMPARE(rowTexts(grid(form, "Leitura"), tank - 1), QStringList(expected.begin(), expected.end()));
        }
        // The design's eight product rows stay, empty below the last product.
        while (totals.size() < 8)
            totals << "||";
        QCOMPARE(gridTexts(grid(form, "Inventario")), totals);
    }

    void percentage_data()
    {
        QTest::addColumn<QString>("measured");
        QTest::addColumn<QString>("complementary");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("percentual");
        QTest::addColumn<double>("cover");

        const QLocale point(QLocale::English, QLocale::UnitedStates);
        const QLocale comma(QLocale::Portuguese, QLocale::Brazil);
        QTest::newRow("three quarters") << "750" << "250" << point << "75.%" << 213.75;
        QTest::newRow("two thirds, comma draws 66") << "2000" << "1000" << comma << "66,67%" << 290.7;
        QTest::newRow("empty tank") << "0" << "250" << point << "0.%" << 855.0;
        QTest::newRow("no volume drawn empty") << "0" << "0" << comma << "" << 855.0;
    }

    void percentage()
    {
        QFETCH(QString, measured);
        QFETCH(QString, complementary);
        QFETCH(QLocale, locale);
        QFETCH(QString, percentual);
        QFETCH(double, cover);
        QLocale::setDefault(locale);

        Form2 form(tankTable({"1;" + measured + ';' + complementary + ";ALCOOL"}), 1, "Posto");
        form.show();
        QGroupBox *p = panel(form, 1);
        QVERIFY(!p->isHidden());
        QCOMPARE(p->findChild<QLineEdit *>("Percentual")->text(), percentual);
        QCOMPARE(p->findChild<TankDrawing *>()->alturaLiquido(), cover);
    }

    void panelCaptionsWithoutLeadingZeros_data()
    {
        QTest::addColumn<int>("tank");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("caption");

        QTest::newRow("seventh, padded") << 7 << "007" << "Tanque No. 7";
        QTest::newRow("twelfth, blank first") << 12 << " 12" << "Tanque No. 12";
        QTest::newRow("sixteenth") << 16 << "016" << "Tanque No. 16";
    }

    void panelCaptionsWithoutLeadingZeros()
    {
        QFETCH(int, tank);
        QFETCH(QString, number);
        QFETCH(QString, caption);

        QStringList readings(tank);
        readings[tank - 1] = number + ";100;100;ALCOOL";
        Form2 form(tankTable(readings), 16, "Posto");
        form.show();
        QCOMPARE(shownPanels(form), QList<int>{tank});
        QCOMPARE(panel(form, tank)->title(), caption);
        QCOMPARE(cellText(grid(form, "Leitura"), tank - 1, 0), number);
    }

    void reactivationRebuildsIdenticalContent()
    {
        Form2 form(tankTable(FourTanksTwoProducts), 4, "Posto Central");
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QStringList built = content(form);

        grid(form, "Leitura")->item(0, 1)->setText("x");
        grid(form, "Inventario")->item(1, 0)->setText("y");
        panel(form, 2)->hide();
        QVERIFY(content(form) != built);

        // Another window of the console closes over it and the inventory is active again.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.close();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(content(form), built);
    }

    void retornarCloses()
    {
        Form2 form(tankTable(FourTanksTwoProducts), 4, "Posto");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.findChild<QPushButton *>("Retornar"), Qt::LeftButton);
        QVERIFY(form.isHidden());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void printsAsOnePage()
    {
        Form2 form(tankTable(FourTanksTwoProducts), 4, "Posto");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The drawn tanks are part of the window's image.
        const QImage image = form.grab().toImage();
        const QRect tank = panel(form, 1)->findChild<TankDrawing *>()->geometry().translated(panel(form, 1)->pos());
        QCOMPARE(image.pixelColor(tank.center().x(), tank.bottom() - 2), QColor(255, 224, 192));
        verifyPrintsOnePage(&form);
    }
};

QTEST_MAIN(Form2Test)
#include "tst_form2.moc"
