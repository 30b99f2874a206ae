// The windows by keyboard alone: where each opens its focus, the Tab cycle through the controls
// an operator acts on (display boxes left out), and Enter on the focused button.
#include "operator_windows.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// The objects the focus visits from `start`, `stops` presses of Tab, ending where it lands.
QStringList visitByTab(QWidget *start, int stops)
{
    QStringList visited;
    QWidget *focused = start;
    for (int i = 0; i < stops; ++i) {
        visited << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
        focused = QApplication::focusWidget();
        if (!focused)
            break;
    }
    if (focused)
        visited << focused->objectName();
    return visited;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheFocusOn_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("focused");
        QTest::newRow("console") << "Form1" << "Postos";
        QTest::newRow("inventory") << "Form2" << "Leitura";
        QTest::newRow("password") << "Form3" << "Senha";
        QTest::newRow("editor: No. do Item") << "Form4" << "Inf_Local_0";
        QTest::newRow("results") << "Form5" << "Resultados_MedProg";
        QTest::newRow("date") << "Form6" << "Data_Medicoes";
    }

    void opensWithTheFocusOn()
    {
        QFETCH(QString, form);
        QFETCH(QString, focused);
        OperatorWindow window(form);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    }

    void tabCycle_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("cycle");
        QTest::newRow("console, no controller")
            << "Form1" << QStringList{"Postos", "Configurar", "Limpar_Log", "Sair", "Fechamento", "Historico", "Salvar_Log", "Msg_Log"};
        // One stop for the tank selector: the arrows move within it.
        QTest::newRow("console, dialogue open")
            << OperatorWindow::connectedConsole()
            << QStringList{"Postos", "Configurar", "Fechar_Conexao", "Limpar_Log", "Sair", "LR_Cmd",
                           "Sinc_Relogio", "MT_Cmd", "LM_Cmd", "MA_Cmd", "IV_Cmd", "Ler_Sensores",
                           "Medicao_Programada", "TQ_Ativo_0", "Fechamento", "Historico", "Salvar_Log", "Msg_Log"};
        QTest::newRow("inventory") << "Form2" << QStringList{"Leitura", "Inventario", "Exportar_CSV", "Imprimir", "Retornar"};
        QTest::newRow("password") << "Form3" << QStringList{"Senha", "Validar_Senha"};
        QTest::newRow("editor")
            << "Form4"
            << QStringList{"Inf_Local_0", "Inf_Local_1", "Inf_Local_2", "Inf_Local_3", "Inserir", "Excluir",
                           "Gravar_Conf", "Retornar", "Imprimir", "Conf_Zeltas"};
        QTest::newRow("results") << "Form5" << QStringList{"Resultados_MedProg", "Exportar_CSV", "Imprimir", "Retornar"};
        QTest::newRow("date") << "Form6" << QStringList{"Data_Medicoes", "Solicitar_Medicoes"};
    }

    // Tab visits the controls in order and comes back to the first; a grid lets Tab through.
    void tabCycle()
    {
        QFETCH(QString, form);
        QFETCH(QStringList, cycle);
        OperatorWindow window(form);
        auto *first = window.window()->findChild<QWidget *>(cycle.first());
        QVERIFY(first);
        first->setFocus(Qt::TabFocusReason);
        QCOMPARE(visitByTab(first, int(cycle.size())), cycle + QStringList{cycle.first()});
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        for (const QString &form : OperatorWindow::forms()) {
            OperatorWindow window(form);
            for (const QPushButton *button : window.window()->findChildren<QPushButton *>()) {
                if (!button->isVisibleTo(window.window()))
                    continue;
                const QString row = form + QLatin1Char(' ') + button->objectName();
                QTest::newRow(qPrintable(row + QStringLiteral(" Return"))) << form << button->objectName() << int(Qt::Key_Return);
                QTest::newRow(qPrintable(row + QStringLiteral(" Enter"))) << form << button->objectName() << int(Qt::Key_Enter);
            }
        }
    }

    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, form);
        QFETCH(QString, button);
        QFETCH(int, key);
        OperatorWindow window(form);
        auto *pressed = window.window()->findChild<QPushButton *>(button);
        // Panels wait for a controller; what the button then does is tested elsewhere.
        for (QWidget *w = pressed; w; w = w->parentWidget())
            w->setEnabled(true);
        pressed->disconnect(SIGNAL(clicked(bool)));
        QSignalSpy clicks(pressed, &QPushButton::clicked);
        pressed->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), pressed);
        QTest::keyClick(pressed, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(clicks.size(), 1);
    }

    // Enter typed in a box of the editor would otherwise press a default button: "Inserir Local"
    // over a half-typed row.
    void enterInAnEditorBoxPressesNothing()
    {
        OperatorWindow window(QStringLiteral("Form4"));
        QList<QSignalSpy *> spies;
        for (QPushButton *button : window.window()->findChildren<QPushButton *>()) {
            button->disconnect(SIGNAL(clicked(bool)));
            spies << new QSignalSpy(button, &QPushButton::clicked);
        }
        auto *box = window.window()->findChild<QWidget *>(QStringLiteral("Inf_Local_0"));
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box, QStringLiteral("5"));
        QTest::keyClick(box, Qt::Key_Return);
        int clicks = 0;
        for (QSignalSpy *spy : spies)
            clicks += int(spy->size());
        qDeleteAll(spies);
        QCOMPARE(clicks, 0);
        QVERIFY(window.window()->isVisible());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
