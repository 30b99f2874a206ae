#pragma once

#include <QString>

// The stations the tests' simulated controllers play, as station file texts. Where a text has %1,
// it is the station's OFE number: the history tells controllers apart by it.

// Password "Zelta"; tank 1 GASOLINA 18,250 of 30,000 L and tank 2 DIESEL 4,100 of 15,000 L.
QString twoTankStation();

// Tank 1 GASOLINA 5,000 of 10,000 L, and nothing else.
QString oneTankStation();

// OFE 185; tank 1 GASOLINA 18,250 of 30,000 L, and nothing else.
QString smallStation();

// Tank 1 DIESEL 5,000 of 10,000 L; tank 2 not enabled; tank 3 GASOLINA 3,000 of 10,000 L with its
// probe off-line.
QString errorRepliesStation();

// errorRepliesStation() with password "Zelta" and no OFE number; tank 3 last measured on 01/03/2024.
QString passwordErrorRepliesStation();

// OFE 4127, meter type 2: tank 1 GASOLINA 18,250 of 30,000 L (18,130 at 20 °C, 1,420 mm, last
// measured on 01/03/2024 at 06:00), tank 2 GASOLINA 4,100 of 15,000 L, tank 3 ARLA 2,000 kg of
// 5,000 by weight; six sensors (bar 1 active, sensor 2 short, 4 leaking, 6 open); two
// measurements scheduled on 31/12/2024.
QString threeTankStation();

// OFE 4190: tank 1 as in threeTankStation(), tank 2 ARLA 2,000 kg of 5,000 by weight; four sensors
// (bar 1 active, sensor 2 short, 4 leaking).
QString gasolinaArlaStation();

// OFE 4191: tank 1 DIESEL, not enabled.
QString disabledTankStation();

// OFE 4300, password TOPSECRET42: GASOLINA in tank 1 (18,250 of 30,000 L) and DIESEL in tank 2
// (22,400 of 30,000 L), tank 5 not configured, four sensors on active bars, two measurements
// scheduled on 01/03/2024.
QString hostileStation();
