// The one way the programs read their command lines: the first problem as written, in the words
// the programs have always used, and whole numbers in a range.
#include "process/command_line.h"
#include "process/duration.h"
#include "process/whole_number.h"

#include <QCommandLineParser>
#include <QtTest>

Q_DECLARE_METATYPE(Positionals)
Q_DECLARE_METATYPE(DurationProblem)

namespace {

const QCommandLineOption File(QStringLiteral("file"), QStringLiteral("Um arquivo."), QStringLiteral("ARQUIVO"));
const QCommandLineOption Flag(QStringLiteral("flag"), QStringLiteral("Uma chave."));

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void problems_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Positionals>("positionals");
        QTest::addColumn<QString>("problem");  // empty: read
        const Positionals taken = Positionals::Taken;
        const Positionals refused = Positionals::Refused;
        QTest::newRow("options and words") << QStringList{"--file", "a", "Posto", "--flag", "-"} << taken << "";
        QTest::newRow("option=value") << QStringList{"--file=a=b"} << refused << "";
        QTest::newRow("a value that looks like an option") << QStringList{"--file", "--bogus"} << refused << "";
        QTest::newRow("after --, words") << QStringList{"--", "--bogus", "-x"} << taken << "";
        QTest::newRow("help, the rest unread") << QStringList{"-h", "--bogus", "--file"} << refused << "";
        QTest::newRow("unknown") << QStringList{"--bogus"} << taken << "opção desconhecida: \"--bogus\"";
        QTest::newRow("unknown, its value left out") << QStringList{"--bogus=1"} << taken
                                                     << "opção desconhecida: \"--bogus\"";
        QTest::newRow("unknown short") << QStringList{"-x"} << taken << "opção desconhecida: \"-x\"";
        QTest::newRow("a long name after one dash") << QStringList{"-flag"} << taken << "opção desconhecida: \"-flag\"";
        QTest::newRow("a short name after two dashes") << QStringList{"--h"} << taken << "opção desconhecida: \"--h\"";
        QTest::newRow("value missing") << QStringList{"--flag", "--file"} << taken
                                       << "a opção --file precisa de um valor";
        QTest::newRow("an option after a word") << QStringList{"Posto", "clock", "--file"} << taken
                                                << "a opção --file precisa de um valor";
        QTest::newRow("value to a flag") << QStringList{"--flag=sim"} << taken << "a opção --flag não leva valor";
        QTest::newRow("the first as written") << QStringList{"--flag=sim", "--bogus", "--file"} << taken
                                              << "a opção --flag não leva valor";
        QTest::newRow("before the help") << QStringList{"--bogus", "--help"} << taken
                                         << "opção desconhecida: \"--bogus\"";
        QTest::newRow("a word refused") << QStringList{"--flag", "Posto Centro"} << refused
                                        << "argumento inesperado: \"Posto Centro\"";
        QTest::newRow("-- refused") << QStringList{"--"} << refused << "argumento inesperado: \"--\"";
        QTest::newRow("- refused") << QStringList{"-"} << refused << "argumento inesperado: \"-\"";
        QTest::newRow("one dash, no words taken") << QStringList{"-x"} << refused << "argumento inesperado: \"-x\"";
    }
    void problems()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Positionals, positionals);
        QFETCH(QString, problem);
        QCommandLineParser parser;
        const Result<void, CommandLineProblem> read =
            readCommandLine(parser, {helpOption(), File, Flag}, arguments, positionals);
        QCOMPARE(read ? QString() : problemText(read.error()), problem);
    }

    // What passes reaches Qt's parser whole.
    void values()
    {
        QCommandLineParser parser;
        QVERIFY(readCommandLine(parser, {helpOption(), File, Flag},
                                {"Posto", "--file", "-", "--", "--flag"}, Positionals::Taken));
        QCOMPARE(parser.value(File), QStringLiteral("-"));
        QVERIFY(!parser.isSet(Flag));
        QCOMPARE(parser.positionalArguments(), (QStringList{"Posto", "--flag"}));
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("problem");  // empty: read
        const auto refused = [](const char *text) {
            return QStringLiteral("valor inválido para --retries: \"%1\" (número inteiro de 0 a 20)")
                .arg(QString::fromUtf8(text));
        };
        QTest::newRow("absent: the default") << QStringList{} << 2 << "";
        QTest::newRow("lowest") << QStringList{"--retries", "0"} << 0 << "";
        QTest::newRow("highest") << QStringList{"--retries=20"} << 20 << "";
        QTest::newRow("below") << QStringList{"--retries", "-1"} << 0 << refused("-1");
        QTest::newRow("above") << QStringList{"--retries", "21"} << 0 << refused("21");
        QTest::newRow("beyond an int") << QStringList{"--retries", "4294967296"} << 0 << refused("4294967296");
        QTest::newRow("not a number") << QStringList{"--retries", "dois"} << 0 << refused("dois");
        QTest::newRow("a fraction") << QStringList{"--retries", "1.5"} << 0 << refused("1.5");
        QTest::newRow("an exponent") << QStringList{"--retries", "1e1"} << 0 << refused("1e1");
        QTest::newRow("empty") << QStringList{"--retries="} << 0 << refused("");
        QTest::newRow("only blanks") << QStringList{"--retries", "  "} << 0 << refused("  ");
        // As Qt reads an int, and as the options have always been read.
        QTest::newRow("leading +") << QStringList{"--retries", "+5"} << 5 << "";
        QTest::newRow("blanks around") << QStringList{"--retries", " 7 "} << 7 << "";
        QTest::newRow("blank inside") << QStringList{"--retries", "1 0"} << 0 << refused("1 0");
    }
    void wholeNumbers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, value);
        QFETCH(QString, problem);
        const QCommandLineOption retries = wholeNumberOption(QStringLiteral("retries"),
                                                             QStringLiteral("Novas tentativas, padrão %1."),
                                                             QStringLiteral("N"), 2);
        QCOMPARE(retries.description(), QStringLiteral("Novas tentativas, padrão 2."));
        QCommandLineParser parser;
        QVERIFY(readCommandLine(parser, {retries}, arguments, Positionals::Refused));
        const Result<int, CommandLineProblem> read = readWholeNumber(parser, retries, 0, 20);
        QCOMPARE(read ? QString() : problemText(read.error()), problem);
        if (read)
            QCOMPARE(*read, value);
    }

    void durations_data()
    {
        QTest::addColumn<QString>("text");  // seconds, at most a day
        QTest::addColumn<int>("ms");        // -1: refused
        QTest::addColumn<DurationProblem>("problem");
        const DurationProblem none = DurationProblem::NotANumber;
        QTest::newRow("whole") << "10" << 10000 << none;
        QTest::newRow("fraction") << "0.25" << 250 << none;
        QTest::newRow("rounded") << "0.0015" << 2 << none;
        QTest::newRow("never 0 ms") << "0.0001" << 1 << none;
        QTest::newRow("the longest") << "86400" << 86400000 << none;
        QTest::newRow("zero") << "0" << -1 << DurationProblem::NotPositive;
        QTest::newRow("negative") << "-1" << -1 << DurationProblem::NotPositive;
        QTest::newRow("beyond the longest") << "86400.5" << -1 << DurationProblem::TooLong;
        QTest::newRow("decimal comma") << "0,5" << -1 << DurationProblem::NotANumber;
        QTest::newRow("nan") << "nan" << -1 << DurationProblem::NotANumber;
        QTest::newRow("infinite") << "inf" << -1 << DurationProblem::NotANumber;
        QTest::newRow("empty") << "" << -1 << DurationProblem::NotANumber;
    }
    void durations()
    {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QFETCH(DurationProblem, problem);
        const Result<int, DurationProblem> read = durationMs(text, 1000, 86400);
        QCOMPARE(read ? *read : -1, ms);
        if (!read)
            QCOMPARE(read.error(), problem);
    }

    // A default may stand for "none", outside the range the option takes.
    void defaultOutsideTheRange()
    {
        const QCommandLineOption parallel = wholeNumberOption(QStringLiteral("parallel"), QStringLiteral("Postos."),
                                                              QStringLiteral("N"), 0);
        QCommandLineParser parser;
        QVERIFY(readCommandLine(parser, {parallel}, {}, Positionals::Refused));
        const Result<int, CommandLineProblem> read = readWholeNumber(parser, parallel, 1, 100000);
        QVERIFY(read);
        QCOMPARE(*read, 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
