#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The daily book's inputs that come as CSV. Each file is taken whole or refused whole, naming
// the first bad row, so that a half-imported day never reaches the book.

// "bico;tanque" or "bico;tanque;bomba".
struct NozzleRow {
    int nozzle = 0;
    int tank = 0;
    std::optional<int> pump;
};

// "data;bico;encerrante_inicial;encerrante_final;afericao".
struct TotaliserRow {
    QDate date;
    int nozzle = 0;
    double opening = 0;
    double closing = 0;
    double calibration = 0;
};

// "data;produto;preco".
struct PriceRow {
    QDate date;
    QString product;
    double price = 0;
};

struct RowProblem {
    enum Kind {
        NoRows,
        FieldCount,   // value: how many fields the row had
        Missing,      // field: which, left empty
        BadWhole,     // field: which; value: what it held
        BadNumber,
        BadDate,
        Negative,
        Repeated,     // the same nozzle, or date and nozzle, or date and product, twice
    };
    Kind kind;
    int line = 0;
    QString field;  // the column's name, as in the header the layout documents
    QString value;
};

Result<QList<NozzleRow>, RowProblem> readNozzleRows(const QByteArray &bytes);
Result<QList<TotaliserRow>, RowProblem> readTotaliserRows(const QByteArray &bytes);
Result<QList<PriceRow>, RowProblem> readPriceRows(const QByteArray &bytes);

QString rowProblemText(const QString &fileName, const RowProblem &problem);
