#pragma once

#include <QByteArray>
#include <QDate>
#include <QTime>

// Fixed-width reply fields. Numbers never overflow their field: they are clamped to what the
// width can hold. Text is padded with blanks on the right or cut to the width.

QByteArray zeroPadded(qint64 value, int width);                 // 18250 -> "018250"
QByteArray rightAlignedDecimal(double value, int width, int decimals); // 0.74 -> "0.74"
QByteArray leftAligned(const QByteArray &text, int width);      // "DIESEL" -> "DIESEL     "
QByteArray dateField(const QDate &date);                        // DDMMAA
QByteArray timeField(const QTime &time);                        // HHMMSS
bool allDigits(const QByteArray &text);  // true for an empty text
// DDMMAA of this century back to a date; invalid when the text is not one.
QDate dateFromField(const QByteArray &ddmmaa);
