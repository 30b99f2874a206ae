// Every program's --help in Portuguese, Qt's part of it too, whatever the locale (the test runs
// under LANG=C).
#include "tests/support/program_run.h"

#include <QtTest>

class TestProgramHelp : public QObject {
    Q_OBJECT

private slots:
    void portuguese_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("ownText");  // one of the program's option texts
        const QString cli = QStringLiteral(COMZELTA_CLI);
        const QString poll = QStringLiteral(COMZELTA_POLL);
        QTest::newRow("cli") << cli << "--help" << "A senha do controlador: a primeira linha do arquivo.";
        QTest::newRow("cli -h") << cli << "-h" << "[opções] POSTO COMANDO [ARGUMENTO]";
        QTest::newRow("poll") << poll << "--help" << "Espera pela conexão, padrão 5000.";
        QTest::newRow("poll -h") << poll << "-h" << "Postos lidos ao mesmo tempo (padrão: todos).";
        QTest::newRow("simulator") << QStringLiteral(COMZELTA_SIM) << "--help" << "Porta TCP (padrão 4001).";
        QTest::newRow("console") << QStringLiteral(COMZELTA_CONSOLE) << "--help"
                                 << "Diretório de dados (onde fica Configuração.TXT).";
    }
    void portuguese()
    {
        QFETCH(QString, program);
        QFETCH(QString, option);
        QFETCH(QString, ownText);
        ProgramRun run(program, {option});
        QCOMPARE(run.waitForExit(30000), 0);
        // Qt wraps each option's text to its column.
        const QString help = QString::fromUtf8(run.out()).simplified();
        for (const QString &text : {QStringLiteral("Uso: "), QStringLiteral("Opções:"),
                                    QStringLiteral("Mostra a ajuda nas opções da linha de comando."), ownText})
            QVERIFY2(help.contains(text), qPrintable(text + QStringLiteral(" not in:\n") + help));
        // Qt's "--help-all" would say so in English.
        QVERIFY2(!help.contains(QStringLiteral("Displays")), qPrintable(help));
    }
};

QTEST_GUILESS_MAIN(TestProgramHelp)
#include "tst_program_help.moc"
