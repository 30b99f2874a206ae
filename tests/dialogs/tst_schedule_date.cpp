#include "dialogs/schedule_date.h"

#include <QTest>

class ScheduleDateTest : public QObject
{
    Q_OBJECT

private slots:
    void acceptance_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("acceptable");

        QTest::newRow("five digits") << "01020" << false;
        QTest::newRow("six digits") << "010203" << true;
        QTest::newRow("seven digits") << "0102034" << false;
        QTest::newRow("six digits between spaces") << "  010203 " << true;
        QTest::newRow("five digits between spaces") << " 01020 " << false;
        QTest::newRow("slashes count as characters") << "1/2/03" << true;
        QTest::newRow("inner space counts") << "01 203" << true;
        QTest::newRow("tab is not trimmed") << "\t010203" << false;
        QTest::newRow("accented letter is one character") << QString::fromUtf8("0102çã") << true;
        QTest::newRow("empty, nothing typed yet") << "" << false;
        QTest::newRow("only spaces") << "      " << false;
    }

    void acceptance()
    {
        QFETCH(QString, typed);
        QFETCH(bool, acceptable);
        QCOMPARE(isScheduleDateAcceptable(typed), acceptable);
    }
};

QTEST_GUILESS_MAIN(ScheduleDateTest)
#include "tst_schedule_date.moc"
