#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QTime>

#include <optional>

// The daily stock book's rows, as the store keeps them.

// What the loss or gain of a day is a percentage of.
enum class ToleranceBase {
    Available,  // opening + receipts: what the station had to sell, as the book counts it
    Physical,   // the physical closing stock
};

// Which of the gauge's volumes the book counts in.
enum class VolumeBasis {
    Measured,  // at ambient temperature, as the nozzles' totalisers count
    At20C,
};

// How one station keeps its daily book; a station never set up keeps these defaults.
struct ClosingSettings {
    QTime closingHour{0, 0};
    double tolerancePercent = 0.6;
    ToleranceBase toleranceBase = ToleranceBase::Available;
    VolumeBasis volumeBasis = VolumeBasis::Measured;
    int totaliserDigits = 8;  // two of them decimals: 999999,99 rolls over to 0
    QString cnpj;             // digits only; empty when not set
};

struct NozzleRecord {
    int nozzle = 0;
    std::optional<int> pump;
    int tank = 0;
    bool active = true;
};

struct TotaliserRecord {
    QDate day;
    int nozzle = 0;
    std::optional<double> opening;
    std::optional<double> closing;
    double calibration = 0;
};

struct PriceRecord {
    QDate day;
    QString product;
    double price = 0;
};

// One tank in one complete inventory.
struct InventoryTank {
    int tank = 0;
    QString product;
    bool weighed = false;  // the gauge gave kg
    std::optional<double> measured;
    std::optional<double> volume20;
};

struct InventoryRecord {
    QDateTime takenAt;  // UTC, by the controller's clock: its earliest reading's
    QList<InventoryTank> tanks;
};

struct DipstickRecord {
    int tank = 0;
    double litres = 0;
    QString reason;
};

// An invoice line's litres into one tank; `typed` when the operator set it rather than the
// matched deliveries.
struct TankShare {
    int tank = 0;
    double litres = 0;
    bool typed = false;
};

struct InvoiceLineRecord {
    QString supplierProduct;
    QString anpCode;
    QString product;  // the controller's name for it
    double litres = 0;
    double pricePerLitre = 0;
    QList<TankShare> tanks;
};

struct InvoiceRecord {
    qint64 id = 0;
    QString accessKey;
    QString number;
    QString series;
    QDateTime issuedAt;
    QString supplierName;
    QString supplierCnpj;
    QDate day;  // the book day it enters
    QList<InvoiceLineRecord> lines;
};

// A delivery the alarm rules found, with the tank's rise in both volume bases.
struct DeliveryRecord {
    int tank = 0;
    QString product;
    QDateTime startedAt;
    QDateTime endedAt;
    std::optional<double> measuredRise;
    std::optional<double> rise20;
};

// A line of a closed day, as it was computed.
struct ClosedLine {
    enum Kind { Product, Tank, Nozzle };
    Kind kind = Product;
    QString subject;  // the product's name, or the tank's or nozzle's number
    QString product;
    std::optional<int> tank;
    std::optional<int> pump;
    std::optional<double> opening;
    std::optional<double> receipts;
    std::optional<double> available;
    std::optional<double> sales;
    std::optional<double> bookStock;
    std::optional<double> physicalStock;
    std::optional<double> varianceLitres;
    std::optional<double> variancePercent;
    bool beyondTolerance = false;
    std::optional<double> closingReading;  // a nozzle's
    std::optional<double> calibration;     // a nozzle's
    QString justification;
};

// Who did something to the book, and from where.
struct BookAuthor {
    QString userName;
    QString machine;
};

struct ClosedDay {
    QDate day;
    QDateTime closedAt;
    BookAuthor author;
    bool divergentOpening = false;  // the previous day's physical closing changed since
    QList<ClosedLine> lines;
};

struct AuditRecord {
    QDateTime at;
    QString action;  // "close" or "reopen"
    BookAuthor author;
    QString reason;
    QString linesBefore;  // JSON, as closed
    QString linesAfter;   // JSON: a reopening's, once the day is closed again
};
