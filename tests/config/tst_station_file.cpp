#include "config/station_file_reader.h"
#include "config/station_file_writer.h"
#include "config/station_list.h"
#include "config/station_paths.h"
#include "station_test_support.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Entry n holds "Antigo n", so a test can tell which entries a load left alone.
TabelaLocais previousTable()
{
    TabelaLocais tabela;
    for (int n = 1; n <= TabelaLocais::Entradas; ++n) {
        tabela.entry(n) = {QStringLiteral("Antigo %1").arg(n), QStringLiteral("10.0.0.%1").arg(n),
                           QString::number(4000 + n)};
    }
    return tabela;
}

QByteArray emptyLines(int count)
{
    return QByteArray("\r\n").repeated(count);
}

} // namespace

class TestStationFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temporaryDir;
    QString dataDir() const { return temporaryDir.path() + u'/'; }
    QString filePath() const { return stationFilePath(dataDir()); }

private slots:
    void init()
    {
        QFile::remove(filePath());
        QDir().rmdir(filePath());
    }

    void paths_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("directory");

#ifdef Q_OS_WIN
        const QString platformDefault = QStringLiteral("C:/ComZeltaT TCP V3 QDR/");
        QTest::newRow("Windows separators") << QStringLiteral("D:\\dados\\") << QString() << QStringLiteral("D:/dados/");
        QTest::newRow("Windows, no trailing separator") << QStringLiteral("D:\\dados") << QString() << QStringLiteral("D:/dados/");
#else
        qputenv("XDG_DATA_HOME", temporaryDir.path().toLocal8Bit());
        const QString platformDefault = temporaryDir.path() + QStringLiteral("/ComZelta/");
#endif
        QTest::newRow("none given") << QString() << QString() << platformDefault;
        QTest::newRow("none given, COMZELTA_DATA_DIR set") << QString() << QStringLiteral("/srv/zelta") << QStringLiteral("/srv/zelta/");
        QTest::newRow("given, COMZELTA_DATA_DIR set") << QStringLiteral("/dados/") << QStringLiteral("/srv/zelta") << QStringLiteral("/dados/");
        QTest::newRow("trailing separator") << QStringLiteral("/dados/") << QString() << QStringLiteral("/dados/");
        QTest::newRow("no trailing separator") << QStringLiteral("/dados") << QString() << QStringLiteral("/dados/");
    }

    void paths()
    {
        QFETCH(QString, given);
        QFETCH(QString, environment);
        QFETCH(QString, directory);
        qputenv("COMZELTA_DATA_DIR", environment.toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("COMZELTA_DATA_DIR"); });
        QCOMPARE(dataDirectoryOrDefault(given), directory);
        QCOMPARE(stationFilePath(dataDirectoryOrDefault(given)), directory + QStringLiteral("Configuração.TXT"));
    }

    void saveAndReadBack_data()
    {
        QTest::addColumn<QVector<Local>>("rows");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QVector<Local>>("readBack");

        const Local centro{"Posto Centro", "192.168.0.10", "4001"};
        QTest::newRow("92-byte example")
                << QVector<Local>{centro}
                << QByteArray("Posto Centro" + QByteArray(18, ' ') + "192.168.0.10" + QByteArray(18, ' ')
                              + "4001" + QByteArray(26, ' ') + "\r\n")
                << QVector<Local>{centro};
        const QVector<Local> three{{"A", "10.0.0.1", "1"}, {"B", "10.0.0.2", "2"}, {"C", "10.0.0.3", "3"}};
        QTest::newRow("three full rows")
                << three
                << padded("A") + padded("10.0.0.1") + padded("1") + "\r\n" + padded("B")
                        + padded("10.0.0.2") + padded("2") + "\r\n" + padded("C") + padded("10.0.0.3")
                        + padded("3") + "\r\n"
                << three;
        const Local thirty{QString(30, u'P'), "10.0.0.1", ""};
        QTest::newRow("30-character field unpadded")
                << QVector<Local>{thirty} << QByteArray(30, 'P') + padded("10.0.0.1") + "\r\n"
                << QVector<Local>{thirty};
        QTest::newRow("empty IP: Port reads back as IP")
                << QVector<Local>{{"Posto Sul", "", "4001"}} << padded("Posto Sul") + padded("4001") + "\r\n"
                << QVector<Local>{{"Posto Sul", "4001", ""}};
        QTest::newRow("empty Descrição: IP reads back as Descrição")
                << QVector<Local>{{"", "10.0.0.5", ""}} << padded("10.0.0.5") + "\r\n"
                << QVector<Local>{{"10.0.0.5", "", ""}};
        QTest::newRow("IP with leading space after a description")
                << QVector<Local>{{"Posto", " 10.0.0.9", ""}} << padded("Posto") + padded(" 10.0.0.9") + "\r\n"
                << QVector<Local>{{"Posto", "10.0.0.9", ""}};
        const Local accented{u"Conceição São José €"_qs, "", ""};
        QTest::newRow("Windows-1252 letters are one byte each")
                << QVector<Local>{accented} << padded("Concei\xE7\xE3o S\xE3o Jos\xE9 \x80") + "\r\n"
                << QVector<Local>{accented};
    }
    void saveAndReadBack()
    {
        QFETCH(QVector<Local>, rows);
        QFETCH(QByteArray, lines);
        QFETCH(QVector<Local>, readBack);

        TabelaLocais tabela;
        for (int n = 1; n <= rows.size(); ++n)
            tabela.entry(n) = rows[n - 1];
        QString error;
        QVERIFY2(saveStationFile(dataDir(), tabela, &error), qPrintable(error));
        QCOMPARE(readAll(filePath()), lines + emptyLines(TabelaLocais::Entradas - int(rows.size())));

        const std::optional<QVector<Local>> items = readStationItems(filePath(), &error);
        QVERIFY2(items, qPrintable(error));
        QCOMPARE(items->size(), TabelaLocais::Entradas);
        QCOMPARE(items->mid(0, readBack.size()), readBack);
        for (qsizetype i = readBack.size(); i < items->size(); ++i)
            QCOMPARE(items->at(i), Local());
    }

    void consoleLoad_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QVector<PostoListado>>("postos");
        QTest::addColumn<QVector<Local>>("entries");

        QTest::newRow("first two lines empty")
                << emptyLines(2) + padded("Posto Tr\xEAs") + padded("10.0.0.33") + "\r\n"
                << QVector<PostoListado>{{u"Posto Três"_qs, 3}}
                << QVector<Local>{{"", "10.0.0.1", "4001"}, {"", "10.0.0.2", "4002"},
                                  {u"Posto Três"_qs, "10.0.0.33", ""}};
        QTest::newRow("hand-written 11 characters")
                << QByteArray("Posto Norte") << QVector<PostoListado>{{"Posto Norte", 1}}
                << QVector<Local>{{"Posto Norte", "", ""}};
        QTest::newRow("leading spaces shift the columns")
                << QByteArray("  Posto A" + QByteArray(21, ' ') + "10.0.0.1\r\n")
                << QVector<PostoListado>{{"Posto A" + QString(21, u' ') + "10", 1}}
                << QVector<Local>{{"Posto A" + QString(21, u' ') + "10", ".0.0.1", ""}};
        QTest::newRow("commas make further items")
                << QByteArray("Posto A,Posto B\r\nPosto C\r\n")
                << QVector<PostoListado>{{"Posto A", 1}, {"Posto B", 2}, {"Posto C", 3}}
                << QVector<Local>{{"Posto A", "", ""}, {"Posto B", "", ""}, {"Posto C", "", ""}};
        QTest::newRow("blank description keeps IP and Port")
                << QByteArray("Posto A\r\n   \r\nPosto C")
                << QVector<PostoListado>{{"Posto A", 1}, {"Posto C", 3}}
                << QVector<Local>{{"Posto A", "", ""}, {"", "10.0.0.2", "4002"}, {"Posto C", "", ""}};
    }
    void consoleLoad()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVector<PostoListado>, postos);
        QFETCH(QVector<Local>, entries);

        QVERIFY(writeAll(filePath(), file));
        const TabelaLocais previous = previousTable();
        TabelaLocais tabela = previous;
        QString error;
        const auto listed = loadStationTable(filePath(), tabela, &error);
        QVERIFY2(listed, qPrintable(error));
        QCOMPARE(*listed, postos);
        for (int n = 1; n <= entries.size(); ++n)
            QCOMPARE(tabela.entry(n), entries[n - 1]);
        for (int n = int(entries.size()) + 1; n <= TabelaLocais::Entradas; ++n)
            QCOMPARE(tabela.entry(n), previous.entry(n));
    }

    void hostileFilesLoadAtMostFortyEntries_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("listed");

        QByteArray binary(300000, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) & 0xFF);
        QTest::newRow("binary bytes") << binary << -1;
        QTest::newRow("10000 items") << QByteArray("Posto,").repeated(10000) << 40;
        QTest::newRow("very long lines") << (QByteArray(100000, 'L') + "\r\n").repeated(5) << 5;
        QTest::newRow("NUL bytes") << QByteArray(1000, '\0') << 1;
        QTest::newRow("exactly 1 MiB") << "Posto\r\n" + QByteArray(MaxStationFileBytes - 7, ',') << 1;
    }
    void hostileFilesLoadAtMostFortyEntries()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, listed);

        QVERIFY(writeAll(filePath(), file));
        TabelaLocais tabela;
        QString error;
        const auto postos = loadStationTable(filePath(), tabela, &error);
        QVERIFY2(postos, qPrintable(error));
        QVERIFY(postos->size() <= TabelaLocais::Entradas);
        if (listed >= 0)
            QCOMPARE(postos->size(), listed);
        for (const PostoListado &posto : *postos) {
            QCOMPARE(tabela.entry(posto.Entrada).Descricao, posto.Descricao);
            QVERIFY(posto.Descricao.size() <= 30);
        }
    }

    void unloadableFileLeavesTable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("directory") << "directory";
        QTest::newRow("over 1 MiB") << "large";
        QTest::newRow("100 MB on one line") << "huge";
    }
    void unloadableFileLeavesTable()
    {
        QFETCH(QString, kind);
        if (kind == u"directory")
            QVERIFY(QDir().mkdir(filePath()));
        else if (kind == u"large")
            QVERIFY(writeAll(filePath(), "Posto\r\n" + QByteArray(MaxStationFileBytes, ' ')));
        else if (kind == u"huge") {
            // Sparse: 100 MB on disk in name only, and not one line end in it.
            QFile huge(filePath());
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write("Posto") == 5 && huge.resize(100'000'000));
        }

        const TabelaLocais previous = previousTable();
        TabelaLocais tabela = previous;
        QString error;
        QVERIFY(!loadStationTable(filePath(), tabela, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(filePath())), qPrintable(error));
        for (int n = 1; n <= TabelaLocais::Entradas; ++n)
            QCOMPARE(tabela.entry(n), previous.entry(n));
    }

    void unreadableFileFails()
    {
        QVERIFY(writeAll(filePath(), "Posto\r\n"));
        QVERIFY(QFile::setPermissions(filePath(), QFileDevice::WriteOwner));
        QFile probe(filePath());
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission (root)");
        QString error;
        QVERIFY(!readStationItems(filePath(), &error));
        QVERIFY(error.contains(QDir::toNativeSeparators(filePath())));
    }

    void stationsInUseKeepEntryNumbers()
    {
        TabelaLocais tabela;
        tabela.entry(2).Descricao = QStringLiteral("Dois");
        tabela.entry(3).IP = QStringLiteral("10.0.0.3");
        tabela.entry(5).Descricao = QStringLiteral(" Cinco ");
        tabela.entry(40).Descricao = QStringLiteral("Quarenta");
        const QVector<PostoListado> expected{{"Dois", 2}, {" Cinco ", 5}, {"Quarenta", 40}};
        QCOMPARE(stationsInUse(tabela), expected);
    }

    void saveRefusesFieldsTheFileCannotHold_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<Local>("local");
        QTest::addColumn<QString>("message");

        QTest::newRow("31 characters") << 7 << Local{QString(31, u'x'), "", ""}
                                       << u"Item 7: o campo Descrição tem mais de 30 caracteres."_qs;
        QTest::newRow("comma") << 3 << Local{"Posto", "10.0.0.1,2", ""}
                               << u"Item 3: o campo IP não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("double quote") << 40 << Local{"Posto", "10.0.0.1", "40\"01"}
                                      << u"Item 40: o campo Port não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("line break") << 1 << Local{"Posto\nNovo", "", ""}
                                    << u"Item 1: o campo Descrição não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("no Windows-1252 byte") << 2 << Local{u"Posto Ω"_qs, "", ""}
                                              << u"Item 2: o campo Descrição tem caracteres que não podem ser gravados no arquivo."_qs;
        QTest::newRow("description starting with a space") << 5 << Local{" Posto", "", ""}
                                                            << u"Item 5: o campo Descrição não pode começar com espaço."_qs;
        QTest::newRow("first field IP starting with a space") << 6 << Local{"", " 10.0.0.6", ""}
                                                              << u"Item 6: o campo IP não pode começar com espaço."_qs;
    }
    void saveRefusesFieldsTheFileCannotHold()
    {
        QFETCH(int, row);
        QFETCH(Local, local);
        QFETCH(QString, message);

        TabelaLocais tabela;
        tabela.entry(1) = {"Posto Centro", "192.168.0.10", "4001"};
        QVERIFY(saveStationFile(dataDir(), tabela));
        const QByteArray before = readAll(filePath());

        tabela.entry(row) = local;
        QString error;
        QVERIFY(!saveStationFile(dataDir(), tabela, &error));
        QCOMPARE(error, message);
        QCOMPARE(readAll(filePath()), before);
    }

    void saveCreatesMissingDataDirectory()
    {
        const QString nested = temporaryDir.path() + QStringLiteral("/a/b/ComZelta/");
        TabelaLocais tabela;
        tabela.entry(1).Descricao = QStringLiteral("Posto");
        QString error;
        QVERIFY2(saveStationFile(nested, tabela, &error), qPrintable(error));
        QCOMPARE(readAll(stationFilePath(nested)), padded("Posto") + "\r\n" + emptyLines(39));
    }

    void failedSaveIsReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("data directory is a file") << "file";
        QTest::newRow("station file is a directory") << "directory";
    }
    void failedSaveIsReported()
    {
        QFETCH(QString, kind);
        QString directory = dataDir();
        if (kind == u"file") {
            QVERIFY(writeAll(temporaryDir.path() + QStringLiteral("/bloqueio"), "x"));
            directory = temporaryDir.path() + QStringLiteral("/bloqueio/");
        } else {
            QVERIFY(QDir().mkdir(filePath()));
        }
        QString error;
        QVERIFY(!saveStationFile(directory, TabelaLocais(), &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(kind == u"file" ? directory : filePath())),
                 qPrintable(error));
    }

    // A full disk, on a small file system of its own where this user may mount one.
    void diskFullSaveKeepsPreviousFile()
    {
        const QString mountPoint = temporaryDir.path() + QStringLiteral("/cheio");
        QVERIFY(QDir().mkdir(mountPoint));
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                        QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint}) != 0)
            QSKIP("this user cannot mount a small file system");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mountPoint}); });

        const QString directory = mountPoint + QLatin1Char('/');
        const TabelaLocais previous = previousTable();
        QVERIFY(saveStationFile(directory, previous));
        const QByteArray saved = readAll(stationFilePath(directory));
        QFile filler(mountPoint + QStringLiteral("/enchimento"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
        filler.close();

        TabelaLocais changed = previous;
        changed.entry(40) = {QStringLiteral("Posto Novo"), QStringLiteral("10.0.0.40"), QStringLiteral("4001")};
        QString error;
        QVERIFY(!saveStationFile(directory, changed, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(stationFilePath(directory))), qPrintable(error));
        QCOMPARE(readAll(stationFilePath(directory)), saved);
    }
};

QTEST_GUILESS_MAIN(TestStationFile)
#include "tst_station_file.moc"
