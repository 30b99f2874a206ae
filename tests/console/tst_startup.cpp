// Start-up without a usable station file: the operator is welcomed on a first start, or told why
// the file cannot be read, and kept in the configuration editor until a station list has been
// saved or the operator chooses to leave the program.
#include "console/form1.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString Welcome =
        QStringLiteral("Bem-vindo ao ComZelta. Cadastre os locais (postos) e grave a configuração para começar.");
const QString LeaveQuestion = QStringLiteral("Nenhum local foi gravado. Deseja sair do programa?");

void typeRow(QWidget *editor, const QString &description, int item = 1)
{
    const QStringList texts{QString::number(item), description, QStringLiteral("127.0.0.%1").arg(item + 8),
                            QStringLiteral("4001")};
    for (int i = 0; i < texts.size(); ++i)
        editor->findChild<QLineEdit *>(QStringLiteral("Inf_Local_%1").arg(i))->setText(texts[i]);
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("Inserir")), Qt::LeftButton);
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

// Drives the start-up of a console: every message box is recorded, a question answered with
// `leave` and any other box acknowledged; each editor is handed to `onEditor` with its number.
struct StartUp {
    QStringList messages;
    int editors = 0;
    bool leave = false;
    std::function<void(QWidget *, int)> onEditor;

    void watch(Form1 &console)
    {
        QObject::connect(&console, &Form1::janelaAberta, &console, [this](QWidget *window) {
            QTimer::singleShot(0, window, [this, window] {
                if (auto *box = qobject_cast<QMessageBox *>(window)) {
                    messages << box->windowTitle() + QLatin1Char('|') + box->text();
                    if (box->standardButtons() & QMessageBox::Yes)
                        box->button(leave ? QMessageBox::Yes : QMessageBox::No)->click();
                    else
                        box->accept();
                    return;
                }
                onEditor(window, ++editors);
            });
        });
    }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void editorStaysUntilSaved_data();
    void editorStaysUntilSaved();
    void closingTheEditorUnsavedOffersToLeave_data();
    void closingTheEditorUnsavedOffersToLeave();
    void stayingKeepsTheRowsTyped();
};

void TestStartup::editorStaysUntilSaved_data()
{
    QTest::addColumn<bool>("fileIsDirectory");
    QTest::addColumn<QString>("firstBox");  // title|text, FILE standing for the file's path
    QTest::newRow("first start, no data directory") << false << QStringLiteral("ComZelta|") + Welcome;
    QTest::newRow("the file is a directory") << true << QStringLiteral("Aviso|FILE não é um arquivo comum.\nCadastre os "
                                                                       "locais e grave a configuração.");
}

void TestStartup::editorStaysUntilSaved()
{
    QFETCH(bool, fileIsDirectory);
    QFETCH(QString, firstBox);
    QTemporaryDir root;
    const QString dataDirectory = root.path() + QStringLiteral("/ComZelta/");
    const QString filePath = dataDirectory + QStringLiteral("Configuração.TXT");
    if (fileIsDirectory)
        QVERIFY(QDir().mkpath(filePath));

    Form1 console(dataDirectory);
    StartUp startUp;
    // The first editor is closed unsaved; the operator stays, has the directory removed, and the
    // second editor saves a station.
    startUp.onEditor = [&](QWidget *editor, int number) {
        if (number == 1) {
            editor->close();
            QDir(filePath).removeRecursively();
            return;
        }
        typeRow(editor, QStringLiteral("Posto Novo"));
        click(editor, "Gravar_Conf");
        click(editor, "Retornar");
    };
    startUp.watch(console);

    QVERIFY(console.Form_Load());
    QCOMPARE(startUp.editors, 2);
    QCOMPARE(startUp.messages, (QStringList{firstBox.replace(QStringLiteral("FILE"), QDir::toNativeSeparators(filePath)),
                                            QStringLiteral("Aviso|") + LeaveQuestion}));
    auto *postos = console.findChild<QComboBox *>(QStringLiteral("Postos"));
    QCOMPARE(postos->count(), 1);
    QCOMPARE(postos->itemText(0), QStringLiteral("Posto Novo"));
    QVERIFY(QFileInfo(filePath).isFile());
}

void TestStartup::closingTheEditorUnsavedOffersToLeave_data()
{
    QTest::addColumn<QString>("closing");
    QTest::addColumn<bool>("leave");
    for (const char *closing : {"Retornar with an unsaved row", "Esc", "close box"}) {
        QTest::addRow("%s, then yes", closing) << QString::fromLatin1(closing) << true;
        QTest::addRow("%s, then no", closing) << QString::fromLatin1(closing) << false;
    }
}

void TestStartup::closingTheEditorUnsavedOffersToLeave()
{
    QFETCH(QString, closing);
    QFETCH(bool, leave);
    QTemporaryDir root;
    const QString dataDirectory = root.path() + QStringLiteral("/ComZelta/");

    Form1 console(dataDirectory);
    StartUp startUp;
    startUp.leave = leave;
    // Staying brings the editor back, and the second one saves.
    startUp.onEditor = [&](QWidget *editor, int number) {
        if (number == 2) {
            typeRow(editor, QStringLiteral("Posto Salvo"));
            click(editor, "Gravar_Conf");
            click(editor, "Retornar");
        } else if (closing.startsWith(QStringLiteral("Retornar"))) {
            typeRow(editor, QStringLiteral("Posto Esquecido"));
            click(editor, "Retornar");
        } else if (closing == QStringLiteral("Esc")) {
            QTest::keyClick(editor, Qt::Key_Escape);
        } else {
            editor->close();
        }
    };
    startUp.watch(console);

    QCOMPARE(console.Form_Load(), !leave);
    QCOMPARE(startUp.editors, leave ? 1 : 2);
    QCOMPARE(startUp.messages, (QStringList{QStringLiteral("ComZelta|") + Welcome, QStringLiteral("Aviso|") + LeaveQuestion}));
    auto *postos = console.findChild<QComboBox *>(QStringLiteral("Postos"));
    if (leave) {
        QVERIFY(!QFileInfo::exists(dataDirectory + QStringLiteral("Configuração.TXT")));
    } else {
        QCOMPARE(postos->count(), 1);
        QCOMPARE(postos->itemText(0), QStringLiteral("Posto Salvo"));
    }
}

// Retornar hands the rows over unsaved; the operator stays, and the editor that comes back holds them.
void TestStartup::stayingKeepsTheRowsTyped()
{
    QTemporaryDir root;
    Form1 console(root.path() + QStringLiteral("/ComZelta/"));
    StartUp startUp;
    QStringList shownAgain;
    startUp.onEditor = [&](QWidget *editor, int number) {
        if (number == 1) {
            typeRow(editor, QStringLiteral("Posto Norte"), 1);
            typeRow(editor, QStringLiteral("Posto Sul"), 2);
            click(editor, "Retornar");
            return;
        }
        const auto *grid = editor->findChild<QTableWidget *>(QStringLiteral("Conf_Zeltas"));
        for (int row = 0; row < 3; ++row)
            shownAgain << grid->item(row, 1)->text() + QLatin1Char('|') + grid->item(row, 2)->text();
        click(editor, "Gravar_Conf");
        click(editor, "Retornar");
    };
    startUp.watch(console);

    QVERIFY(console.Form_Load());
    QCOMPARE(startUp.editors, 2);
    QCOMPARE(shownAgain, (QStringList{QStringLiteral("Posto Norte|127.0.0.9"), QStringLiteral("Posto Sul|127.0.0.10"),
                                      QStringLiteral("|")}));
    auto *postos = console.findChild<QComboBox *>(QStringLiteral("Postos"));
    QCOMPARE(postos->count(), 2);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
