#include "dialogs/form4.h"
#include "stations/station_file_writer.h"
#include "stations/station_paths.h"
#include "tests/support/message_box_watcher.h"
#include "tests/stations/station_test_support.h"

#include <QDir>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

StationEntry station(int n)
{
    return {QStringLiteral("Posto %1").arg(n), QStringLiteral("10.0.0.%1").arg(n), QStringLiteral("4001")};
}

QTableWidget *grid(const Form4 &form)
{
    return form.findChild<QTableWidget *>(QStringLiteral("Conf_Zeltas"));
}

QString cell(const Form4 &form, int row, int column)
{
    return grid(form)->item(row - 1, column)->text();
}

StationEntry row(const Form4 &form, int n)
{
    return {cell(form, n, 1), cell(form, n, 2), cell(form, n, 3)};
}

QVector<StationEntry> allRows(const Form4 &form)
{
    QVector<StationEntry> rows;
    for (int n = 1; n <= StationTable::Entries; ++n)
        rows << row(form, n);
    return rows;
}

QLineEdit *box(const Form4 &form, int index)
{
    return form.findChild<QLineEdit *>(QStringLiteral("Inf_Local_%1").arg(index));
}

// Types the text key by key; unlike keyClicks, this also takes the accented letters.
void type(const Form4 &form, int index, const QString &text)
{
    QLineEdit *edit = box(form, index);
    edit->clear();
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void click(const Form4 &form, const QString &button)
{
    QTest::mouseClick(form.findChild<QPushButton *>(button), Qt::LeftButton);
}

StationTable previousTable()
{
    StationTable tabela;
    for (int n = 1; n <= StationTable::Entries; ++n)
        tabela.entry(n).description = QStringLiteral("Antigo %1").arg(n);
    return tabela;
}

} // namespace

class TestForm4 : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temporaryDir;
    QString dataDir() const { return temporaryDir.path() + u'/'; }

    void writeStations(int count)
    {
        StationTable tabela;
        for (int n = 1; n <= count; ++n)
            tabela.entry(n) = station(n);
        QVERIFY(saveStationFile(dataDir(), tabela).ok());
    }

private slots:
    void init()
    {
        QFile::remove(stationFilePath(dataDir()));
        QDir().rmdir(stationFilePath(dataDir()));
    }

    void opensWithTheFileEntries_data()
    {
        QTest::addColumn<int>("stations");
        QTest::newRow("no file") << -1;
        QTest::newRow("3 entries") << 3;
    }
    void opensWithTheFileEntries()
    {
        QFETCH(int, stations);
        if (stations >= 0)
            writeStations(stations);
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());

        QCOMPARE(form.windowTitle(), u"Configuração dos Equipamentos Zelta"_qs);
        const QStringList titles{"Item", u"Descrição Local"_qs, "IP", "Port"};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(grid(form)->horizontalHeaderItem(column)->text(), titles[column]);
        QCOMPARE(grid(form)->rowCount(), 40);
        for (int n = 1; n <= StationTable::Entries; ++n) {
            QCOMPARE(cell(form, n, 0), QString::number(n));
            QCOMPARE(row(form, n), n <= stations ? station(n) : StationEntry());
        }
        QVERIFY(watcher.texts.isEmpty());
    }

    void inserirPutsTheBoxesIntoTheRow_data()
    {
        QTest::addColumn<int>("stations");
        QTest::addColumn<QString>("item");
        QTest::addColumn<StationEntry>("typed");
        QTest::addColumn<int>("target");

        QTest::newRow("row 5 of an empty grid") << 0 << "5" << StationEntry{"Posto Sul", "10.0.0.50", "4001"} << 5;
        QTest::newRow("empty boxes empty a filled row") << 5 << "3" << StationEntry() << 3;
        QTest::newRow("spaces kept as typed") << 2 << "1" << StationEntry{"  Posto  ", " 10.0.0.1 ", "4001 "} << 1;
        QTest::newRow("blanks around the number") << 0 << " 7 " << StationEntry{"Sete", "10.0.0.7", "4001"} << 7;
        QTest::newRow("row 40") << 40 << "40" << StationEntry{"Quarenta", "10.0.0.40", "4001"} << 40;
        QTest::newRow("exponent") << 0 << "1e1" << StationEntry{"Dez", "10.0.0.10", "4001"} << 10;
        QTest::newRow("text after the number") << 0 << "12abc" << StationEntry{"Doze", "10.0.0.12", "4001"} << 12;
    }
    void inserirPutsTheBoxesIntoTheRow()
    {
        QFETCH(int, stations);
        QFETCH(QString, item);
        QFETCH(StationEntry, typed);
        QFETCH(int, target);

        writeStations(stations);
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        QVector<StationEntry> expected = allRows(form);
        expected[target - 1] = typed;

        type(form, 0, item);
        type(form, 1, typed.description);
        type(form, 2, typed.host);
        type(form, 3, typed.port);
        click(form, QStringLiteral("Inserir"));

        QCOMPARE(allRows(form), expected);
        QCOMPARE(box(form, 1)->text(), typed.description);
        QVERIFY(watcher.texts.isEmpty());
    }

    void excluirMovesTheRowsBelowUp_data()
    {
        QTest::addColumn<int>("stations");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QList<int>>("rows");
        // The station each checked row must hold afterwards; 0 for an empty row.
        QTest::addColumn<QList<int>>("holds");

        QTest::newRow("row 2 of 5") << 5 << "2" << QList<int>{1, 2, 3, 4, 5, 6} << QList<int>{1, 3, 4, 5, 0, 0};
        QTest::newRow("row 40 of 40") << 40 << "40" << QList<int>{38, 39, 40} << QList<int>{38, 39, 0};
        QTest::newRow("row 1 of 40") << 40 << "1" << QList<int>{1, 2, 39, 40} << QList<int>{2, 3, 40, 0};
    }
    void excluirMovesTheRowsBelowUp()
    {
        QFETCH(int, stations);
        QFETCH(QString, item);
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, holds);

        writeStations(stations);
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        type(form, 0, item);
        click(form, QStringLiteral("Excluir"));

        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(row(form, rows[i]), holds[i] ? station(holds[i]) : StationEntry());
        for (int n = 1; n <= StationTable::Entries; ++n)
            QCOMPARE(cell(form, n, 0), QString::number(n));
        QCOMPARE(box(form, 0)->text(), item);
    }

    void itemNumbersOutsideTheGridAreRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("item");

        for (const QString &button : {u"Inserir"_qs, u"Excluir"_qs}) {
            for (const QString &item : {u"0"_qs, u"41"_qs, u""_qs, u"2.5"_qs, u"-3"_qs, u"abc"_qs}) {
                QTest::addRow("%s '%s'", qPrintable(button), qPrintable(item)) << button << item;
            }
        }
    }
    void itemNumbersOutsideTheGridAreRefused()
    {
        QFETCH(QString, button);
        QFETCH(QString, item);

        writeStations(40);
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        const QVector<StationEntry> before = allRows(form);
        type(form, 0, item);
        type(form, 1, QStringLiteral("Novo"));
        click(form, button);

        QCOMPARE(allRows(form), before);
        QCOMPARE(watcher.texts, QStringList{u"Informe um número de item de 1 a 40."_qs});
        QCOMPARE(watcher.titles, QStringList{"Aviso"});
    }

    void gravarWritesTheGrid()
    {
        writeStations(1);
        MessageBoxWatcher watcher;
        StationTable tabela;
        {
            Form4 form(tabela, dataDir());
            form.show();
            type(form, 0, QStringLiteral("3"));
            type(form, 1, u"Posto São João"_qs);
            type(form, 2, QStringLiteral("10.0.0.3"));
            type(form, 3, QStringLiteral("4001"));
            click(form, QStringLiteral("Inserir"));
            click(form, QStringLiteral("Gravar_Conf"));
        }
        QCOMPARE(readAll(stationFilePath(dataDir())),
                 padded("Posto 1") + padded("10.0.0.1") + padded("4001") + "\r\n\r\n"
                         + padded("Posto S\xE3o Jo\xE3o") + padded("10.0.0.3") + padded("4001") + "\r\n"
                         + QByteArray("\r\n").repeated(37));
        QVERIFY(watcher.texts.isEmpty());

        Form4 reopened(tabela, dataDir());
        QCOMPARE(row(reopened, 3), (StationEntry{u"Posto São João"_qs, "10.0.0.3", "4001"}));
    }

    void refusedSaveWarnsAndKeepsTheFile()
    {
        writeStations(2);
        const QByteArray before = readAll(stationFilePath(dataDir()));
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        type(form, 0, QStringLiteral("7"));
        type(form, 1, QString(31, u'x'));
        type(form, 2, QStringLiteral("10.0.0.7"));
        type(form, 3, QStringLiteral("4001"));
        click(form, QStringLiteral("Inserir"));
        click(form, QStringLiteral("Gravar_Conf"));

        QCOMPARE(watcher.texts, QStringList{u"Item 7: o campo Descrição tem mais de 30 caracteres."_qs});
        QCOMPARE(readAll(stationFilePath(dataDir())), before);
    }

    // Inserir refuses what is typed; Gravar, a row of a file saved before whole stations were
    // required (it loads back right only while its empty fields are the last ones).
    void partialRowsAreRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<StationEntry>("partial");
        QTest::addColumn<QString>("field");

        QTest::newRow("Inserir, no description") << "Inserir" << StationEntry{"", "10.0.0.6", "4001"} << u"Descrição"_qs;
        QTest::newRow("Inserir, no IP") << "Inserir" << StationEntry{"Posto Seis", "", "4001"} << "IP";
        QTest::newRow("Inserir, no port") << "Inserir" << StationEntry{"Posto Seis", "10.0.0.6", ""} << "Port";
        QTest::newRow("Inserir, port only") << "Inserir" << StationEntry{"", "", "4001"} << u"Descrição"_qs;
        QTest::newRow("Inserir, IP of blanks") << "Inserir" << StationEntry{"Posto Seis", "   ", "4001"} << "IP";
        QTest::newRow("Gravar, description only") << "Gravar_Conf" << StationEntry{"Posto Seis", "", ""} << "IP";
        QTest::newRow("Gravar, no port") << "Gravar_Conf" << StationEntry{"Posto Seis", "10.0.0.6", ""} << "Port";
    }
    void partialRowsAreRefused()
    {
        QFETCH(QString, button);
        QFETCH(StationEntry, partial);
        QFETCH(QString, field);

        StationTable saved;
        saved.entry(1) = station(1);
        if (button == u"Gravar_Conf")
            saved.entry(6) = partial;
        QVERIFY(saveStationFile(dataDir(), saved).ok());
        const QByteArray before = readAll(stationFilePath(dataDir()));
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        const QVector<StationEntry> rows = allRows(form);
        type(form, 0, QStringLiteral("6"));
        type(form, 1, partial.description);
        type(form, 2, partial.host);
        type(form, 3, partial.port);
        click(form, button);

        QCOMPARE(watcher.texts, QStringList{u"Item 6: o campo %1 está vazio; preencha Descrição, IP e Port, ou deixe os três "
                                            "vazios."_qs.arg(field)});
        QCOMPARE(watcher.titles, QStringList{"Aviso"});
        QCOMPARE(allRows(form), rows);
        QCOMPARE(readAll(stationFilePath(dataDir())), before);
    }

    void failedSaveSaysWhy()
    {
        QVERIFY(QDir().mkpath(stationFilePath(dataDir())));
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        type(form, 0, QStringLiteral("1"));
        type(form, 1, QStringLiteral("Posto Um"));
        type(form, 2, QStringLiteral("10.0.0.1"));
        type(form, 3, QStringLiteral("4001"));
        click(form, QStringLiteral("Inserir"));
        click(form, QStringLiteral("Gravar_Conf"));

        // The reason is the one Qt gives for the failed write.
        QCOMPARE(watcher.texts, QStringList{u"Não foi possível gravar o arquivo %1: Filename refers to a directory."_qs
                                                    .arg(QDir::toNativeSeparators(stationFilePath(dataDir())))});
    }

    void retornarHandsTheGridToTheTable()
    {
        writeStations(3);
        StationTable tabela = previousTable();
        {
            Form4 form(tabela, dataDir());
            form.show();
            type(form, 0, QStringLiteral("5"));
            type(form, 1, QStringLiteral("  Posto Sul  "));
            type(form, 2, QStringLiteral("10.0.0.5 "));
            type(form, 3, QStringLiteral("4001"));
            click(form, QStringLiteral("Inserir"));
            click(form, QStringLiteral("Retornar"));
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }
        for (int n = 1; n <= StationTable::Entries; ++n) {
            const StationEntry expected = n <= 3 ? station(n)
                    : n == 5               ? StationEntry{"  Posto Sul  ", "10.0.0.5 ", "4001"}
                                           : StationEntry();
            QCOMPARE(tabela.entry(n), expected);
        }
        // Edits handed back without a save are not in the file the next editor shows.
        Form4 reopened(tabela, dataDir());
        QCOMPARE(row(reopened, 5), StationEntry());
    }

    void closingOtherwiseLeavesTheTable_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("title-bar close") << false;
        QTest::newRow("Esc key") << true;
    }
    void closingOtherwiseLeavesTheTable()
    {
        QFETCH(bool, escape);
        writeStations(3);
        StationTable tabela = previousTable();
        Form4 form(tabela, dataDir());
        form.show();
        type(form, 0, QStringLiteral("1"));
        type(form, 1, QStringLiteral("Editado"));
        type(form, 2, QStringLiteral("10.0.0.1"));
        type(form, 3, QStringLiteral("4001"));
        click(form, QStringLiteral("Inserir"));
        if (escape)
            QTest::keyClick(box(form, 1), Qt::Key_Escape);
        else
            form.close();

        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
        const StationTable previous = previousTable();
        for (int n = 1; n <= StationTable::Entries; ++n)
            QCOMPARE(tabela.entry(n), previous.entry(n));
    }

    void enterInABoxChangesNothing()
    {
        writeStations(5);
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        const QVector<StationEntry> before = allRows(form);
        type(form, 0, QStringLiteral("2"));
        QTest::keyClick(box(form, 0), Qt::Key_Return);
        QCOMPARE(allRows(form), before);
        QVERIFY(form.isVisible());
        QVERIFY(watcher.texts.isEmpty());
    }

    void imprimirWithoutPrinterOffersPdf()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed; printing would use it");
        MessageBoxWatcher watcher;
        StationTable tabela;
        Form4 form(tabela, dataDir());
        form.show();
        click(form, QStringLiteral("Imprimir"));
        QCOMPARE(watcher.texts,
                 QStringList{u"Não há impressora instalada. Deseja gravar a imagem da janela em um arquivo PDF?"_qs});
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
