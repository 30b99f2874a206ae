#include "reports/form5.h"
#include "report_test_support.h"

#include <QTest>

namespace {

ScheduledTable records(int count)
{
    ScheduledTable table;
    for (int k = 0; k < count; ++k)
        table[k] = {"311224", "153000", QString::number(1000 + k), QStringLiteral("0%1").arg(k % 9 + 1)};
    return table;
}

QTableWidget *grid(Form5 &form)
{
    return form.findChild<QTableWidget *>("Resultados_MedProg");
}

int filledRows(Form5 &form)
{
    int filled = 0;
    for (int row = 0; row < grid(form)->rowCount(); ++row) {
        if (rowTexts(grid(form), row) != QStringList(5, QString()))
            filled = row + 1;
    }
    return filled;
}

} // namespace

class Form5Test : public QObject
{
    Q_OBJECT

private slots:
    void caption_data()
    {
        QTest::addColumn<QString>("Data_MedProg");
        QTest::addColumn<QString>("caption");

        QTest::newRow("typed date") << "050124" << "Medições na data 05/01/24";
        QTest::newRow("blank kept") << " 50124" << "Medições na data  5/01/24";
        QTest::newRow("slashes typed") << "1/2/03" << "Medições na data 1//2//03";
        QTest::newRow("spaces around six digits") << " 010203 " << "Medições na data  0/10/20";
        QTest::newRow("short") << "0501" << "Medições na data 05/01/";
    }

    void caption()
    {
        QFETCH(QString, Data_MedProg);
        QFETCH(QString, caption);
        Form5 form(records(1), 1, Data_MedProg);
        QCOMPARE(form.windowTitle(), caption);
    }

    void recordFields_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("shownDate");
        QTest::addColumn<QString>("shownTime");

        QTest::newRow("six digits each") << "311224" << "153000" << "31/12/24" << "15:30:00";
        QTest::newRow("date with a blank first is zero-filled") << " 10125" << "153000" << "01/01/25"
                                                                << "15:30:00";
        QTest::newRow("short date is zero-filled") << "10125" << "090000" << "01/01/25" << "09:00:00";
        QTest::newRow("time with a blank first is not") << "311224" << " 93000" << "31/12/24" << " 9:30:00";
        QTest::newRow("short time ends with its last two") << "311224" << "1530" << "31/12/24" << "15:30:30";
        QTest::newRow("non-numeric date as stored") << "31-12a" << "153000" << "31/-1/2a" << "15:30:00";
        QTest::newRow("empty fields") << "" << "" << "//" << "::";
    }

    void recordFields()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, shownDate);
        QFETCH(QString, shownTime);

        ScheduledTable table;
        table[0] = {date, time, " 12345", "003"};
        Form5 form(table, 1, "311224");
        QCOMPARE(rowTexts(grid(form), 0), QStringList({"1", "003", " 12345", shownDate, shownTime}));
        QCOMPARE(filledRows(form), 1);
    }

    void recordCount_data()
    {
        QTest::addColumn<int>("Num_Medicoes");
        QTest::addColumn<int>("rows");

        QTest::newRow("one") << 1 << 1;
        QTest::newRow("table's capacity") << 101 << 101;
        QTest::newRow("more than the table holds") << 150 << 101;
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("negative") << -4 << 0;
    }

    void recordCount()
    {
        QFETCH(int, Num_Medicoes);
        QFETCH(int, rows);
        const ScheduledTable table = records(101);
        Form5 form(table, Num_Medicoes, "311224");
        QCOMPARE(filledRows(form), rows);
        QCOMPARE(grid(form)->rowCount(), 119);
        for (int k = 1; k <= rows; ++k) {
            QCOMPARE(cellText(grid(form), k - 1, 0), QString::number(k));
            QCOMPARE(cellText(grid(form), k - 1, 1), table[k - 1].tank);
            QCOMPARE(cellText(grid(form), k - 1, 2), table[k - 1].volume);
        }
    }

    void keepsTheRecordsItOpenedWith_data()
    {
        QTest::addColumn<int>("replaced");  // -1: the whole table emptied

        QTest::newRow("a record replaced") << 1;
        QTest::newRow("the table emptied") << -1;
    }

    // A later request's records reach the console's table while the window is open; the window
    // still lists the ones it was opened with.
    void keepsTheRecordsItOpenedWith()
    {
        QFETCH(int, replaced);
        ScheduledTable table = records(3);
        Form5 form(table, 3, "311224");
        QStringList opened;
        for (int row = 0; row < 3; ++row)
            opened << rowTexts(grid(form), row).join('|');

        if (replaced < 0)
            table = {};
        else
            table[std::size_t(replaced)] = {"010125", "080000", "999999", "009"};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QStringList shown;
        for (int row = 0; row < 3; ++row)
            shown << rowTexts(grid(form), row).join('|');
        QCOMPARE(shown, opened);
        QCOMPARE(filledRows(form), 3);
    }

    void printsAsOnePage()
    {
        Form5 form(records(3), 3, "311224");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        verifyPrintsOnePage(&form);
    }
};

QTEST_MAIN(Form5Test)
#include "tst_form5.moc"
