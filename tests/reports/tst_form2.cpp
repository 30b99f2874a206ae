#include "reports/form2.h"
#include "reports/tank_drawing.h"
#include "report_test_support.h"
#include "tests/support/pdf_text.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <limits>

using FailedTanks = QMap<int, QString>;

namespace {

const QStringList FourTanksTwoProducts{"01;1000;500;GASOLINA", "02;2000;100;DIESEL", "03;300;50;GASOLINA",
                                       "04;4;1;GASOLINA"};

// Full product fields that differ only at their end.
const QStringList FourteenProducts{"GASOLINA AD", "GASOLINA CM", "GASOLINA PR", "DIESEL S10 ", "DIESEL S500",
                                   "DIESEL MARI", "QUEROSENE A", "QUEROSENE I", "ETANOL HIDR", "ETANOL ANID",
                                   "BIODIESEL B", "ARLA 32 GRN", "GNV VEICULA", "OLEO LUBRIF"};

// Tanks 1, 2 ... holding the products in turn, each with the given volumes.
QStringList tanksHolding(const QStringList &products, const QString &volumes = "018250;011750")
{
    QStringList readings;
    for (int i = 0; i < products.size(); ++i)
        readings << QStringLiteral("%1;%2;%3").arg(i + 1, 3, 10, QLatin1Char('0')).arg(volumes, products[i]);
    return readings;
}

// The readings the console keeps, alive as long as the window that reads them.
struct Inventory
{
    Inventory(const QStringList &readings, double tanks, const QString &station = "Posto",
              const QMap<int, QString> &failures = {})
    {
        keepReadings(kept, readings, tanks, station, failures);
    }

    StationReadings kept;
    Form2 form{kept};
};

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

// The totals grid's rows: the design's eight stay, empty below the last text.
QStringList designRows(QStringList totals)
{
    while (totals.size() < 8)
        totals << "||";
    return totals;
}

// Everything the window shows, for comparing one build with another.
QStringList content(Form2 &form)
{
    QStringList texts = gridTexts(grid(form, "Leitura")) + gridTexts(grid(form, "Inventario"));
    texts << form.findChild<QGroupBox *>("Frame3")->title();
    // A hidden panel keeps what it showed last; only its being hidden counts.
    for (int tank = 1; tank <= 16; ++tank) {
        QGroupBox *p = panel(form, tank);
        texts << (p->isHidden() ? QStringLiteral("oculto")
                                : QStringLiteral("%1 %2 %3")
                                          .arg(p->title(), p->findChild<QLineEdit *>("Percentual")->text())
                                          .arg(p->findChild<TankDrawing *>()->alturaLiquido()));
    }
    return texts;
}

QStringList shownContent(const QStringList &readings, double tanks, const QString &station)
{
    Inventory inventory(readings, tanks, station);
    inventory.form.show();
    return content(inventory.form);
}

// Another window of the console closes over the inventory, which becomes active again.
bool reactivate(Form2 &form)
{
    QWidget other;
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other))
        return false;
    other.close();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

// The width the style gives a cell showing the text on one line, the grid line included.
int cellWidth(const QTableWidget *grid, const QString &text)
{
    QStyleOptionViewItem option;
    option.initFrom(grid);
    option.font = grid->font();
    option.fontMetrics = QFontMetrics(grid->font());
    option.text = text;
    option.features = QStyleOptionViewItem::HasDisplay;
    option.displayAlignment = Qt::AlignCenter;
    return grid->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), grid).width()
            + (grid->showGrid() ? 1 : 0);
}

// Every header and cell text of the grid shows whole, without scrolling sideways.
void verifyTextsShowWhole(QTableWidget *grid)
{
    QVERIFY2(grid->horizontalHeader()->length() <= grid->viewport()->width(), grid->objectName().toLatin1());
    QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
    for (int column = 0; column < grid->columnCount(); ++column) {
        const int width = grid->columnWidth(column);
        QVERIFY(grid->horizontalHeader()->sectionSizeHint(column) <= width);
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QString text = cellText(grid, row, column);
            QVERIFY2(cellWidth(grid, text) <= width,
                     qPrintable(QStringLiteral("%1: \"%2\" in %3 px").arg(grid->objectName(), text).arg(width)));
        }
    }
}

// The window shown and printed to a PDF, read back page by page; no pages when that failed or the
// reader is missing (the test is then failed or skipped).
void printPages(Form2 &form, QStringList &pageTexts)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTemporaryDir dir;
    const QString path = dir.filePath("inventario.pdf");
    QString error;
    QVERIFY2(writeWindowPdf(&form, path, &error), qPrintable(error));
    PDF_PAGE_TEXTS(path, pageTexts);
}

// How often the text stands alone, between blanks or line ends.
int occurrences(const QString &pageText, const QString &text)
{
    const QRegularExpression whole(QStringLiteral("(?<!\\S)%1(?!\\S)").arg(QRegularExpression::escape(text)));
    return int(pageText.count(whole));
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

        Inventory inventory(readings, Num_Tanques, "Posto Central");
        Form2 &form = inventory.form;
        form.show();
        QCOMPARE(form.findChild<QGroupBox *>("Frame3")->title(),
                 QString("Volume nos Tanques do Posto > Posto Central"));
        QCOMPARE(shownPanels(form), shown);
        for (int tank = 1; tank <= 16; ++tank) {
            const QStringList expected = shown.contains(tank) ? shownRow(readings[tank - 1]) : QStringList(7, QString());
            QCOMPARE(rowTexts(grid(form, "Leitura"), tank - 1), expected);
        }
        QCOMPARE(gridTexts(grid(form, "Inventario")), designRows(totals));
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

        Inventory inventory({"1;" + measured + ';' + complementary + ";ALCOOL"}, 1);
        Form2 &form = inventory.form;
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
        Inventory inventory(readings, 16);
        Form2 &form = inventory.form;
        form.show();
        QCOMPARE(shownPanels(form), QList<int>{tank});
        QCOMPARE(panel(form, tank)->title(), caption);
        QCOMPARE(cellText(grid(form, "Leitura"), tank - 1, 0), number);
    }

    void reactivationRebuildsIdenticalContent()
    {
        Inventory inventory(FourTanksTwoProducts, 4, "Posto Central");
        Form2 &form = inventory.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QStringList built = content(form);

        grid(form, "Leitura")->item(0, 1)->setText("x");
        grid(form, "Inventario")->item(1, 0)->setText("y");
        panel(form, 2)->hide();
        QVERIFY(content(form) != built);

        QVERIFY(reactivate(form));
        QCOMPARE(content(form), built);
    }

    void rebuiltFromTheLiveTable_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<double>("Num_Tanques");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("laterReadings");
        QTest::addColumn<double>("laterNum_Tanques");
        QTest::addColumn<QString>("laterStation");

        const QStringList firstTwo = FourTanksTwoProducts.mid(0, 2);
        QTest::newRow("a tank read while open")
                << firstTwo << 3.0 << "Posto Centro" << FourTanksTwoProducts.mid(0, 3) << 3.0 << "Posto Centro";
        QTest::newRow("a reading replaced")
                << firstTwo << 2.0 << "Posto Centro" << QStringList{"01;1500;0;ETANOL", firstTwo[1]} << 2.0
                << "Posto Centro";
        QTest::newRow("fewer tanks configured")
                << FourTanksTwoProducts << 4.0 << "Posto Centro" << FourTanksTwoProducts << 2.0 << "Posto Centro";
        QTest::newRow("another station, nothing read yet")
                << FourTanksTwoProducts << 4.0 << "Posto Centro" << QStringList{} << 0.0
                << "Posto Rodovia São João";
    }

    void rebuiltFromTheLiveTable()
    {
        QFETCH(QStringList, readings);
        QFETCH(double, Num_Tanques);
        QFETCH(QString, station);
        QFETCH(QStringList, laterReadings);
        QFETCH(double, laterNum_Tanques);
        QFETCH(QString, laterStation);

        Inventory live(readings, Num_Tanques, station);
        live.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&live.form));
        QCOMPARE(content(live.form), shownContent(readings, Num_Tanques, station));

        // Replies and a change of station reach the console's readings while the window is open.
        keepReadings(live.kept, laterReadings, laterNum_Tanques, laterStation);
        QVERIFY(reactivate(live.form));
        QCOMPARE(content(live.form), shownContent(laterReadings, laterNum_Tanques, laterStation));
    }

    void productNamesShowWhole_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<bool>("fontNarrows");

#ifdef Q_OS_WIN
        // The Windows styles' wider cell margins leave the longest of these names no room at the
        // window's font.
        const bool fourteenNarrow = true;
#else
        const bool fourteenNarrow = false;
#endif
        QTest::newRow("fourteen products, totals scrolled") << tanksHolding(FourteenProducts) << fourteenNarrow;
        QTest::newRow("totals in the millions beside the scroll bar narrow the font")
                << tanksHolding(FourteenProducts + FourteenProducts.mid(0, 2), "999999;999999") << true;
        QTest::newRow("widest letters narrow the font")
                << tanksHolding({"WWWWWWWWWWW", "MMMMMMMMMMM", "DIESEL S500"}) << true;
        QTest::newRow("short names, the window's font") << FourTanksTwoProducts << false;
    }

    void productNamesShowWhole()
    {
        QFETCH(QStringList, readings);
        QFETCH(bool, fontNarrows);

        Inventory inventory(readings, readings.size());
        inventory.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&inventory.form));
        QCoreApplication::processEvents();
        const qreal windowPoints = inventory.form.font().pointSizeF();
        qreal smallest = windowPoints;
        for (const char *name : {"Leitura", "Inventario"}) {
            QTableWidget *g = grid(inventory.form, name);
            verifyTextsShowWhole(g);
            if (QTest::currentTestFailed())
                return;
            smallest = qMin(smallest, g->font().pointSizeF());
        }
        QCOMPARE(smallest < windowPoints, fontNarrows);
        QVERIFY(smallest >= 6);
    }

    void printedPdfHoldsEveryProduct_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<int>("pages");

        QTest::newRow("four products, one page")
                << tanksHolding({"GASOLINA AD", "DIESEL S10 ", "DIESEL S500", "QUEROSENE A"}) << 1;
        QTest::newRow("fourteen products, rows beyond the eighth on a second page")
                << tanksHolding(FourteenProducts) << 2;
        QTest::newRow("sixteen tanks, fourteen products")
                << tanksHolding(FourteenProducts + FourteenProducts.mid(4, 2), "999999;999999") << 2;
    }

    void printedPdfHoldsEveryProduct()
    {
        QFETCH(QStringList, readings);
        QFETCH(int, pages);

        Inventory inventory(readings, readings.size(), "Posto Centro");
        QStringList pageTexts;
        printPages(inventory.form, pageTexts);
        if (pageTexts.isEmpty())
            return;
        QCOMPARE(pageTexts.size(), pages);
        if (pages > 1)
            QCOMPARE(pageTexts[1].trimmed().section('\n', 0, 0), QString("Inventário de Produtos (continuação)"));
        const QString text = pageTexts.join('\n');
        QVERIFY(!text.contains(QChar(0x2026)));
        // Each product stands in the row of every tank holding it, and once more in the totals.
        const TankTable &table = inventory.kept.tanks();
        for (const QString &product : FourteenProducts) {
            const int tanks = int(std::count_if(table.begin(), table.end(),
                                                [&](const TankReading &r) { return r.product == product; }));
            if (tanks > 0)
                QVERIFY2(occurrences(text, product.trimmed()) >= tanks + 1, qPrintable(product + "\n" + text));
        }
    }

    void tanksWithoutReading_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<FailedTanks>("failures");
        QTest::addColumn<QStringList>("rows");  // Leitura's rows of the failed tanks
        QTest::addColumn<QStringList>("totals");

        const QString offLine = QStringLiteral("Sonda OFF-LINE ou Inexistente !");
        const QString unusable = QStringLiteral("Resposta inválida do controlador: resposta MA do tanque 2 repetida na série");
        QStringList withoutThird = FourTanksTwoProducts;
        withoutThird[2].clear();
        QTest::newRow("tank 3 off-line")
                << withoutThird << FailedTanks{{3, offLine}} << QStringList{"003|" + offLine + "|||||"}
                << QStringList{"GASOLINA|1004|501", "incompleto: tanque 3 sem leitura||", "DIESEL|2000|100",
                               "incompleto: tanque 3 sem leitura||"};
        QTest::newRow("tanks 3 and 4, one of them unusable")
                << FourTanksTwoProducts.mid(0, 2) << FailedTanks{{3, offLine}, {4, unusable}}
                << QStringList{"003|" + offLine + "|||||", "004|" + unusable + "|||||"}
                << QStringList{"GASOLINA|1000|500", "incompleto: tanques 3 e 4 sem leitura||", "DIESEL|2000|100",
                               "incompleto: tanques 3 e 4 sem leitura||"};
        QTest::newRow("a tank past the count is no part of it")
                << FourTanksTwoProducts << FailedTanks{{5, offLine}} << QStringList{"||||||"}
                << QStringList{"GASOLINA|1304|551", "DIESEL|2000|100"};
    }

    void tanksWithoutReading()
    {
        QFETCH(QStringList, readings);
        QFETCH(FailedTanks, failures);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, totals);

        Inventory inventory(readings, 4, "Posto Centro", failures);
        Form2 &form = inventory.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTableWidget *leitura = grid(form, "Leitura");
        const QList<int> failed = failures.keys();
        for (int i = 0; i < failed.size(); ++i) {
            const int row = failed[i] - 1;
            QCOMPARE(rowTexts(leitura, row).join('|'), rows[i]);
            if (rows[i].startsWith('|'))
                continue;
            // The reason shows whole, across the columns of the reading it stands for.
            QCOMPARE(leitura->columnSpan(row, 1), 6);
            QVERIFY(leitura->visualRect(leitura->model()->index(row, 1)).width()
                    >= cellWidth(leitura, cellText(leitura, row, 1)));
        }
        QVERIFY(std::none_of(failed.begin(), failed.end(), [&](int tank) { return shownPanels(form).contains(tank); }));
        QCOMPARE(gridTexts(grid(form, "Inventario")), designRows(totals));
    }

    void printedPdfMarksIncompleteTotals_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("totals");

        QStringList fourProducts = tanksHolding({"GASOLINA AD", "DIESEL S10 ", "DIESEL S500", "QUEROSENE A", ""});
        fourProducts.last().clear();
        QTest::newRow("four totals, one page") << fourProducts << 1 << 4;
        QStringList fiveProducts = tanksHolding(FourteenProducts.mid(0, 6));
        fiveProducts.last().clear();
        QTest::newRow("five totals, the fifth and its mark on a second page") << fiveProducts << 2 << 5;
    }

    // The last tank gave no reading: its row and every total's mark are printed whole.
    void printedPdfMarksIncompleteTotals()
    {
        QFETCH(QStringList, readings);
        QFETCH(int, pages);
        QFETCH(int, totals);

        const int failed = int(readings.size());
        const QString reason = QStringLiteral("Sonda OFF-LINE ou Inexistente !");
        Inventory inventory(readings, failed, "Posto Centro", {{failed, reason}});
        QStringList pageTexts;
        printPages(inventory.form, pageTexts);
        if (pageTexts.isEmpty())
            return;
        QCOMPARE(pageTexts.size(), pages);
        const QString text = pageTexts.join('\n');
        QCOMPARE(text.count(reason), 1);
        const QString mark = QStringLiteral("incompleto: tanque %1 sem leitura").arg(failed);
        QCOMPARE(text.count(mark), totals);
        if (pages > 1)
            QCOMPARE(pageTexts[1].count(mark), 1);
    }

    void retornarCloses()
    {
        Inventory inventory(FourTanksTwoProducts, 4);
        Form2 &form = inventory.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.findChild<QPushButton *>("Retornar"), Qt::LeftButton);
        QVERIFY(form.isHidden());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void printsAsOnePage()
    {
        Inventory inventory(FourTanksTwoProducts, 4);
        Form2 &form = inventory.form;
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
