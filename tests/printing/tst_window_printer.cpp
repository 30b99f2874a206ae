#include "printing/window_printer.h"
#include "tests/support/file_helpers.h"
#include "tests/support/pdf_text.h"

#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A small window with visible content, so its image cannot be a blank page.
class SampleWindow : public QWidget
{
public:
    SampleWindow()
    {
        setWindowTitle(u"Relatório de teste"_qs);
        auto *layout = new QVBoxLayout(this);
        auto *label = new QLabel(QStringLiteral("Tanque 01: 12.500 litros"), this);
        label->setStyleSheet(QStringLiteral("background: rgb(192, 255, 255); color: black;"));
        layout->addWidget(label);
        resize(340, 160);
    }
};

// A report whose grid has numbered rows, the first `filled` of them with a place and a volume.
class GridWindow : public QWidget
{
public:
    GridWindow(int rows, int filled)
        : grid(new QTableWidget(rows, 2, this))
    {
        setWindowTitle(u"Relatório em grade"_qs);
        grid->setHorizontalHeaderLabels({QStringLiteral("Local"), QStringLiteral("Volume")});
        for (int row = 0; row < filled; ++row) {
            grid->setItem(row, 0, new QTableWidgetItem(QStringLiteral("Local %1").arg(1000 + row)));
            grid->setItem(row, 1, new QTableWidgetItem(QString::number(50000 + row)));
        }
        grid->setGeometry(8, 8, 384, 544);
        resize(400, 560);
    }

    QTableWidget *grid;
};

} // namespace

class TestWindowPrinter : public QObject
{
    Q_OBJECT

private slots:
    void pdfHoldsOnePageWithTheWindowText()
    {
        QTemporaryDir dir;
        SampleWindow window;
        window.show();
        const QString path = dir.filePath(QStringLiteral("janela.pdf"));
        QString error;
        QVERIFY2(writeWindowPdf(&window, path, &error), qPrintable(error));
        QVERIFY(readAll(path).startsWith("%PDF"));

        QStringList pages;
        PDF_PAGE_TEXTS(path, pages);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].trimmed(), QStringLiteral("Tanque 01: 12.500 litros"));
    }

    void rowsOutOfSightFollowTheWindow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("filled");
        QTest::addColumn<bool>("scrolledToEnd");
        QTest::addColumn<int>("leastPages");
        QTest::addColumn<int>("mostPages");

        QTest::newRow("every row shows") << 5 << 5 << false << 1 << 1;
        QTest::newRow("rows below the edge") << 30 << 30 << false << 2 << 2;
        QTest::newRow("empty rows below the edge left out") << 30 << 4 << false << 1 << 1;
        QTest::newRow("rows above, scrolled to the end") << 30 << 30 << true << 2 << 2;
        QTest::newRow("rows over several pages") << 300 << 300 << false << 3 << 300;
    }

    void rowsOutOfSightFollowTheWindow()
    {
        QFETCH(int, rows);
        QFETCH(int, filled);
        QFETCH(bool, scrolledToEnd);
        QFETCH(int, leastPages);
        QFETCH(int, mostPages);

        GridWindow window(rows, filled);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (scrolledToEnd)
            window.grid->scrollToBottom();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grade.pdf"));
        QString error;
        QVERIFY2(writeWindowPdf(&window, path, &error), qPrintable(error));

        QStringList pages;
        PDF_PAGE_TEXTS(path, pages);
        QVERIFY2(pages.size() >= leastPages && pages.size() <= mostPages, qPrintable(QString::number(pages.size())));
        for (int page = 1; page < pages.size(); ++page)
            QCOMPARE(pages[page].trimmed().section(QLatin1Char('\n'), 0, 0), u"Relatório em grade (continuação)"_qs);
        // Every filled row is printed once, with its own row number; a row the grid cuts at its edge
        // only on the page that follows. The empty rows are not printed.
        const QString text = pages.join(QLatin1Char('\n'));
        for (int row = 0; row < filled; ++row) {
            const QRegularExpression printed(QStringLiteral("(^|\\n) *%1 +Local %2 +%3\\b")
                                                     .arg(row + 1).arg(1000 + row).arg(50000 + row));
            QVERIFY2(text.count(printed) == 1, qPrintable(printed.pattern() + QLatin1Char('\n') + text));
        }
        if (filled < rows)
            QVERIFY(!text.contains(QRegularExpression(QStringLiteral("(^|\\n) *%1\\b").arg(rows))));
    }

    void unwritablePdfPathIsReported()
    {
        QTemporaryDir dir;
        SampleWindow window;
        const QString path = dir.filePath(QStringLiteral("falta/janela.pdf"));
        QString error;
        QVERIFY(!writeWindowPdf(&window, path, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestWindowPrinter)
#include "tst_window_printer.moc"
