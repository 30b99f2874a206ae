#include "dialogs/form3.h"
#include "dialogs/form6.h"
#include "tests/support/message_box_watcher.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

namespace {

bool isPasswordWindow(const QString &form)
{
    return form == QLatin1String("Form3");
}

QLineEdit *box(QWidget *dialog, const QString &form)
{
    return dialog->findChild<QLineEdit *>(isPasswordWindow(form) ? "Senha" : "Data_Medicoes");
}

QPushButton *button(QWidget *dialog, const QString &form)
{
    return dialog->findChild<QPushButton *>(isPasswordWindow(form) ? "Validar_Senha" : "Solicitar_Medicoes");
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void handsOverTypedText_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pressButton");

        QTest::newRow("password by button") << "Form3" << "segredo" << true;
        QTest::newRow("empty password by button") << "Form3" << "" << true;
        QTest::newRow("password spaces kept") << "Form3" << "  se gredo " << true;
        QTest::newRow("password window closed") << "Form3" << "segredo" << false;
        QTest::newRow("date by button") << "Form6" << "1/2/03" << true;
        QTest::newRow("date spaces kept") << "Form6" << " 010203  " << true;
        QTest::newRow("date window closed") << "Form6" << "010203" << false;
    }

    // The console's way in: a modal window, opened empty with the focus in its box, that gives
    // the text back only through its button.
    void handsOverTypedText()
    {
        QFETCH(QString, form);
        QFETCH(QString, typed);
        QFETCH(bool, pressButton);
        bool interacted = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            const auto close = qScopeGuard([modal] { modal->close(); });
            QVERIFY(QTest::qWaitForWindowActive(modal));
            QLineEdit *entry = box(modal, form);
            QVERIFY(entry->text().isEmpty());
            QCOMPARE(entry->font().pointSize(), 18);
            QCOMPARE(QApplication::focusWidget(), entry);
            QTest::keyClicks(entry, typed);
            if (pressButton)
                QTest::mouseClick(button(modal, form), Qt::LeftButton);
            interacted = true;
        });

        const std::optional<QString> answer = isPasswordWindow(form) ? Form3::ask() : Form6::ask();
        QVERIFY(interacted);
        QCOMPARE(answer.has_value(), pressButton);
        if (pressButton)
            QCOMPARE(*answer, typed);
    }

    // A password the controller cannot be given is not handed over: the window stays open and
    // says why; one it can, accented letters and all, closes it.
    void passwordChecked_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("message");  // empty: accepted
        const QString control = QStringLiteral("Senha não aceita: a senha contém um caractere de controle.");
        QTest::newRow("ETX") << "pw\x03XX" << control;
        QTest::newRow("STX and a frame") << "pw\x02ID02" << control;
        QTest::newRow("tab") << "pw\tx" << control;
        QTest::newRow("outside Windows-1252")
            << QString::fromUtf8("senha₽") << "Senha não aceita: a senha contém um caractere fora do Windows-1252.";
        QTest::newRow("Windows-1252 letters") << QString::fromUtf8("Ção€œŸ") << QString();
    }
    void passwordChecked()
    {
        QFETCH(QString, entered);
        QFETCH(QString, message);
        Form3 dialog;
        dialog.show();
        QLineEdit *senha = box(&dialog, "Form3");
        senha->setText(entered);
        QCOMPARE(senha->text(), entered);
        MessageBoxWatcher watcher;
        QTest::mouseClick(button(&dialog, "Form3"), Qt::LeftButton);
        QCOMPARE(watcher.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QCOMPARE(dialog.entered().has_value(), message.isEmpty());
        if (message.isEmpty())
            QCOMPARE(*dialog.entered(), entered);
    }

    void passwordShownAsAsterisks()
    {
        Form3 dialog;
        QLineEdit *senha = box(&dialog, "Form3");
        QTest::keyClicks(senha, "ab c");
        QCOMPARE(senha->displayText(), QString("****"));
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
