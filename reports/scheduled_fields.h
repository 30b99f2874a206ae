#pragma once

#include <QString>

// DD/MM/AA from characters 1-2, 3-4 and 5-6 of the date as typed, blanks included.
QString captionDate(const QString &Data_MedProg);

// A record's date, DDMMAA: zero-filled to six digits when the text is a number (so " 10125"
// reads 01/01/25), otherwise as stored; then characters 1-2, 3-4 and the last two.
QString dateCell(const QString &field);

// A record's time, HHMMSS as stored: characters 1-2, 3-4 and the last two.
QString timeCell(const QString &field);
