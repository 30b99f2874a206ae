#include "store_common/ten_years_file.h"

#include "store/history_store.h"
#include "store_common/bench_readings.h"

#include <QCoreApplication>

#include <cstdio>

bool fillTenYears(const QString &path, int tanks)
{
    HistoryStore store(path);
    quint64 last = 0;
    quint64 committed = 0;
    QObject::connect(&store, &HistoryStore::written, [&](quint64 sequence) { committed = sequence; });
    for (int day = 0; day < TenYearsOfHours / 24; ++day) {
        QList<MeasurementReading> readings;
        for (int hour = day * 24; hour < day * 24 + 24; ++hour)
            for (int tank = 1; tank <= tanks; ++tank)
                readings.append(hourlyReading(tank, hour));
        last = store.keepInventory(benchStation(), readings, Origin::Poll);
        while (last > committed + 32)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    while (committed < last && !store.writesAreFailing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (store.writesAreFailing())
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(store.failureReason()));
    return committed == last;
}
