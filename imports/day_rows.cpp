#include "imports/day_rows.h"

#include "imports/csv_rows.h"

#include <QSet>

namespace {

// Reads one row's fields, keeping the first problem met.
class FieldReader {
public:
    explicit FieldReader(const CsvRow &row) : row_(row) {}

    bool hasFields(int least, int most)
    {
        const int count = int(row_.fields.size());
        if (count < least || count > most)
            fail(RowProblem::FieldCount, {}, QString::number(count));
        return !problem_;
    }

    int count() const { return int(row_.fields.size()); }

    int whole(int index, const QString &field)
    {
        const std::optional<int> value = positiveWhole(row_.fields.at(index));
        if (!value)
            fail(RowProblem::BadWhole, field, row_.fields.at(index));
        return value.value_or(0);
    }

    double amount(int index, const QString &field)
    {
        const std::optional<double> value = brazilianNumber(row_.fields.at(index));
        if (!value)
            fail(RowProblem::BadNumber, field, row_.fields.at(index));
        else if (*value < 0)
            fail(RowProblem::Negative, field, row_.fields.at(index));
        return value.value_or(0);
    }

    QString text(int index, const QString &field)
    {
        if (row_.fields.at(index).isEmpty())
            fail(RowProblem::Missing, field, {});
        return row_.fields.at(index);
    }

    QDate date(int index, const QString &field)
    {
        const std::optional<QDate> value = brazilianDate(row_.fields.at(index));
        if (!value)
            fail(RowProblem::BadDate, field, row_.fields.at(index));
        return value.value_or(QDate());
    }

    void repeated(const QString &field, const QString &value) { fail(RowProblem::Repeated, field, value); }

    const std::optional<RowProblem> &problem() const { return problem_; }

private:
    void fail(RowProblem::Kind kind, const QString &field, const QString &value)
    {
        if (!problem_)
            problem_ = RowProblem{kind, row_.line, field, value};
    }

    const CsvRow &row_;
    std::optional<RowProblem> problem_;
};

// Every row read by `read`, which returns the row's key (what must not repeat) and fills the row;
// or the first problem.
template <typename Row, typename Read>
Result<QList<Row>, RowProblem> readRows(const QByteArray &bytes, const QString &keyField, Read read)
{
    const QList<CsvRow> csv = csvRows(bytes);
    if (csv.isEmpty())
        return failure(RowProblem{RowProblem::NoRows, 0, {}, {}});
    QList<Row> rows;
    QSet<QString> keys;
    for (const CsvRow &line : csv) {
        FieldReader fields(line);
        Row row;
        const QString key = read(fields, row);
        if (!fields.problem() && keys.contains(key))
            fields.repeated(keyField, key);
        if (fields.problem())
            return failure(*fields.problem());
        keys.insert(key);
        rows << row;
    }
    return rows;
}

} // namespace

Result<QList<NozzleRow>, RowProblem> readNozzleRows(const QByteArray &bytes)
{
    return readRows<NozzleRow>(bytes, QStringLiteral("bico"), [](FieldReader &fields, NozzleRow &row) {
        if (!fields.hasFields(2, 3))
            return QString();
        row.nozzle = fields.whole(0, QStringLiteral("bico"));
        row.tank = fields.whole(1, QStringLiteral("tanque"));
        if (fields.count() == 3)
            row.pump = fields.whole(2, QStringLiteral("bomba"));
        return QString::number(row.nozzle);
    });
}

Result<QList<TotaliserRow>, RowProblem> readTotaliserRows(const QByteArray &bytes)
{
    return readRows<TotaliserRow>(bytes, QStringLiteral("data;bico"), [](FieldReader &fields, TotaliserRow &row) {
        if (!fields.hasFields(5, 5))
            return QString();
        row.date = fields.date(0, QStringLiteral("data"));
        row.nozzle = fields.whole(1, QStringLiteral("bico"));
        row.opening = fields.amount(2, QStringLiteral("encerrante_inicial"));
        row.closing = fields.amount(3, QStringLiteral("encerrante_final"));
        row.calibration = fields.amount(4, QStringLiteral("afericao"));
        return row.date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(';') + QString::number(row.nozzle);
    });
}

Result<QList<PriceRow>, RowProblem> readPriceRows(const QByteArray &bytes)
{
    return readRows<PriceRow>(bytes, QStringLiteral("data;produto"), [](FieldReader &fields, PriceRow &row) {
        if (!fields.hasFields(3, 3))
            return QString();
        row.date = fields.date(0, QStringLiteral("data"));
        row.product = fields.text(1, QStringLiteral("produto"));
        row.price = fields.amount(2, QStringLiteral("preco"));
        return row.date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(';') + row.product.toUpper();
    });
}
