// Qt's own texts in the console's windows: the buttons of its message boxes and the file dialog
// of the PDF save speak Portuguese once the program has installed Qt's translations.
#include "process/qt_translations.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        QVERIFY2(installQtTranslations(*QCoreApplication::instance()),
                 "qtbase_pt_BR.qm is missing: scripts/install-deps installs qt6-translations-l10n");
    }

    void messageBoxButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << "&Sim";
        QTest::newRow("No") << int(QMessageBox::No) << "&Não";
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << "Cancelar";
        QTest::newRow("Save") << int(QMessageBox::Save) << "Salvar";
        QTest::newRow("OK") << int(QMessageBox::Ok) << "OK";
    }

    void messageBoxButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        QMessageBox box(QMessageBox::Question, QStringLiteral("Aviso"), QStringLiteral("Deseja sair do programa?"),
                        QMessageBox::StandardButton(button));
        QCOMPARE(box.button(QMessageBox::StandardButton(button))->text(), text);
    }

    void saveFileDialog_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("folder") << "Procurar em:";
        QTest::newRow("file name") << "&Nome do arquivo:";
        QTest::newRow("file type") << "Arquivos do tipo:";
        QTest::newRow("save") << "&Salvar";
        QTest::newRow("cancel") << "Cancelar";
    }

    void saveFileDialog()
    {
        QFETCH(QString, text);
        QFileDialog dialog(nullptr, QStringLiteral("Salvar como PDF"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QStringList shown;
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            shown << label->text();
        for (const QPushButton *button : dialog.findChildren<QPushButton *>())
            shown << button->text();
        QVERIFY2(shown.contains(text), qPrintable(shown.join(QLatin1String(" | "))));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
