// The INI line reader shared by the station, alarm and password files: what the files' own tests
// do not reach.
#include "codec/ini_text.h"

#include <QTest>

namespace {

// "4 [section]", "6 key | value", "2 ?" for a line that is neither.
QStringList described(const QList<IniLine> &lines)
{
    QStringList texts;
    for (const IniLine &line : lines) {
        switch (line.kind) {
        case IniLine::Kind::Section:
            texts << QStringLiteral("%1 [%2]").arg(line.number).arg(line.name);
            break;
        case IniLine::Kind::Entry:
            texts << QStringLiteral("%1 %2 | %3").arg(line.number).arg(line.name, line.value);
            break;
        case IniLine::Kind::Malformed:
            texts << QStringLiteral("%1 ?").arg(line.number);
            break;
        }
    }
    return texts;
}

} // namespace

class TestIniText : public QObject {
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CRLF line ends") << "[geral]\r\nsenha = Abc\r\n" << QStringList{"1 [geral]", "2 senha | Abc"};
        // A password may hold '='.
        QTest::newRow("value holding '='") << "[postos]\nPosto A = a=b =c\n"
                                           << QStringList{"1 [postos]", "2 Posto A | a=b =c"};
        QTest::newRow("numbers count blank and comment lines") << "\n# um\n   ; dois\n[s]\n\t\nk = v"
                                                               << QStringList{"4 [s]", "6 k | v"};
        QTest::newRow("case and inner blanks as written")
            << "[ Tanque  Norte 2 ]\nNível  Baixo = Gasolina  C\n"
            << QStringList{"1 [Tanque  Norte 2]", "2 Nível  Baixo | Gasolina  C"};
        QTest::newRow("brackets holding '='") << "[a = b]" << QStringList{"1 [a = b]"};
        QTest::newRow("empty value") << "k =" << QStringList{"1 k | "};
        QTest::newRow("neither") << "[aberta\n= sem nome\nsó texto" << QStringList{"1 ?", "2 ?", "3 ?"};
    }
    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(described(iniLines(text)), lines);
    }
};

QTEST_GUILESS_MAIN(TestIniText)
#include "tst_ini_text.moc"
