// The store under faults: a writer killed at any moment, a reader beside the
// writer, a full disk, a read-only file, another program holding the lock, the
// directory removed.
//
// The test program also plays the other process: run with --write-until-killed
// it writes readings and reports each commit until it is killed; with
// --read-while-written it queries the file over and over and reports how long
// the longest query took.
#include "store/history_file.h"
#include "store/history_queries.h"
#include "tests/support/store_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const StationIdentity Station{QStringLiteral("Posto Sul"), QStringLiteral("10.2.2.2"), QStringLiteral("003300"),
                              QStringLiteral("UTC")};
constexpr int BoundMs = 2000;  // the longest either process may wait for the other
const QDateTime FirstReading(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc());

// Reading number `index`: tank 1 to 16, one minute after the previous one of
// the same tank.
MeasurementFrame numberedReading(int index, const QByteArray &code = "MT")
{
    const QDateTime at = FirstReading.addSecs(60 * (index / 16));
    MeasurementFrame frame;
    frame.code = code;
    frame.tank = QByteArray::number(index % 16 + 1).rightJustified(3, '0');
    frame.measured = QByteArray::number(1000 + index % 9000).rightJustified(6, '0');
    frame.time = at.toString(QStringLiteral("HHmmss")).toLatin1();
    frame.date = at.toString(QStringLiteral("ddMMyy")).toLatin1();
    return frame;
}

QString readingKey(int index)
{
    return QStringLiteral("%1|%2")
        .arg(index % 16 + 1)
        .arg(FirstReading.addSecs(60 * (index / 16)).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")));
}

QString historyIn(const QTemporaryDir &directory)
{
    return HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
}

// The child of the SIGKILL test: one reply per call, or 16-reply inventories,
// as fast as the store commits them, with a few calls in flight. Prints the
// readings of each reported commit.
int writeUntilKilled(const QString &filePath, bool inventories)
{
    HistoryStore store(filePath);
    int next = 0;
    QHash<quint64, QPair<int, int>> readingsOf;  // sequence -> first reading, count
    quint64 committed = 0;
    QObject::connect(&store, &HistoryStore::written, [&](quint64 sequence) {
        committed = sequence;
        const QPair<int, int> readings = readingsOf.take(sequence);
        for (int i = readings.first; i < readings.first + readings.second; ++i)
            std::printf("committed %d\n", i);
        std::fflush(stdout);
    });
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        if (readingsOf.size() >= 8)
            return;
        if (inventories) {
            QList<MeasurementReading> series;
            for (int i = 0; i < 16; ++i)
                series.append(numberedReading(next + i, "MA").reading());
            readingsOf.insert(store.keepInventory(Station, series, Origin::Poll), {next, 16});
            next += 16;
        } else {
            readingsOf.insert(store.keepMeasurement(Station, numberedReading(next).reading(), Origin::Poll), {next, 1});
            ++next;
        }
    });
    pace.start(0);
    Q_UNUSED(committed)
    return QCoreApplication::exec();
}

// The child of the reader test: `rounds` times the history window's questions,
// each timed.
int readWhileWritten(const QString &filePath, int rounds)
{
    const QString name = QStringLiteral("reader");
    if (const auto opened = openForReading(name, filePath, BoundMs); !opened) {
        std::printf("failed %s\n", qPrintable(historyOpenProblemText(opened.error())));
        return 1;
    }
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    SeriesRequest request;
    request.stationId = 1;
    request.tank = 1;
    request.from = FirstReading;
    request.to = FirstReading.addYears(1);
    double longestMs = 0;
    int failures = 0;
    qsizetype firstSize = -1;
    qsizetype lastSize = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const Result<SeriesPoints, QSqlError> points = querySeries(db, request);
        const Result<RowsPage, QSqlError> page = queryRows(db, request, 0, 50);
        longestMs = std::max(longestMs, timer.nsecsElapsed() / 1e6);
        if (!points || !page) {
            ++failures;
            continue;
        }
        lastSize = points->size();
        if (firstSize < 0)
            firstSize = lastSize;
    }
    std::printf("longest %.1f failures %d first %lld last %lld\n", longestMs, failures, qlonglong(firstSize),
                qlonglong(lastSize));
    return 0;
}

// A second program's connection that takes the write lock and holds it.
class LockHolder {
public:
    explicit LockHolder(const QString &filePath)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name());
        db.setDatabaseName(filePath);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE")));
    }
    ~LockHolder() { release(); }
    void release()
    {
        if (!QSqlDatabase::contains(name()))
            return;
        QSqlQuery(QSqlDatabase::database(name(), false)).exec(QStringLiteral("ROLLBACK"));
        QSqlDatabase::database(name(), false).close();
        QSqlDatabase::removeDatabase(name());
    }

private:
    static QString name() { return QStringLiteral("lock-holder"); }
};

enum class Fault { DiskFull, ReadOnly, Locked, DirectoryGone };

}  // namespace

Q_DECLARE_METATYPE(Fault)

class TestStoreReliability : public QObject {
    Q_OBJECT

private slots:
    // SIGKILL at an arbitrary moment of the writing. This shows that a commit
    // once reported survives the process dying at any instant (SQLite's atomic
    // commit and WAL recovery); it does not show durability across a power loss,
    // which rests on the disk honouring fsync.
    void killedWriter_data()
    {
        QTest::addColumn<bool>("inventories");
        QTest::addColumn<int>("commitsBeforeKill");
        QTest::newRow("replies, killed after the first commit") << false << 1;
        QTest::newRow("replies, killed after 60 commits") << false << 60;
        QTest::newRow("inventories, killed after 10 series") << true << 160;
    }
    void killedWriter()
    {
        QFETCH(bool, inventories);
        QFETCH(int, commitsBeforeKill);
        QTemporaryDir directory;
        const QString path = historyIn(directory);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-until-killed"), path,
                                                              inventories ? QStringLiteral("inventories") : QString()});
        QSet<QString> reported;
        QByteArray output;
        QVERIFY(QTest::qWaitFor(
            [&] {
                output += child.readAllStandardOutput();
                while (output.contains('\n')) {
                    const qsizetype end = output.indexOf('\n');
                    const QByteArray line = output.left(end);
                    output.remove(0, end + 1);
                    if (line.startsWith("committed "))
                        reported.insert(readingKey(line.mid(10).toInt()));
                }
                return reported.size() >= commitsBeforeKill;
            },
            30000));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        {
            // Reopened by the store, which must go on writing.
            HistoryStore reopened(path);
            QVERIFY(waitForWritten(reopened, reopened.keepEvent(Station, EventKind::ConnectionOpened, {})));
        }
        const FileInspector file(path);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const QStringList stored = file.texts(QStringLiteral("SELECT tank, measured_at FROM measurement"));
        const QSet<QString> kept(stored.begin(), stored.end());
        for (const QString &key : reported)
            QVERIFY2(kept.contains(key), qPrintable(key));
        // An inventory is whole or absent: never a series cut short.
        if (inventories)
            QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM inventory_item")).toInt() % 16, 0);
    }

    // Another process reads while this one writes; neither waits on the other
    // beyond a bound.
    void readerBesideWriter()
    {
        QTemporaryDir directory;
        const QString path = historyIn(directory);
        HistoryStore store(path);
        constexpr int Before = 64;
        for (int index = 0; index < Before; ++index)
            store.keepMeasurement(Station, numberedReading(index).reading(), Origin::Poll);
        QVERIFY(waitForWritten(store, Before));

        QProcess reader;
        reader.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--read-while-written"), path, QStringLiteral("300")});
        QVERIFY(reader.waitForStarted());
        qint64 longestCommitMs = 0;
        int commits = 0;
        while (reader.state() != QProcess::NotRunning) {
            QElapsedTimer commit;
            commit.start();
            // Tank 1 every time, so the series the reader asks for grows while it
            // reads.
            const quint64 sequence = store.keepMeasurement(Station, numberedReading(Before + 16 * commits).reading(),
                                                           Origin::Poll);
            QVERIFY(waitForWritten(store, sequence, BoundMs * 5));
            longestCommitMs = std::max(longestCommitMs, commit.elapsed());
            ++commits;
        }
        QCOMPARE(reader.exitCode(), 0);
        const QList<QByteArray> report = reader.readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(report.size(), 8);
        QVERIFY2(report[1].toDouble() < BoundMs, report[1].constData());
        QCOMPARE(report[3].toInt(), 0);
        QVERIFY2(report[7].toInt() > report[5].toInt(), "the reader saw no commit");
        QVERIFY2(longestCommitMs < BoundMs, qPrintable(QString::number(longestCommitMs)));
        QVERIFY(commits > 1);
    }

    // Writes that fail never hold up the caller: the reason is signalled once,
    // the readings wait in the bounded queue, and once writes work again the
    // drops are recorded.
    void writesFail_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("repairable");
        QTest::newRow("disk full (max_page_count)") << Fault::DiskFull << "disco cheio" << false;
        // QSQLITE_OPEN_READONLY opens the file as mode=ro would; chmod does not
        // stop root.
        QTest::newRow("read-only connection") << Fault::ReadOnly << "arquivo somente para leitura" << false;
        QTest::newRow("locked by another program") << Fault::Locked << "arquivo bloqueado por outro programa" << true;
#ifndef Q_OS_WIN
        // Windows refuses to remove a folder while a file in it is open.
        QTest::newRow("directory removed") << Fault::DirectoryGone << "a pasta do histórico não existe" << true;
#endif
    }
    void writesFail()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, reason);
        QFETCH(bool, repairable);
        QTemporaryDir directory;
        const QString path = historyIn(directory);
        {
            HistoryStore first(path);
            QVERIFY(waitForWritten(first, first.keepMeasurement(Station, numberedReading(0).reading(), Origin::Poll)));
        }
        HistoryStoreOptions options;
        options.queueCapacity = 5;
        options.retryIntervalMs = 50;
        options.busyTimeoutMs = 100;
        if (fault == Fault::DiskFull)
            options.maxPageCount = 1;  // no larger than it is now
        if (fault == Fault::ReadOnly)
            options.connectOptions = QStringLiteral("QSQLITE_OPEN_READONLY");
        std::optional<LockHolder> lock;
        if (fault == Fault::Locked)
            lock.emplace(path);

        auto store = std::make_unique<HistoryStore>(path, options);
        QSignalSpy failing(store.get(), &HistoryStore::writesFailing);
        QSignalSpy working(store.get(), &HistoryStore::writesWorking);
        QSignalSpy written(store.get(), &HistoryStore::written);
        int kept = 1;
        if (fault == Fault::DirectoryGone) {
            // Removed under the open connection, which would otherwise write to a
            // file no one sees.
            QVERIFY(waitForWritten(*store,
                                   store->keepMeasurement(Station, numberedReading(kept++).reading(), Origin::Poll)));
            QVERIFY(QDir(directory.path()).removeRecursively());
        }
        int ticks = 0;
        QTimer loop;
        connect(&loop, &QTimer::timeout, [&] { ++ticks; });
        loop.start(10);
        // Keep readings until writes fail (a full disk takes a few pages first),
        // then some more.
        qint64 longestCallNs = 0;
        int keptWhileFailing = 0;
        QElapsedTimer elapsed;
        elapsed.start();
        while (keptWhileFailing < 12 && elapsed.elapsed() < 20000) {
            QElapsedTimer call;
            call.start();
            store->keepMeasurement(Station, numberedReading(kept++).reading(), Origin::Poll);
            longestCallNs = std::max(longestCallNs, call.nsecsElapsed());
            keptWhileFailing += store->writesAreFailing() ? 1 : 0;
            QTest::qWait(5);
        }
        QCOMPARE(keptWhileFailing, 12);
        QCOMPARE(failing.size(), 1);
        QVERIFY2(failing.first().first().toString().startsWith(reason), qPrintable(failing.first().first().toString()));
        QCOMPARE(store->failureReason(), failing.first().first().toString());
        QVERIFY2(longestCallNs < 20'000'000, qPrintable(QString::number(longestCallNs)));
        QVERIFY2(ticks > elapsed.elapsed() / 10 / 4,
                 qPrintable(QString::number(ticks)));  // the loop kept running
        if (!repairable) {
            // Closing gives up on what it still cannot write, and says how much.
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression(QStringLiteral("^Histórico: \\d+ leituras e 0 eventos não gravados ao "
                                                                "fechar: ")
                                                 + reason));
            store.reset();
            return;
        }

        const qsizetype writtenBefore = written.size();
        if (fault == Fault::Locked)
            lock->release();
        if (fault == Fault::DirectoryGone)
            QVERIFY(QDir().mkpath(directory.path()));
        QVERIFY(QTest::qWaitFor([&] { return !working.isEmpty(); }, 10000));
        QVERIFY(!store->writesAreFailing());
        // The reading being written when the fault came, and the five the queue
        // held.
        QTRY_COMPARE_WITH_TIMEOUT(written.size() - writtenBefore, 6, 10000);
        const FileInspector file(path);
        const QString dropped = QStringLiteral("%1 leituras e 0 eventos descartados").arg(kept - 1 - written.size());
        QTRY_COMPARE_WITH_TIMEOUT(
            file.scalar(QStringLiteral("SELECT COUNT(*) FROM event WHERE kind = 'readings_dropped'")).toInt(), 1,
            ServerWaitMs);
        const QString detail =
            file.scalar(QStringLiteral("SELECT detail FROM event WHERE kind = 'readings_dropped'")).toString();
        QVERIFY2(detail.startsWith(dropped), qPrintable(detail));
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    // What is still queued when the store is destroyed is written before it
    // closes. The history names every station and its readings: a new one is its
    // owner's only, whatever the umask, the write-ahead log and its index
    // included.
    void filesOwnerOnly_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("Historico.sqlite") << QString();
        QTest::newRow("-wal") << QStringLiteral("-wal");
        QTest::newRow("-shm") << QStringLiteral("-shm");
    }
    void filesOwnerOnly()
    {
#ifndef Q_OS_UNIX
        QSKIP("POSIX permissions: Windows files have none of these bits");
#else
        QFETCH(QString, suffix);
        const mode_t previous = ::umask(022);
        const auto restore = qScopeGuard([previous] { ::umask(previous); });
        QTemporaryDir directory;
        HistoryStore store(historyIn(directory));
        QVERIFY(waitForWritten(store, store.keepMeasurement(Station, numberedReading(0).reading(), Origin::Poll)));
        struct stat status = {};
        QCOMPARE(::stat(QFile::encodeName(historyIn(directory) + suffix).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0600));
#endif
    }

    void destructorWritesWhatIsQueued()
    {
        QTemporaryDir directory;
        const QString path = historyIn(directory);
        {
            HistoryStore store(path);
            for (int i = 0; i < 300; ++i)
                store.keepMeasurement(Station, numberedReading(i).reading(), Origin::Console);
        }
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-wal")));  // closed cleanly, checkpointed
        const FileInspector file(path);
        QCOMPARE(file.scalar(QStringLiteral("SELECT COUNT(*) FROM measurement")).toInt(), 300);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("--write-until-killed"))
        return writeUntilKilled(arguments[2], arguments.value(3) == QLatin1String("inventories"));
    if (arguments.size() >= 4 && arguments[1] == QLatin1String("--read-while-written"))
        return readWhileWritten(arguments[2], arguments[3].toInt());
    TestStoreReliability test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store_reliability.moc"
