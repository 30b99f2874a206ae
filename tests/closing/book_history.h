#pragma once

#include "store/closing_rows.h"
#include "tests/alarms/alarm_test_support.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// The daily book's tests share one station and its readings: Posto Teste at posto-a, in São
// Paulo's time, with gasoline in tanks 1 and 2 and diesel in tank 3.

extern const StationIdentity BookStation;

// The supplier's NF-e of tank 2's 5.000 L of "GASOLINA C COMUM" on 10/03/2026, number 101.
extern const QByteArray GasolineNfe;

// One inventory: the controller's local time, and litres by tank.
struct BookInventory {
    QString at;  // "dd/MM/yy HH:mm"
    QMap<int, int> litres;
};

// 10 March 2026: tank 2 takes 5.000 L from 14:00 to 14:30; by the next midnight tank 1 has sold
// 750 L, tank 2 280 L and tank 3 1.000 L.
QList<BookInventory> balancedInventories();

// Writes the inventories through the store as a poller would, with the rules that find the
// deliveries of gasoline; tank 3 read in kg when `dieselWeighed`.
void keepInventories(const AlarmFixture &fixture, const QList<BookInventory> &inventories, bool dieselWeighed = false);

// Invoice `number` of the supplier the tests share, issued at 08:00 on `day` and entered that day:
// one line of `litres` of `product` at R$ 5,89, into `tanks`.
InvoiceRecord bookInvoice(const QString &number, QDate day, const QString &product, double litres,
                          const QList<TankShare> &tanks);
