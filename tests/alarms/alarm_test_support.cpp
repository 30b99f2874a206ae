#include "alarm_test_support.h"

#include "alarms/alarm_config_file.h"
#include "alarms/alarm_rules.h"

#include <QTest>
#include <QTime>

const StationIdentity TestStation{QStringLiteral("Posto Teste"), QStringLiteral("posto-a"), QString(),
                                  QStringLiteral("UTC")};

std::shared_ptr<AlarmRules> rulesFrom(const QString &ini)
{
    const Result<AlarmConfig, QStringList> load = parseAlarmConfig(ini);
    [&] { QVERIFY2(load, qPrintable(load ? QString() : load.error().join(QLatin1Char('\n')))); }();
    return load ? std::make_shared<AlarmRules>(*load) : nullptr;
}

AlarmFixture::AlarmFixture(const QString &ini) : rules_(rulesFrom(ini)) {}

std::unique_ptr<HistoryStore> AlarmFixture::openStore() const
{
    HistoryStoreOptions options;
    options.rules = rules_;
    options.retryIntervalMs = 50;  // two stores on one file may have to wait for each other
    return std::make_unique<HistoryStore>(location(), options);
}

QStringList AlarmFixture::events(const QStringList &kinds) const
{
    QStringList found;
    for (const QString &event : FileInspector(location()).texts(QStringLiteral("SELECT kind, detail FROM event ORDER BY id"))) {
        if (kinds.isEmpty() || std::any_of(kinds.begin(), kinds.end(), [&](const QString &kind) { return event.startsWith(kind); }))
            found << event;
    }
    return found;
}

MeasurementReading tankReading(int minute, int measured, int volume20)
{
    MeasurementFrame frame;
    frame.measured = QByteArray::number(measured).rightJustified(6, '0');
    frame.volume20 = QByteArray::number(volume20 < 0 ? measured : volume20).rightJustified(6, '0');
    frame.time = QTime(8, 0).addSecs(minute * 60).toString(QStringLiteral("HHmmss")).toLatin1();
    return frame.reading();
}
