#include "hostile_support.h"

#include "tests/support/cli_run.h"
#include "tests/support/csv_reader.h"
#include "tests/support/store_test_support.h"

#include <algorithm>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Unusable = QStringLiteral("resposta inválida do controlador");
const QString Any = QStringLiteral("any");  // a count the row leaves open

const QString GuardedFormulaProduct = QStringLiteral("'=cmd|' /C c");

const QStringList NoReadings{"0", "0", "0", "0"};

int asInt(ReplyFault fault)
{
    return int(fault);
}

} // namespace

// comzelta-cli against a controller that misbehaves in one way per row, each on a loopback
// address of its own (127.0.3.x), with a history of its own.
class TestHostileCli : public QObject {
    Q_OBJECT

private:
    struct Outcome {
        ProgramResult run;
        QString out;
        QString err;
        QTemporaryDir data;
        std::unique_ptr<FileInspector> history;
        QList<QByteArray> replies;  // the frames the controller sent, the first 200
    };

    // Runs `arguments` against a new controller playing `fault` on `codes`, and checks what every
    // run must keep to, whatever the controller sent: the password and raw control bytes appear
    // neither in the output nor in the history, and no measurement is kept for a tank the station
    // lacks, nor twice for one tank.
    // `arguments` follow the station's address: the command, and options of the row's own.
    std::unique_ptr<Outcome> run(ReplyFault fault, const QString &codes, const QStringList &arguments,
                                 int ackTimeoutMs = 1000)
    {
        auto outcome = std::make_unique<Outcome>();
        const QString address = QStringLiteral("127.0.3.%1").arg(++lastHost_);
        const std::unique_ptr<ControllerSimulator> simulator = startHostile(address, fault, codes);
        if (!simulator)
            return nullptr;
        simulator->setAckTimeout(ackTimeoutMs);
        connect(simulator.get(), &ControllerSimulator::replySent, this,
                [&replies = outcome->replies](const QString &, const QByteArray &frame) {
                    if (replies.size() < 200)
                        replies << frame;
                });
        outcome->run = runCli(QStringList{"--data-dir", outcome->data.path(), "--timeout", "1", address} + arguments,
                              HostilePassword, outcome->data.path());
        outcome->out = QString::fromUtf8(outcome->run.out);
        outcome->err = QString::fromUtf8(outcome->run.err);
        const QString history = outcome->data.filePath(QStringLiteral("Historico.sqlite"));
        if (!QFile::exists(history)) {
            qWarning("no history was kept");
            return nullptr;
        }
        outcome->history = std::make_unique<FileInspector>(DatabaseLocation(history));
        return outcome;
    }

    static QString brokenRule(const Outcome &outcome)
    {
        return brokenRuleOf({{QStringLiteral("standard output"), outcome.out},
                             {QStringLiteral("standard error"), outcome.err}},
                            *outcome.history);
    }

    static QStringList eventKinds(const Outcome &outcome)
    {
        return outcome.history->texts(QStringLiteral("SELECT DISTINCT kind FROM event"));
    }

    // The expected counts of readingTables(), "any" where a row leaves a table open.
    static void compareReadings(const Outcome &outcome, const QStringList &expected)
    {
        const QList<int> kept = keptReadings(*outcome.history);
        for (int i = 0; i < expected.size(); ++i) {
            if (expected.at(i) == Any)
                continue;
            QVERIFY2(kept.at(i) == expected.at(i).toInt(),
                     qPrintable(QStringLiteral("%1: %2 rows").arg(readingTables().at(i)).arg(kept.at(i))));
        }
    }

    int lastHost_ = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_CLI)).isExecutable());
    }

    // A reply that cannot be read as its request's answer is refused: exit 7 with the reason, no
    // reading kept from it, an "unusable_reading" event instead.
    void unusableReply_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("codes");  // the request codes whose replies are spoiled; empty: all
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QStringList>("kept");  // rows per reading table

        const QStringList identify{"identify"};
        const QStringList clock{"clock"};
        const QStringList setClock{"set-clock"};
        const QStringList measure{"measure", "1"};
        const QStringList memory{"memory", "1"};
        const QStringList inventory{"inventory"};
        const QStringList sensors{"sensors"};
        const QStringList scheduled{"scheduled", ScheduledDate};
        const QStringList tankError{"measure", "5"};
        // The other tank of an inventory may still be kept.
        const QStringList partInventory{Any, "0", "0", Any};

        const struct {
            const char *name;
            const char *codes;
            QStringList command;
        } replies[] = {
            {"identification", "ID", identify}, {"configuration", "CF", identify},
            {"clock", "LR", clock},             {"clock setting", "AR", setClock},
            {"measurement", "MT", measure},     {"memory", "LM", memory},
            {"inventory", "MA", inventory},     {"sensors", "LS", sensors},
            {"scheduled", "MP", scheduled},     {"error reply", "MT", tankError},
        };
        for (const auto &reply : replies) {
            QTest::addRow("%s too short", reply.name)
                << asInt(ReplyFault::Short) << reply.codes << reply.command << NoReadings;
            QTest::addRow("%s too long", reply.name)
                << asInt(ReplyFault::Long) << reply.codes << reply.command << NoReadings;
        }
        QTest::newRow("measurement, product one byte too long")
            << asInt(ReplyFault::LongProduct) << "MT" << measure << NoReadings;
        QTest::newRow("memory, product one byte too long")
            << asInt(ReplyFault::LongProduct) << "LM" << memory << NoReadings;
        QTest::newRow("inventory, products one byte too long")
            << asInt(ReplyFault::LongProduct) << "MA" << inventory << NoReadings;

        QTest::newRow("measurement of tank 9 for tank 1")
            << asInt(ReplyFault::OtherTank) << "MT" << measure << NoReadings;
        QTest::newRow("measurement of tank 000") << asInt(ReplyFault::ZeroTank) << "MT" << measure << NoReadings;
        QTest::newRow("measurement of tank -1") << asInt(ReplyFault::NegativeTank) << "MT" << measure << NoReadings;
        QTest::newRow("memory of tank 9 for tank 1") << asInt(ReplyFault::OtherTank) << "LM" << memory << NoReadings;
        QTest::newRow("memory of tank 000") << asInt(ReplyFault::ZeroTank) << "LM" << memory << NoReadings;
        QTest::newRow("inventory with tank 9 of 2")
            << asInt(ReplyFault::OtherTank) << "MA" << inventory << partInventory;
        QTest::newRow("inventory with tank 000") << asInt(ReplyFault::ZeroTank) << "MA" << inventory << partInventory;
        QTest::newRow("inventory with tank -1")
            << asInt(ReplyFault::NegativeTank) << "MA" << inventory << partInventory;
        QTest::newRow("inventory with tank 1 twice")
            << asInt(ReplyFault::RepeatedTank) << "MA" << inventory << partInventory;
        QTest::newRow("scheduled record of tank 000")
            << asInt(ReplyFault::ZeroTank) << "MP" << scheduled << NoReadings;
        QTest::newRow("scheduled record of tank -1")
            << asInt(ReplyFault::NegativeTank) << "MP" << scheduled << NoReadings;

        // Fields that must be digits.
        QTest::newRow("configuration, control bytes in the tank count")
            << asInt(ReplyFault::ControlBytes) << "CF" << identify << NoReadings;
        QTest::newRow("clock, control bytes in the day of the week")
            << asInt(ReplyFault::ControlBytes) << "LR" << clock << NoReadings;
        QTest::newRow("clock setting, control bytes in the day of the week")
            << asInt(ReplyFault::ControlBytes) << "AR" << setClock << NoReadings;
        QTest::newRow("scheduled, control bytes in the tank")
            << asInt(ReplyFault::ControlBytes) << "MP" << scheduled << NoReadings;

        QTest::newRow("clock at 25:61") << asInt(ReplyFault::ClockTime) << "LR" << clock << NoReadings;
        QTest::newRow("clock on 31/02") << asInt(ReplyFault::ClockDate) << "LR" << clock << NoReadings;
        QTest::newRow("clock on 00/00/00") << asInt(ReplyFault::ClockZeroDate) << "LR" << clock << NoReadings;
        QTest::newRow("clock on day 00") << asInt(ReplyFault::ClockWeekday00) << "LR" << clock << NoReadings;
        QTest::newRow("clock on day 99") << asInt(ReplyFault::ClockWeekday99) << "LR" << clock << NoReadings;
        QTest::newRow("clock set to 25:61") << asInt(ReplyFault::ClockTime) << "AR" << setClock << NoReadings;
        QTest::newRow("clock set on 31/02") << asInt(ReplyFault::ClockDate) << "AR" << setClock << NoReadings;
        QTest::newRow("clock set on day 99") << asInt(ReplyFault::ClockWeekday99) << "AR" << setClock << NoReadings;

        QTest::newRow("identification echoed") << asInt(ReplyFault::Echo) << "" << identify << NoReadings;
        QTest::newRow("measurement echoed") << asInt(ReplyFault::Echo) << "MT" << measure << NoReadings;
        QTest::newRow("scheduled echoed") << asInt(ReplyFault::Echo) << "MP" << scheduled << NoReadings;
    }
    void unusableReply()
    {
        QFETCH(int, fault);
        QFETCH(QString, codes);
        QFETCH(QStringList, command);
        QFETCH(QStringList, kept);
        const std::unique_ptr<Outcome> outcome = run(ReplyFault(fault), codes, command);
        QVERIFY(outcome);
        QVERIFY2(outcome->run.exitCode == 7,
                 qPrintable(QStringLiteral("exit %1: %2").arg(outcome->run.exitCode).arg(outcome->err)));
        QVERIFY2(outcome->err.contains(Unusable), qPrintable(outcome->err));
        QVERIFY2(brokenRule(*outcome).isEmpty(), qPrintable(brokenRule(*outcome)));
        compareReadings(*outcome, kept);
        QVERIFY2(eventKinds(*outcome).contains(QStringLiteral("unusable_reading")),
                 qPrintable(eventKinds(*outcome).join(QLatin1Char(' '))));
    }

    // Control bytes in text fields are kept and shown, never passed on: the history holds U+FFFD
    // for each, text output shows them as the frame log does, CSV guards formulas as the exports do.
    void controlBytes_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("shown");     // on standard output
        QTest::addColumn<QStringList>("products");  // kept, as "tank|product"

        const QStringList visible{"<NUL>", "<ESC>", "<LF>"};
        const QString first = QStringLiteral("1|") + KeptControlProduct;
        const QString second = QStringLiteral("2|") + KeptFormulaProduct;
        QTest::newRow("measurement, text") << "MT" << QStringList{"measure", "1"} << 0 << visible << QStringList{first};
        QTest::newRow("memory, text") << "LM" << QStringList{"memory", "1"} << 0 << visible << QStringList{first};
        QTest::newRow("inventory, text") << "MA" << QStringList{"inventory"} << 0
                                         << visible + QStringList{KeptFormulaProduct} << QStringList{first, second};
        QTest::newRow("measurement, csv") << "MT" << QStringList{"--format", "csv", "measure", "2"} << 0
                                          << QStringList{GuardedFormulaProduct} << QStringList{second};
        QTest::newRow("inventory, csv") << "MA" << QStringList{"--format", "csv", "inventory"} << 0
                                        << QStringList{GuardedFormulaProduct} << QStringList{first, second};
        QTest::newRow("identification") << "ID" << QStringList{"identify"} << 0 << QStringList{} << QStringList{};
        QTest::newRow("sensors") << "LS" << QStringList{"sensors"} << 0 << QStringList{} << QStringList{};
        QTest::newRow("error reply") << "MT" << QStringList{"measure", "5"} << 1 << QStringList{} << QStringList{};
    }
    void controlBytes()
    {
        QFETCH(QString, codes);
        QFETCH(QStringList, command);
        QFETCH(int, exitCode);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, products);
        const std::unique_ptr<Outcome> outcome = run(ReplyFault::ControlBytes, codes, command);
        QVERIFY(outcome);
        QVERIFY2(outcome->run.exitCode == exitCode,
                 qPrintable(QStringLiteral("exit %1: %2").arg(outcome->run.exitCode).arg(outcome->err)));
        QVERIFY2(brokenRule(*outcome).isEmpty(), qPrintable(brokenRule(*outcome)));
        for (const QString &text : shown)
            QVERIFY2(outcome->out.contains(text), qPrintable(outcome->out));
        QCOMPARE(outcome->history->texts(QStringLiteral("SELECT tank, product FROM measurement ORDER BY tank")),
                 products);
        if (command.contains(QStringLiteral("csv"))) {
            const std::optional<QList<QStringList>> records = readCsv(outcome->run.out);
            QVERIFY2(records && records->size() == products.size() + 1, outcome->run.out.constData());
            const qsizetype column = records->first().indexOf(QStringLiteral("product"));
            QVERIFY(column >= 0);
            QCOMPARE(records->last().at(column), GuardedFormulaProduct);
        }
    }

    // The configuration request carries the password: sent back, it must go no further than the
    // wire, not even into the frame log.
    void echoedPassword_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QStringList>("command");
        QTest::newRow("configuration echoed") << "CF" << QStringList{"--log", "identify"};
        QTest::newRow("configuration echoed, inventory") << "CF" << QStringList{"--log", "inventory"};
        QTest::newRow("clock setting echoed") << "AR" << QStringList{"--log", "set-clock"};
    }
    void echoedPassword()
    {
        QFETCH(QString, codes);
        QFETCH(QStringList, command);
        const std::unique_ptr<Outcome> outcome = run(ReplyFault::Echo, codes, command);
        QVERIFY(outcome);
        QCOMPARE(outcome->run.exitCode, 7);
        QVERIFY2(outcome->err.contains(Unusable), qPrintable(outcome->err));
        QVERIFY(std::any_of(outcome->replies.begin(), outcome->replies.end(),
                            [&](const QByteArray &frame) { return frame.startsWith('\x02' + codes.toLatin1()); }));
        QVERIFY2(brokenRule(*outcome).isEmpty(), qPrintable(brokenRule(*outcome)));
        compareReadings(*outcome, NoReadings);
    }

    // A controller holds at most 101 records for a date: the 102nd ends the series as unusable,
    // long before 101 reply time-outs.
    void endlessSeries()
    {
        const std::unique_ptr<Outcome> outcome =
            run(ReplyFault::EndlessSeries, QStringLiteral("MP"), {"scheduled", ScheduledDate, "--timeout", "0.3"}, 1);
        QVERIFY(outcome);
        QVERIFY2(outcome->run.exitCode == 7,
                 qPrintable(QStringLiteral("exit %1: %2").arg(outcome->run.exitCode).arg(outcome->err)));
        QVERIFY2(outcome->err.contains(Unusable), qPrintable(outcome->err));
        QVERIFY2(outcome->run.elapsedMs < 101 * 300, qPrintable(QString::number(outcome->run.elapsedMs)));
        QVERIFY2(brokenRule(*outcome).isEmpty(), qPrintable(brokenRule(*outcome)));
        QVERIFY(outcome->history->scalar(QStringLiteral("SELECT COUNT(*) FROM scheduled_measurement")).toInt() <= 101);
    }
};

QTEST_GUILESS_MAIN(TestHostileCli)
#include "tst_hostile_cli.moc"
