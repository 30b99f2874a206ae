// The tests' own PostgreSQL server through Qt's QPSQL driver: values written and read back as the
// driver maps them, and advisory locks held by one connection and refused to another.
#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

namespace {

// One named QPSQL connection to postgresql://USER@/DATABASE?host=SOCKET_DIRECTORY, removed with it.
class Connection {
public:
    Connection(const QUrl &url, const QString &name)
        : name_(name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
        db.setHostName(QUrlQuery(url).queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded));
        db.setDatabaseName(url.path().mid(1));
        db.setUserName(url.userName());
        if (url.port() != -1)
            db.setPort(url.port());
        if (!db.open())
            error_ = db.lastError().text();
    }
    ~Connection()
    {
        close();
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
    QString error() const { return error_; }
    void close() { QSqlDatabase::database(name_, false).close(); }

    // The first column of the first row of a statement with bound values; invalid on error.
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(db());
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return {};
        }
        return query.value(0);
    }

private:
    QString name_;
    QString error_;
};

QDateTime at(const QString &iso)
{
    return QDateTime::fromString(iso, Qt::ISODate);
}

} // namespace

class TestPostgresConnection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(POSTGRES_URL_FILE));
        QString missing;
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            missing = QStringLiteral("the QPSQL driver is not installed; "
                                     "scripts/install-deps installs libqt6sql6-psql");
        else if (!file.open(QIODevice::ReadOnly))
            missing = QStringLiteral("no PostgreSQL test server (%1 is missing: postgres_start was skipped)")
                          .arg(file.fileName());
        if (!missing.isEmpty()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                QFAIL(qPrintable(missing));
            QSKIP(qPrintable(missing));
        }
        url_ = QUrl(QString::fromUtf8(file.readAll().trimmed()));
        QVERIFY2(url_.isValid() && url_.path().size() > 1, qPrintable(url_.toString()));

        const Connection connection(url_, QStringLiteral("setup"));
        QVERIFY2(connection.error().isEmpty(), qPrintable(connection.error()));
        QSqlQuery query(connection.db());
        QVERIFY2(query.exec(QStringLiteral("DROP TABLE IF EXISTS tank_reading")),
                 qPrintable(query.lastError().text()));
        QVERIFY2(query.exec(QStringLiteral("CREATE TABLE tank_reading (tank integer PRIMARY KEY, product text NOT NULL, "
                                           "volume numeric(15,3), measured_at timestamptz)")),
                 qPrintable(query.lastError().text()));
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<int>("tank");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QVariant>("volume");
        QTest::addColumn<QDateTime>("measuredAt");
        QTest::newRow("plain") << 1 << "Diesel S10" << QVariant(12000.5) << at("2024-03-15T10:00:00Z");
        // Counted by the server in characters: a database created as SQL_ASCII would count bytes.
        QTest::newRow("accents and a dash") << 2 << "Gasolina Aditivada – São João" << QVariant(0.125)
                                            << at("2024-03-15T10:00:00Z");
        QTest::newRow("no volume") << 3 << "Etanol" << QVariant() << at("2024-03-15T10:00:00Z");
        QTest::newRow("billions with three decimals")
            << 4 << "Querosene" << QVariant(987654321.125) << at("2024-03-15T10:00:00Z");
        QTest::newRow("local time three hours behind UTC")
            << 5 << "Arla 32" << QVariant(450.0) << at("2024-03-15T07:00:00-03:00");
        QTest::newRow("no time") << 6 << "Biodiesel" << QVariant(1.0) << QDateTime();
    }

    void valuesRoundTrip()
    {
        QFETCH(int, tank);
        QFETCH(QString, product);
        QFETCH(QVariant, volume);
        QFETCH(QDateTime, measuredAt);
        const Connection connection(url_, QStringLiteral("values"));
        QVERIFY2(connection.error().isEmpty(), qPrintable(connection.error()));
        {
            QSqlQuery insert(connection.db());
            insert.prepare(QStringLiteral("INSERT INTO tank_reading (tank, product, volume, measured_at) "
                                          "VALUES (?, ?, ?, ?)"));
            insert.addBindValue(tank);
            insert.addBindValue(product);
            insert.addBindValue(volume.isValid() ? volume : QVariant(QMetaType::fromType<double>()));
            insert.addBindValue(measuredAt.isValid() ? QVariant(measuredAt)
                                                     : QVariant(QMetaType::fromType<QDateTime>()));
            QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
        }
        QSqlQuery select(connection.db());
        select.prepare(QStringLiteral("SELECT product, char_length(product), volume, measured_at "
                                      "FROM tank_reading WHERE tank = ?"));
        select.addBindValue(tank);
        QVERIFY2(select.exec(), qPrintable(select.lastError().text()));
        QVERIFY(select.next());
        QCOMPARE(select.value(0).toString(), product);
        QCOMPARE(select.value(1).toInt(), product.size());
        QCOMPARE(select.value(2).isNull(), !volume.isValid());
        if (volume.isValid())
            QCOMPARE(select.value(2).toDouble(), volume.toDouble());
        QCOMPARE(select.value(3).isNull(), !measuredAt.isValid());
        if (measuredAt.isValid())
            QCOMPARE(select.value(3).toDateTime().toUTC(), measuredAt.toUTC());
        QVERIFY(!select.next());
    }

    void advisoryLock_data()
    {
        QTest::addColumn<qint64>("heldKey");
        QTest::addColumn<qint64>("askedKey");
        // What the holder does before the other connection asks: "keep", "unlock" or "disconnect".
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("granted");
        // Each row has keys of its own: a closed connection's locks are let go a moment later.
        QTest::newRow("same key, held") << qint64(7001) << qint64(7001) << "keep" << false;
        QTest::newRow("another key") << qint64(7002) << qint64(7003) << "keep" << true;
        QTest::newRow("same key, unlocked") << qint64(7004) << qint64(7004) << "unlock" << true;
        QTest::newRow("same key, holder gone") << qint64(7005) << qint64(7005) << "disconnect" << true;
        QTest::newRow("same key past 32 bits, held") << (qint64(1) << 32 | 7006) << (qint64(1) << 32 | 7006) << "keep"
                                                     << false;
        // A key cut to 32 bits on its way to the server would make these two one.
        QTest::newRow("keys equal in their low 32 bits") << (qint64(1) << 32 | 7007) << qint64(7007) << "keep" << true;
    }

    void advisoryLock()
    {
        QFETCH(qint64, heldKey);
        QFETCH(qint64, askedKey);
        QFETCH(QString, holder);
        QFETCH(bool, granted);
        const QString lock = QStringLiteral("SELECT pg_try_advisory_lock(?)");
        Connection first(url_, QStringLiteral("holder"));
        const Connection second(url_, QStringLiteral("other"));
        QVERIFY2(first.error().isEmpty() && second.error().isEmpty(), qPrintable(first.error() + second.error()));

        QCOMPARE(first.scalar(lock, {heldKey}), QVariant(true));
        const QVariant holderPid = first.scalar(QStringLiteral("SELECT pg_backend_pid()"));
        QVERIFY(holderPid.isValid());
        if (holder == QLatin1String("unlock"))
            QCOMPARE(first.scalar(QStringLiteral("SELECT pg_advisory_unlock(?)"), {heldKey}), QVariant(true));
        if (holder == QLatin1String("disconnect")) {
            first.close();
            // The server lets the lock go once the holder's backend has ended, a moment after the
            // close; on CI's two loaded cores that moment has taken more than five seconds.
            QTRY_COMPARE_WITH_TIMEOUT(second.scalar(QStringLiteral("SELECT count(*) FROM pg_locks "
                                                                   "WHERE locktype = 'advisory' AND pid = ?"),
                                                    {holderPid})
                                          .toInt(),
                                      0, 30000);
        }
        QCOMPARE(second.scalar(lock, {askedKey}), QVariant(granted));
    }

private:
    QUrl url_;
};

QTEST_GUILESS_MAIN(TestPostgresConnection)
#include "tst_postgres_connection.moc"
