// Saving an export all or nothing, and the name it is offered under.
#include "tests/support/file_helpers.h"
#include "export/export_file_name.h"
#include "export/file_saving.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

class TestExportFiles : public QObject {
    Q_OBJECT

private slots:
    void savingReplacesThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Inventario.csv"));
        QVERIFY(writeAll(path, QByteArray(5000, 'v')));
        QCOMPARE(saveWholeFile(path, "novo\r\n"), QString());
        QCOMPARE(readAll(path), QByteArray("novo\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Inventario.csv"});
    }

    void failureKeepsWhatWasThere_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("missing folder") << "missing folder";
        QTest::newRow("folder in the way") << "folder in the way";
        QTest::newRow("full disk") << "full disk";
    }

    // The reason names the file; whatever stood at the path, and nothing else, is left.
    void failureKeepsWhatWasThere()
    {
        QFETCH(QString, situation);
        QTemporaryDir dir;
        QString folder = dir.path();
        QByteArray bytes = "Produto;Volume\r\n";
        std::function<void()> unmount = [] {};
        if (situation == u"missing folder") {
            folder = dir.filePath(QStringLiteral("nao-existe"));
        } else if (situation == u"full disk") {
            folder = dir.filePath(QStringLiteral("cheio"));
            QVERIFY(QDir().mkdir(folder));
            const QStringList mount{QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"), folder};
            if (QProcess::execute(QStringLiteral("mount"), mount) != 0)
                QSKIP("this user cannot mount a small file system");
            unmount = [folder] { QProcess::execute(QStringLiteral("umount"), {folder}); };
            bytes = QByteArray(256 * 1024, 'x');
        }
        const auto cleanUp = qScopeGuard([&] { unmount(); });
        const QString path = folder + QStringLiteral("/Inventario.csv");
        const QByteArray previous = "Produto;Volume\r\nGASOLINA;100\r\n";
        if (situation == u"full disk") {
            QVERIFY(writeAll(path, previous));
        } else if (situation == u"folder in the way") {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(writeAll(path + QStringLiteral("/dentro.txt"), previous));
        }
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

        const QString error = saveWholeFile(path, bytes);
        const QString shownPath = QDir::toNativeSeparators(path);
        QVERIFY2(error.contains(shownPath), qPrintable(error));
        const QString reason = error.mid(error.indexOf(shownPath) + shownPath.size());
        QVERIFY2(reason.size() > QStringLiteral(": .").size(), qPrintable(error));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
        if (situation == u"full disk")
            QCOMPARE(readAll(path), previous);
        else if (situation == u"folder in the way")
            QCOMPARE(readAll(path + QStringLiteral("/dentro.txt")), previous);
        else
            QVERIFY(!QFileInfo::exists(folder));
    }

    void nameFromStationAndTime_data()
    {
        QTest::addColumn<QString>("contents");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("name");
        const QDateTime afternoon(QDate(2026, 12, 7), QTime(15, 30, 59), Qt::LocalTime);
        QTest::newRow("station with a blank") << "Inventario" << "Posto Centro" << afternoon
                                              << "Inventario_Posto-Centro_2026-12-07_1530.csv";
        QTest::newRow("characters Windows refuses")
            << "Log" << "Posto <A>: \"B\"/C\\D|E?F*G" << afternoon << "Log_Posto-A-B-C-D-E-F-G_2026-12-07_1530.csv";
        QTest::newRow("control characters") << "Log" << "Posto\tNorte\r\n" << afternoon
                                            << "Log_Posto-Norte_2026-12-07_1530.csv";
        QTest::newRow("accents kept") << "Log" << "São João" << afternoon << "Log_São-João_2026-12-07_1530.csv";
        QTest::newRow("trailing dot and blanks") << "Log" << " Posto 2. " << afternoon
                                                 << "Log_Posto-2_2026-12-07_1530.csv";
        QTest::newRow("no station") << "Log" << "" << afternoon << "Log_2026-12-07_1530.csv";
        QTest::newRow("nothing usable in the station") << "Log" << "?*:" << afternoon << "Log_2026-12-07_1530.csv";
        QTest::newRow("contents with a date") << "Medicoes-2024-12-31" << "Posto" << afternoon
                                              << "Medicoes-2024-12-31_Posto_2026-12-07_1530.csv";
        // The test runs with TZ=America/Sao_Paulo: the name shows the PC's clock.
        QTest::newRow("UTC time shown as the PC's")
            << "Log" << "Posto" << QDateTime(QDate(2026, 12, 8), QTime(2, 5), Qt::UTC)
            << "Log_Posto_2026-12-07_2305.csv";
    }

    void nameFromStationAndTime()
    {
        QFETCH(QString, contents);
        QFETCH(QString, station);
        QFETCH(QDateTime, at);
        QFETCH(QString, name);
        QCOMPARE(exportFileName(contents, station, at), name);
    }
};

QTEST_GUILESS_MAIN(TestExportFiles)
#include "tst_export_files.moc"
