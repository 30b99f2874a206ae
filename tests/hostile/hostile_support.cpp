#include "hostile_support.h"

#include "tests/support/simulators.h"
#include "tests/support/stations.h"
#include "tests/support/store_test_support.h"

#include <QRegularExpression>

const QString HostilePassword = QStringLiteral("TOPSECRET42");
const QString ScheduledDate = QStringLiteral("010324");
const QString KeptControlProduct = QStringLiteral("GAS\uFFFD\uFFFD\uFFFD\uFFFD]0;\uFFFD");
const QString KeptFormulaProduct = QStringLiteral("=cmd|' /C c");

std::unique_ptr<ControllerSimulator> startHostile(const QString &address, ReplyFault fault, const QString &codes)
{
    std::unique_ptr<ControllerSimulator> simulator = startSimulator(hostileStation(), address);
    if (!simulator)
        return nullptr;
    QByteArrayList spoiled;
    for (const QString &code : codes.split(QLatin1Char(','), Qt::SkipEmptyParts))
        spoiled << code.toLatin1();
    simulator->setReplyFault(fault, spoiled);
    return simulator;
}

const QStringList &readingTables()
{
    static const QStringList Tables{QStringLiteral("measurement"), QStringLiteral("sensor_reading"),
                                    QStringLiteral("scheduled_measurement"), QStringLiteral("inventory")};
    return Tables;
}

QList<int> keptReadings(const FileInspector &history)
{
    QList<int> counts;
    for (const QString &table : readingTables())
        counts << history.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    return counts;
}

namespace {

// Every text value of the tables, of every table when none are named.
QStringList historyTexts(const FileInspector &history, QStringList tables = {})
{
    QStringList texts;
    if (tables.isEmpty())
        tables = history.texts(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    for (const QString &table : std::as_const(tables)) {
        for (const QVariantList &row : history.rows(QStringLiteral("SELECT * FROM \"%1\"").arg(table))) {
            for (const QVariant &value : row) {
                if (value.typeId() == QMetaType::QString)
                    texts << value.toString();
            }
        }
    }
    return texts;
}

QString passwordIn(const QString &text)
{
    return text.contains(HostilePassword, Qt::CaseInsensitive) ? QStringLiteral("the password") : QString();
}

// A raw control byte in `text`, named; empty when there is none. Line ends and the tabs between
// the frame log's columns are layout.
QString controlByteIn(const QString &text)
{
    for (const QChar c : text) {
        const bool layout = c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t');
        if ((c.unicode() < 0x20 && !layout) || c.unicode() == 0x7F)
            return QStringLiteral("the control byte 0x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return {};
}

} // namespace

QString brokenRuleOf(const QList<std::pair<QString, QString>> &shown, const FileInspector &history)
{
    for (const auto &[where, text] : shown) {
        const QString found = passwordIn(text).isEmpty() ? controlByteIn(text) : passwordIn(text);
        if (!found.isEmpty())
            return found + QStringLiteral(" in ") + where;
    }
    for (const QString &text : historyTexts(history)) {
        if (!passwordIn(text).isEmpty())
            return QStringLiteral("the password in the history: ") + text;
    }
    for (const QString &text : historyTexts(history, readingTables() + QStringList{QStringLiteral("station")})) {
        if (const QString found = controlByteIn(text); !found.isEmpty())
            return found + QStringLiteral(" in a reading or station of the history: ") + text.toHtmlEscaped();
    }
    const QRegularExpression digits(QStringLiteral("^\\d*$"));
    for (const QString &ofe : history.texts(QStringLiteral("SELECT ofe FROM station WHERE ofe IS NOT NULL"))) {
        if (!digits.match(ofe).hasMatch())
            return QStringLiteral("the station's OFE number kept as \"%1\"").arg(ofe);
    }
    const int strayTanks = history
                               .scalar(QStringLiteral("SELECT COUNT(*) FROM measurement WHERE tank NOT IN (1, 2) OR tank "
                                                      "IN (SELECT tank FROM measurement GROUP BY tank HAVING COUNT(*) > 1)"))
                               .toInt();
    if (strayTanks > 0)
        return QStringLiteral("%1 measurements of a tank the station lacks, or of one tank twice").arg(strayTanks);
    return {};
}
