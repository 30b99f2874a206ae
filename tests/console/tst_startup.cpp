// Start-up without a usable station file: the operator is told why and kept in the configuration
// editor until a station list has been saved.
#include "console/form1.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void missingFileKeepsTheEditorOpenUntilSaved_data();
    void missingFileKeepsTheEditorOpenUntilSaved();
};

void TestStartup::missingFileKeepsTheEditorOpenUntilSaved_data()
{
    QTest::addColumn<bool>("fileIsDirectory");
    QTest::addColumn<QString>("reason");
    QTest::newRow("first start, no data directory") << false << QStringLiteral("não existe");
    QTest::newRow("the file is a directory") << true << QStringLiteral("não é um arquivo comum");
}

void TestStartup::missingFileKeepsTheEditorOpenUntilSaved()
{
    QFETCH(bool, fileIsDirectory);
    QFETCH(QString, reason);
    QTemporaryDir root;
    const QString dataDirectory = root.path() + QStringLiteral("/ComZelta/");
    if (fileIsDirectory)
        QVERIFY(QDir().mkpath(dataDirectory + QStringLiteral("Configuração.TXT")));

    Form1 console(dataDirectory);
    QStringList messages;
    int editors = 0;
    connect(&console, &Form1::janelaAberta, &console, [&](QWidget *window) {
        QTimer::singleShot(0, window, [&, window] {
            if (auto *box = qobject_cast<QMessageBox *>(window)) {
                messages << box->text();
                box->accept();
                return;
            }
            // Closed without saving, the editor comes back; when the file is a directory, the
            // operator then has it removed, and the next editor saves a station and returns.
            const int closings = fileIsDirectory ? 2 : 1;
            if (++editors <= closings) {
                window->close();
                if (editors == 2)
                    QDir(dataDirectory + QStringLiteral("Configuração.TXT")).removeRecursively();
                return;
            }
            window->findChild<QLineEdit *>(QStringLiteral("Inf_Local_0"))->setText(QStringLiteral("1"));
            window->findChild<QLineEdit *>(QStringLiteral("Inf_Local_1"))->setText(QStringLiteral("Posto Novo"));
            window->findChild<QLineEdit *>(QStringLiteral("Inf_Local_2"))->setText(QStringLiteral("127.0.0.9"));
            for (const char *button : {"Inserir", "Gravar_Conf", "Retornar"})
                QTest::mouseClick(window->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        });
    });
    console.Form_Load();

    QCOMPARE(editors, fileIsDirectory ? 3 : 2);
    QCOMPARE(messages.size(), editors);
    QVERIFY2(messages.first().contains(QStringLiteral("Configuração.TXT")), qPrintable(messages.first()));
    QVERIFY2(messages.first().contains(reason), qPrintable(messages.first()));
    auto *postos = console.findChild<QComboBox *>(QStringLiteral("Postos"));
    QCOMPARE(postos->count(), 1);
    QCOMPARE(postos->itemText(0), QStringLiteral("Posto Novo"));
    QVERIFY(QFileInfo(dataDirectory + QStringLiteral("Configuração.TXT")).isFile());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
