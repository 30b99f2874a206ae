#pragma once

#include "store/closing_rows.h"
#include "closing/gauge_reading.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A tank as the book knows it.
struct BookTank {
    int tank = 0;
    QString product;
    bool weighed = false;  // measured in kg: the book is in litres, so it is left out
};

// An active nozzle and the tank it draws from.
struct BookNozzle {
    int nozzle = 0;
    int pump = 0;
    int tank = 0;
};

// A nozzle's totaliser over the day; calibration is the litres drawn and poured back.
struct TotaliserDay {
    std::optional<double> opening;
    std::optional<double> closing;
    double calibration = 0;
};

// Everything one day's figures are computed from, gathered by the store.
struct DayInputs {
    QDate date;
    QDateTime start;  // UTC, the closing hour that opens the day
    QDateTime end;    // UTC, the closing hour that ends it
    QList<BookTank> tanks;
    QList<BookNozzle> nozzles;
    QMap<int, TotaliserDay> totalisers;  // by nozzle
    std::optional<StockSnapshot> opening;  // the previous day's physical closing, or the stock at start
    QMap<int, double> receipts;            // litres entered by the day's invoices, by tank
    std::optional<StockSnapshot> closing;  // the stock at end
    QList<int> dippedTanks;                // dipstick readings typed for the end, when not every tank's
    QMap<QString, QString> justifications;  // by product
};

// The figures of one product, or one tank; nothing where an input is missing.
struct StockFigures {
    std::optional<double> opening;
    double receipts = 0;
    std::optional<double> available;
    std::optional<double> sales;
    std::optional<double> book;
    std::optional<double> physical;
    std::optional<double> varianceLitres;   // physical − book: negative is a loss
    std::optional<double> variancePercent;  // of the tolerance's base
    bool beyondTolerance = false;
};

struct ProductFigures {
    QString product;
    StockFigures figures;
    QString justification;
};

struct TankFigures {
    int tank = 0;
    QString product;
    StockFigures figures;
};

struct NozzleFigures {
    BookNozzle nozzle;
    TotaliserDay totaliser;
    std::optional<double> sales;
};

// Why a day cannot be computed, or not yet closed.
struct ClosingProblem {
    enum Kind {
        NoOpeningReading,        // no stock at the day's start (instant)
        NoClosingReading,        // no stock at the closing hour (instant)
        DipstickMissing,         // (number): the tank still without a dipstick reading, when others have one
        TankWithoutNozzles,      // (number): no active nozzle draws from it, so its sales are unknown
        TankNeverMeasured,       // (number): its nozzles sell from a tank the gauge never read
        NozzleWithoutTotaliser,  // (number): opening or closing missing
        ImpossibleTotaliser,     // (number): beyond its digits, or calibration above what it counted
        JustificationNeeded,     // (product): beyond the tolerance without a cause written down
    };
    Kind kind;
    int number = 0;
    QString product;
    QDateTime at;

    bool blocksComputation() const { return kind != JustificationNeeded; }
    bool operator==(const ClosingProblem &other) const;
};

struct DayFigures {
    QDate date;
    QList<ProductFigures> products;  // by name
    QList<TankFigures> tanks;        // by number
    QList<NozzleFigures> nozzles;    // by number
    QList<int> weighedTanks;         // left out of the book
    std::optional<StockSnapshot> closingStock;
    QList<ClosingProblem> problems;

    bool computed() const;  // every figure is known
    bool closable() const;  // and every product beyond the tolerance is justified
};

DayFigures computeDay(const DayInputs &inputs, const ClosingSettings &settings);
