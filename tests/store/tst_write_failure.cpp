// What the store makes of an engine's error: the operator's reason, and whether the work itself
// is at fault (dropped) or the history is (kept and retried). SQLite's codes and PostgreSQL's
// SQLSTATEs side by side.
#include "store/store_texts.h"
#include "store/write_failure.h"

#include <QtTest>

class TestWriteFailure : public QObject {
    Q_OBJECT

private slots:
    void classified_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("reason");  // a part of it
        QTest::addColumn<bool>("workAtFault");
        QTest::newRow("SQLite, disk full") << "13" << "disco cheio" << false;
        QTest::newRow("SQLite, constraint") << "19" << "erro ao gravar" << true;
        QTest::newRow("SQLite, locked") << "5" << "bloqueado" << false;
        QTest::newRow("PostgreSQL, unique key") << "23505" << "erro ao gravar" << true;
        QTest::newRow("PostgreSQL, check constraint") << "23514" << "erro ao gravar" << true;
        QTest::newRow("PostgreSQL, number out of range") << "22003" << "erro ao gravar" << true;
        QTest::newRow("PostgreSQL, disk full") << "53100" << "disco do servidor cheio" << false;
        QTest::newRow("PostgreSQL, read-only transaction") << "25006" << "somente para leitura" << false;
        QTest::newRow("PostgreSQL, no privilege") << "42501" << "sem permissão" << false;
        QTest::newRow("PostgreSQL, password refused") << "28P01" << "sem permissão" << false;
        QTest::newRow("PostgreSQL, connection lost") << "08006" << "inacessível" << false;
        QTest::newRow("PostgreSQL, server shutting down") << "57P01" << "inacessível" << false;
        // Another transaction won: the same work succeeds when tried again.
        QTest::newRow("PostgreSQL, serialization") << "40001" << "conflito" << false;
        QTest::newRow("no code") << "" << "conflito" << false;
    }
    void classified()
    {
        QFETCH(QString, code);
        QFETCH(QString, reason);
        QFETCH(bool, workAtFault);
        const WriteFailure failure =
            writeFailure(QSqlError(QStringLiteral("driver"), QStringLiteral("conflito"), QSqlError::StatementError, code));
        QVERIFY2(writeFailureText(failure).contains(reason), qPrintable(writeFailureText(failure)));
        QCOMPARE(failure.workAtFault, workAtFault);
    }

    // The server says what went wrong; Qt's driver only that a query failed, in English.
    void serverWordsOnly_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("connection cut") << "57P01";
        QTest::newRow("unique key") << "23505";
    }
    void serverWordsOnly()
    {
        QFETCH(QString, code);
        const WriteFailure failure = writeFailure(QSqlError(QStringLiteral("QPSQL: Unable to create query"),
                                                            QStringLiteral("FATAL:  terminating connection"),
                                                            QSqlError::StatementError, code));
        const QString reason = writeFailureText(failure);
        QVERIFY2(reason.endsWith(QStringLiteral(": FATAL: terminating connection")), qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(TestWriteFailure)
#include "tst_write_failure.moc"
