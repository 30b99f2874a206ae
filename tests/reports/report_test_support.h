#pragma once

#include "printing/window_printer.h"
#include "tables/station_readings.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

// A tank table from "tank;VolMed;VolCpl;product" texts, entry i for tank i + 1; an empty
// entry leaves that tank without a reading.
inline TankTable tankTable(const QStringList &readings)
{
    TankTable table;
    for (int i = 0; i < readings.size(); ++i) {
        if (readings[i].isEmpty())
            continue;
        const QStringList f = readings[i].split(QLatin1Char(';'));
        table[i + 1] = {f[0], f[1], f[2], QStringLiteral(" 0.75"), f[3], QStringLiteral("010224"),
                        QStringLiteral("103000")};
    }
    return table;
}

// The row of the inventory window showing one of tankTable()'s readings.
inline QStringList shownRow(const QString &reading)
{
    const QStringList f = reading.split(QLatin1Char(';'));
    return {f[0], f[1], f[2], QStringLiteral(" 0.75"), f[3], QStringLiteral("01/02/24"), QStringLiteral("10:30:00")};
}

// What the console keeps for a station: tankTable()'s readings, the tank count its configuration
// declared, and why the tanks of `failures` had no reading.
inline void keepReadings(StationReadings &kept, const QStringList &readings, double tanks, const QString &station,
                         const QMap<int, QString> &failures = {})
{
    kept.clear();
    kept.setStation(station);
    kept.setTankCount(declaredTankCount(tanks));
    const TankTable table = tankTable(readings);
    for (int tank = 0; tank < TankRows; ++tank)
        kept.keepReading(tank, table[std::size_t(tank)]);
    for (auto failure = failures.begin(); failure != failures.end(); ++failure)
        kept.keepFailure(failure.key(), failure.value());
}

inline QString cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

inline QStringList rowTexts(const QTableWidget *grid, int row)
{
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column)
        texts << cellText(grid, row, column);
    return texts;
}

// The printed window: a one-page PDF whose texts are texts.
inline void verifyPrintsOnePage(QWidget *window)
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("janela.pdf"));
    QString error;
    QVERIFY2(writeWindowPdf(window, path, &error), qPrintable(error));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.contains("/Count 1"));
    QVERIFY(bytes.contains("/Type /Font"));
}
