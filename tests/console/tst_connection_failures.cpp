// Connections that cannot be made are shown in the socket state, and the console stays usable.
#include "console_fixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

class TestConnectionFailures : public QObject {
    Q_OBJECT

private slots:
    void failureIsShownAsState_data();
    void failureIsShownAsState();
};

void TestConnectionFailures::failureIsShownAsState_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QStringList>("states");
    // Nothing listens on 127.0.0.5: the connection is refused.
    QTest::newRow("refused") << QStringLiteral("127.0.0.5") << QStringList{QStringLiteral("Erro"), QStringLiteral("Fechada")};
    QTest::newRow("not a host") << QStringLiteral("posto..invalido") << QStringList{QStringLiteral("Erro")};
    QTest::newRow("empty address") << QString() << QStringList{QStringLiteral("Erro")};
}

void TestConnectionFailures::failureIsShownAsState()
{
    QFETCH(QString, ip);
    QFETCH(QStringList, states);
    ConsoleFixture fixture({{QStringLiteral("Posto Falho"), ip}});

    fixture.pick(0);
    QTRY_VERIFY(states.contains(fixture.text(QStringLiteral("Estado_TCP"))));
    QVERIFY(fixture.text(QStringLiteral("IP")).isEmpty());
    QVERIFY(!fixture.child<QPushButton>(QStringLiteral("Abrir_Conexao"))->isEnabled());
    QCOMPARE(fixture.text(QStringLiteral("Host")), QStringLiteral("Posto Falho"));
    QVERIFY(fixture.child<QPushButton>(QStringLiteral("Configurar"))->isEnabled());
}

QTEST_MAIN(TestConnectionFailures)
#include "tst_connection_failures.moc"
