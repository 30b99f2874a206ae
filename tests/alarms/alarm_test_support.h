#pragma once

#include "tests/support/store_test_support.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

class AlarmRules;

// The alarm tests' common ground: a history of the test's own (store_test_support.h), stores opened on it
// with rules from alarmes.ini text, and tank readings by minute and volume.

extern const StationIdentity TestStation;  // zone UTC, host "posto-a", no OFE number

// The rules of this alarmes.ini text; a failed check (and nothing) when it has problems.
std::shared_ptr<AlarmRules> rulesFrom(const QString &ini);

class AlarmFixture {
public:
    explicit AlarmFixture(const QString &ini);

    const DatabaseLocation &location() const { return history_.location(); }
    // A store on the history, applying the fixture's rules.
    std::unique_ptr<HistoryStore> openStore() const;
    // "kind|detail" of the events, oldest first; `kinds` keeps only those starting with one.
    QStringList events(const QStringList &kinds = {}) const;

private:
    TestHistory history_;
    std::shared_ptr<AlarmRules> rules_;
};

// An "MT" reply of tank 1 ("GASOLINA C", capacity 30000 L) measured on 15/03/2024 at 08:00
// plus `minute` minutes; volume at 20 °C equal to the measured volume unless given.
MeasurementReading tankReading(int minute, int measured, int volume20 = -1);
