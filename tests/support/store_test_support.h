#pragma once

#include "session/readings.h"
#include "store/history_store.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// What the store tests share: the engine they run on, readings as the session decodes them from
// real frames, waiting for commits, and a connection of the test's own to look at the history.

// Each program runs on SQLite, or on the tests' PostgreSQL server when COMZELTA_POSTGRES_URL_FILE
// names the file that holds its URL (CTest's "…_postgres" entries).
bool onPostgres();
// How long a test waits on the server or on other processes. A wait that is met ends at once, so
// this only bounds a failure; CI runs a sanitized build on two loaded cores.
constexpr int ServerWaitMs = 30000;
// Why the engine cannot be used (the server was not started, the driver is missing); empty when it can.
QString engineMissing();
// In initTestCase: skips the program without its engine, or fails it under CI=true.
#define REQUIRE_TEST_ENGINE()                                                                      \
    do {                                                                                           \
        const QString missing = engineMissing();                                                   \
        if (!missing.isEmpty()) {                                                                  \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                               \
                QFAIL(qPrintable(missing));                                                        \
            QSKIP(qPrintable(missing));                                                            \
        }                                                                                          \
    } while (false)

// Runs the statements on a connection of its own, stopping at the first that fails (with a warning).
bool runStatements(const DatabaseLocation &location, const QStringList &statements);

// A history of the test's own, empty when made: Historico.sqlite in a new temporary directory, or
// the server's database with its schema emptied, so a case never sees another's rows.
class TestHistory {
public:
    TestHistory();
    ~TestHistory();
    TestHistory(const TestHistory &) = delete;
    TestHistory &operator=(const TestHistory &) = delete;

    const DatabaseLocation &location() const { return location_; }

private:
    std::unique_ptr<QTemporaryDir> directory_;
    DatabaseLocation location_;
};

// A measurement reply decoded from its frame. `complementary` and `level` are the 6-character
// fields as the controller sends them; `mark` is position 70 ('P' for a tank measured by weight).
struct MeasurementFrame {
    QByteArray code = "MT";
    QByteArray tank = "001";
    QByteArray product = "GASOLINA C ";
    QByteArray measured = "012000";
    QByteArray complementary = "018000";
    QByteArray volume20 = "011950";
    QByteArray level = "001200";
    QByteArray time = "100000";
    QByteArray date = "150324";
    char mark = ' ';
    bool goodCheckByte = true;

    QByteArray frame() const;
    MeasurementReading reading() const;
};

// The frame of a reply body: STX, body, ETX and the check byte, right or spoiled.
QByteArray replyFrame(const QByteArray &body, bool goodCheckByte = true);

// Waits, spinning the event loop, until the store reports the commit of `sequence`.
bool waitForWritten(HistoryStore &store, quint64 sequence, int timeoutMs = 10000);

// A read-only connection of the test's own to the history. Its texts read the same on both
// engines: booleans as 1 and 0, times as SQLite keeps them.
class FileInspector {
public:
    explicit FileInspector(const DatabaseLocation &location);
    ~FileInspector();

    // The first column of the first row; an invalid QVariant when there is none.
    QVariant scalar(const QString &sql) const;
    // Every row, each as its columns.
    QList<QVariantList> rows(const QString &sql) const;
    // Every row as its columns' texts joined by '|', "NULL" for NULL.
    QStringList texts(const QString &sql) const;

private:
    QString name_;
};
