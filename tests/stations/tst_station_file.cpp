#include "stations/station_file_reader.h"
#include "stations/station_file_writer.h"
#include "stations/station_list.h"
#include "stations/station_paths.h"
#include "station_test_support.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(StationFileProblem)
Q_DECLARE_METATYPE(StationFileProblem::Kind)

namespace {

// Entry n holds "Antigo n", so a test can tell which entries a load left alone.
StationTable previousTable()
{
    StationTable tabela;
    for (int n = 1; n <= StationTable::Entries; ++n) {
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
        QTest::addColumn<QVector<StationEntry>>("rows");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QVector<StationEntry>>("readBack");

        const StationEntry centro{"Posto Centro", "192.168.0.10", "4001"};
        QTest::newRow("92-byte example")
                << QVector<StationEntry>{centro}
                << QByteArray("Posto Centro" + QByteArray(18, ' ') + "192.168.0.10" + QByteArray(18, ' ')
                              + "4001" + QByteArray(26, ' ') + "\r\n")
                << QVector<StationEntry>{centro};
        const QVector<StationEntry> three{{"A", "10.0.0.1", "1"}, {"B", "10.0.0.2", "2"}, {"C", "10.0.0.3", "3"}};
        QTest::newRow("three full rows")
                << three
                << padded("A") + padded("10.0.0.1") + padded("1") + "\r\n" + padded("B")
                        + padded("10.0.0.2") + padded("2") + "\r\n" + padded("C") + padded("10.0.0.3")
                        + padded("3") + "\r\n"
                << three;
        const StationEntry thirty{QString(30, u'P'), "10.0.0.1", ""};
        QTest::newRow("30-character field unpadded")
                << QVector<StationEntry>{thirty} << QByteArray(30, 'P') + padded("10.0.0.1") + "\r\n"
                << QVector<StationEntry>{thirty};
        QTest::newRow("empty IP: Port reads back as IP")
                << QVector<StationEntry>{{"Posto Sul", "", "4001"}} << padded("Posto Sul") + padded("4001") + "\r\n"
                << QVector<StationEntry>{{"Posto Sul", "4001", ""}};
        QTest::newRow("empty Descrição: IP reads back as Descrição")
                << QVector<StationEntry>{{"", "10.0.0.5", ""}} << padded("10.0.0.5") + "\r\n"
                << QVector<StationEntry>{{"10.0.0.5", "", ""}};
        QTest::newRow("IP with leading space after a description")
                << QVector<StationEntry>{{"Posto", " 10.0.0.9", ""}} << padded("Posto") + padded(" 10.0.0.9") + "\r\n"
                << QVector<StationEntry>{{"Posto", "10.0.0.9", ""}};
        const StationEntry accented{u"Conceição São José €"_qs, "", ""};
        QTest::newRow("Windows-1252 letters are one byte each")
                << QVector<StationEntry>{accented} << padded("Concei\xE7\xE3o S\xE3o Jos\xE9 \x80") + "\r\n"
                << QVector<StationEntry>{accented};
    }
    void saveAndReadBack()
    {
        QFETCH(QVector<StationEntry>, rows);
        QFETCH(QByteArray, lines);
        QFETCH(QVector<StationEntry>, readBack);

        StationTable tabela;
        for (int n = 1; n <= rows.size(); ++n)
            tabela.entry(n) = rows[n - 1];
        const Result<void, StationFileProblem> saved = saveStationFile(dataDir(), tabela);
        QVERIFY2(saved, qPrintable(saved ? QString() : stationFileProblemText(saved.error())));
        QCOMPARE(readAll(filePath()), lines + emptyLines(StationTable::Entries - int(rows.size())));

        const Result<QVector<StationEntry>, StationFileProblem> items = readStationItems(filePath());
        QVERIFY2(items, qPrintable(items ? QString() : stationFileProblemText(items.error())));
        QCOMPARE(items->size(), StationTable::Entries);
        QCOMPARE(items->mid(0, readBack.size()), readBack);
        for (qsizetype i = readBack.size(); i < items->size(); ++i)
            QCOMPARE(items->at(i), StationEntry());
    }

    void consoleLoad_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QVector<ListedStation>>("postos");
        QTest::addColumn<QVector<StationEntry>>("entries");

        QTest::newRow("first two lines empty")
                << emptyLines(2) + padded("Posto Tr\xEAs") + padded("10.0.0.33") + "\r\n"
                << QVector<ListedStation>{{u"Posto Três"_qs, 3}}
                << QVector<StationEntry>{{"", "10.0.0.1", "4001"}, {"", "10.0.0.2", "4002"},
                                  {u"Posto Três"_qs, "10.0.0.33", ""}};
        QTest::newRow("hand-written 11 characters")
                << QByteArray("Posto Norte") << QVector<ListedStation>{{"Posto Norte", 1}}
                << QVector<StationEntry>{{"Posto Norte", "", ""}};
        QTest::newRow("leading spaces shift the columns")
                << QByteArray("  Posto A" + QByteArray(21, ' ') + "10.0.0.1\r\n")
                << QVector<ListedStation>{{"Posto A" + QString(21, u' ') + "10", 1}}
                << QVector<StationEntry>{{"Posto A" + QString(21, u' ') + "10", ".0.0.1", ""}};
        QTest::newRow("commas make further items")
                << QByteArray("Posto A,Posto B\r\nPosto C\r\n")
                << QVector<ListedStation>{{"Posto A", 1}, {"Posto B", 2}, {"Posto C", 3}}
                << QVector<StationEntry>{{"Posto A", "", ""}, {"Posto B", "", ""}, {"Posto C", "", ""}};
        QTest::newRow("blank description keeps IP and Port")
                << QByteArray("Posto A\r\n   \r\nPosto C")
                << QVector<ListedStation>{{"Posto A", 1}, {"Posto C", 3}}
                << QVector<StationEntry>{{"Posto A", "", ""}, {"", "10.0.0.2", "4002"}, {"Posto C", "", ""}};
    }
    void consoleLoad()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVector<ListedStation>, postos);
        QFETCH(QVector<StationEntry>, entries);

        QVERIFY(writeAll(filePath(), file));
        const StationTable previous = previousTable();
        StationTable tabela = previous;
        const auto listed = loadStationTable(filePath(), tabela);
        QVERIFY2(listed, qPrintable(listed ? QString() : stationFileProblemText(listed.error())));
        QCOMPARE(*listed, postos);
        for (int n = 1; n <= entries.size(); ++n)
            QCOMPARE(tabela.entry(n), entries[n - 1]);
        for (int n = int(entries.size()) + 1; n <= StationTable::Entries; ++n)
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
        StationTable tabela;
        const auto postos = loadStationTable(filePath(), tabela);
        QVERIFY2(postos, qPrintable(postos ? QString() : stationFileProblemText(postos.error())));
        QVERIFY(postos->size() <= StationTable::Entries);
        if (listed >= 0)
            QCOMPARE(postos->size(), listed);
        for (const ListedStation &posto : *postos) {
            QCOMPARE(tabela.entry(posto.entry).description, posto.description);
            QVERIFY(posto.description.size() <= 30);
        }
    }

    void unloadableFileLeavesTable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<StationFileProblem::Kind>("problem");
        QTest::newRow("missing") << "missing" << StationFileProblem::Kind::NotOpened;
        QTest::newRow("directory") << "directory" << StationFileProblem::Kind::NotOpened;
        QTest::newRow("over 1 MiB") << "large" << StationFileProblem::Kind::TooLarge;
        QTest::newRow("100 MB on one line") << "huge" << StationFileProblem::Kind::TooLarge;
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

        const StationTable previous = previousTable();
        StationTable tabela = previous;
        const auto listed = loadStationTable(filePath(), tabela);
        QVERIFY(!listed);
        QFETCH(StationFileProblem::Kind, problem);
        QCOMPARE(listed.error().kind, problem);
        const QString error = stationFileProblemText(listed.error());
        QVERIFY2(error.contains(QDir::toNativeSeparators(filePath())), qPrintable(error));
        for (int n = 1; n <= StationTable::Entries; ++n)
            QCOMPARE(tabela.entry(n), previous.entry(n));
    }

    void unreadableFileFails()
    {
        QVERIFY(writeAll(filePath(), "Posto\r\n"));
        QVERIFY(QFile::setPermissions(filePath(), QFileDevice::WriteOwner));
        QFile probe(filePath());
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission (root)");
        const Result<QVector<StationEntry>, StationFileProblem> items = readStationItems(filePath());
        QVERIFY(!items);
        QVERIFY(stationFileProblemText(items.error()).contains(QDir::toNativeSeparators(filePath())));
    }

    void stationsInUseKeepEntryNumbers()
    {
        StationTable tabela;
        tabela.entry(2).description = QStringLiteral("Dois");
        tabela.entry(3).host = QStringLiteral("10.0.0.3");
        tabela.entry(5).description = QStringLiteral(" Cinco ");
        tabela.entry(40).description = QStringLiteral("Quarenta");
        const QVector<ListedStation> expected{{"Dois", 2}, {" Cinco ", 5}, {"Quarenta", 40}};
        QCOMPARE(stationsInUse(tabela), expected);
    }

    void saveRefusesFieldsTheFileCannotHold_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<StationEntry>("local");
        QTest::addColumn<QString>("message");

        QTest::newRow("31 characters") << 7 << StationEntry{QString(31, u'x'), "", ""}
                                       << u"Item 7: o campo Descrição tem mais de 30 caracteres."_qs;
        QTest::newRow("comma") << 3 << StationEntry{"Posto", "10.0.0.1,2", ""}
                               << u"Item 3: o campo IP não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("double quote") << 40 << StationEntry{"Posto", "10.0.0.1", "40\"01"}
                                      << u"Item 40: o campo Port não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("line break") << 1 << StationEntry{"Posto\nNovo", "", ""}
                                    << u"Item 1: o campo Descrição não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("no Windows-1252 byte") << 2 << StationEntry{u"Posto Ω"_qs, "", ""}
                                              << u"Item 2: o campo Descrição tem caracteres que não podem ser gravados no arquivo."_qs;
        QTest::newRow("description starting with a space") << 5 << StationEntry{" Posto", "", ""}
                                                            << u"Item 5: o campo Descrição não pode começar com espaço."_qs;
        QTest::newRow("first field IP starting with a space") << 6 << StationEntry{"", " 10.0.0.6", ""}
                                                              << u"Item 6: o campo IP não pode começar com espaço."_qs;
    }
    void saveRefusesFieldsTheFileCannotHold()
    {
        QFETCH(int, row);
        QFETCH(StationEntry, local);
        QFETCH(QString, message);

        StationTable tabela;
        tabela.entry(1) = {"Posto Centro", "192.168.0.10", "4001"};
        QVERIFY(saveStationFile(dataDir(), tabela).ok());
        const QByteArray before = readAll(filePath());

        tabela.entry(row) = local;
        const Result<void, StationFileProblem> saved = saveStationFile(dataDir(), tabela);
        QVERIFY(!saved);
        QCOMPARE(stationFileProblemText(saved.error()), message);
        QCOMPARE(readAll(filePath()), before);
    }

    void saveCreatesMissingDataDirectory()
    {
        const QString nested = temporaryDir.path() + QStringLiteral("/a/b/ComZelta/");
        StationTable tabela;
        tabela.entry(1).description = QStringLiteral("Posto");
        const Result<void, StationFileProblem> saved = saveStationFile(nested, tabela);
        QVERIFY2(saved, qPrintable(saved ? QString() : stationFileProblemText(saved.error())));
        QCOMPARE(readAll(stationFilePath(nested)), padded("Posto") + "\r\n" + emptyLines(39));
    }

    void problemTextIsTheOperatorsSentence_data()
    {
        using Kind = StationFileProblem::Kind;
        using Field = StationFileProblem::Field;
        QTest::addColumn<StationFileProblem>("problem");
        QTest::addColumn<QString>("text");
        const QString file = QStringLiteral("/dados/Configuração.TXT");
        QTest::newRow("not opened") << StationFileProblem{Kind::NotOpened, file, file + u" não existe"_qs}
                                    << u"/dados/Configuração.TXT não existe."_qs;
        QTest::newRow("read failed") << StationFileProblem{Kind::ReadFailed, file, u"erro de leitura"_qs}
                                     << u"Erro ao ler o arquivo /dados/Configuração.TXT: erro de leitura."_qs;
        QTest::newRow("too large") << StationFileProblem{Kind::TooLarge, file, {}}
                                   << u"O arquivo /dados/Configuração.TXT é grande demais para uma lista de locais."_qs;
        QTest::newRow("field too long") << StationFileProblem{Kind::FieldTooLong, {}, {}, 12, Field::Port}
                                        << u"Item 12: o campo Port tem mais de 30 caracteres."_qs;
        QTest::newRow("field splits the line") << StationFileProblem{Kind::FieldSplitsLine, {}, {}, 3, Field::Host}
                                               << u"Item 3: o campo IP não pode conter vírgula, aspas nem quebra de linha."_qs;
        QTest::newRow("field not writable")
            << StationFileProblem{Kind::FieldNotWritable, {}, {}, 2, Field::Description}
            << u"Item 2: o campo Descrição tem caracteres que não podem ser gravados no arquivo."_qs;
        QTest::newRow("field starts blank") << StationFileProblem{Kind::FieldStartsBlank, {}, {}, 40, Field::Host}
                                            << u"Item 40: o campo IP não pode começar com espaço."_qs;
        QTest::newRow("partial station")
            << StationFileProblem{Kind::PartialStation, {}, {}, 6, Field::Port}
            << u"Item 6: o campo Port está vazio; preencha Descrição, IP e Port, ou deixe os três vazios."_qs;
        QTest::newRow("folder not created") << StationFileProblem{Kind::FolderNotCreated, u"/dados/"_qs, {}}
                                            << u"Não foi possível criar a pasta /dados/."_qs;
        QTest::newRow("write failed") << StationFileProblem{Kind::WriteFailed, file, u"disco cheio"_qs}
                                      << u"Não foi possível gravar o arquivo /dados/Configuração.TXT: disco cheio."_qs;
    }
    void problemTextIsTheOperatorsSentence()
    {
        QFETCH(StationFileProblem, problem);
        QFETCH(QString, text);
        QCOMPARE(stationFileProblemText(problem), text);
    }

    void failedSaveIsReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<StationFileProblem::Kind>("problem");
        QTest::newRow("data directory is a file") << "file" << StationFileProblem::Kind::FolderNotCreated;
        QTest::newRow("station file is a directory") << "directory" << StationFileProblem::Kind::WriteFailed;
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
        const Result<void, StationFileProblem> saved = saveStationFile(directory, StationTable());
        QVERIFY(!saved);
        QFETCH(StationFileProblem::Kind, problem);
        QCOMPARE(saved.error().kind, problem);
        const QString error = stationFileProblemText(saved.error());
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
        const StationTable previous = previousTable();
        QVERIFY(saveStationFile(directory, previous).ok());
        const QByteArray saved = readAll(stationFilePath(directory));
        QFile filler(mountPoint + QStringLiteral("/enchimento"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
        filler.close();

        StationTable changed = previous;
        changed.entry(40) = {QStringLiteral("Posto Novo"), QStringLiteral("10.0.0.40"), QStringLiteral("4001")};
        const Result<void, StationFileProblem> refused = saveStationFile(directory, changed);
        QVERIFY(!refused);
        const QString error = stationFileProblemText(refused.error());
        QVERIFY2(error.contains(QDir::toNativeSeparators(stationFilePath(directory))), qPrintable(error));
        QCOMPARE(readAll(stationFilePath(directory)), saved);
    }
};

QTEST_GUILESS_MAIN(TestStationFile)
#include "tst_station_file.moc"
