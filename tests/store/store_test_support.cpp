#include "store_test_support.h"

#include "protocol/bcc.h"
#include "session/reply_decoding.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

MeasurementReading MeasurementFrame::reading() const
{
    const QByteArray body = code + tank + product + "0.0012" "0.74" "030000" + measured + complementary + volume20
        + level + time + date + mark;
    return decodeMeasurementReading(replyFrame(body, goodCheckByte));
}

QByteArray replyFrame(const QByteArray &body, bool goodCheckByte)
{
    QByteArray bytes = '\x02' + body + '\x03';
    const int check = zelta::Calcular_BCC(std::string_view(bytes.constData() + 1, std::size_t(bytes.size() - 1)));
    bytes += char(goodCheckByte ? check : check ^ 0x5A);
    return bytes;
}

bool waitForWritten(HistoryStore &store, quint64 sequence, int timeoutMs)
{
    bool done = false;
    const QMetaObject::Connection connection =
        QObject::connect(&store, &HistoryStore::written, [&](quint64 written) { done = done || written >= sequence; });
    const bool ok = QTest::qWaitFor([&] { return done; }, timeoutMs);
    QObject::disconnect(connection);
    return ok;
}

FileInspector::FileInspector(const QString &filePath)
    : name_(QStringLiteral("inspector-%1").arg(quintptr(this), 0, 16))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        qWarning("FileInspector: %s", qPrintable(db.lastError().text()));
}

FileInspector::~FileInspector()
{
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
}

QVariant FileInspector::scalar(const QString &sql) const
{
    const QList<QVariantList> found = rows(sql);
    return found.isEmpty() || found.first().isEmpty() ? QVariant() : found.first().first();
}

QList<QVariantList> FileInspector::rows(const QString &sql) const
{
    QSqlQuery query(QSqlDatabase::database(name_, false));
    if (!query.exec(sql))
        qWarning("FileInspector: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    QList<QVariantList> found;
    while (query.next()) {
        QVariantList columns;
        for (int i = 0; i < query.record().count(); ++i)
            columns.append(query.value(i));
        found.append(columns);
    }
    return found;
}

QStringList FileInspector::texts(const QString &sql) const
{
    QStringList lines;
    for (const QVariantList &row : rows(sql)) {
        QStringList columns;
        for (const QVariant &value : row)
            columns.append(value.isNull() ? QStringLiteral("NULL") : value.toString());
        lines.append(columns.join(QLatin1Char('|')));
    }
    return lines;
}
