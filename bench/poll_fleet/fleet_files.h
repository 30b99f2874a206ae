#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

// What the benchmark's controllers hold: every station the same, with this many tanks.
inline constexpr int TanksPerStation = 4;

// A comzelta-sim station file with TanksPerStation tanks, all enabled and on-line, and leak
// sensors that answer "LS".
QByteArray stationFileText();

// A fleet file for comzelta-poll: "Posto 0001" on the first address, and so on.
QByteArray fleetFileText(const QList<QHostAddress> &addresses);

// `count` addresses from `first` on.
QList<QHostAddress> addressesFrom(const QHostAddress &first, int count);

// A file only its owner may read, as comzelta-poll wants poll.ini; false when it cannot be written.
bool writePrivateFile(const QString &path, const QByteArray &bytes);
