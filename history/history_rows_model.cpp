#include "history/history_rows_model.h"

#include "history/station_time.h"
#include "store/store_types.h"

#include <QLocale>

namespace {

enum Column { At, Tank, Product, Unit, Measured, Volume20, Level, Complementary, AskedBy, ColumnCount };

QString numberText(const std::optional<double> &value)
{
    return value ? QLocale().toString(*value, 'f', 0) : QString();
}

// Who asked for the reading, as the operator calls it.
QString originName(const QString &origin)
{
    if (origin == originText(Origin::Console))
        return QStringLiteral("Console");
    if (origin == originText(Origin::Cli))
        return QStringLiteral("comzelta-cli");
    if (origin == originText(Origin::Poll))
        return QStringLiteral("Coleta automática");
    return origin;
}

}  // namespace

HistoryRowsModel::HistoryRowsModel(HistoryReader *reader, QObject *parent)
    : QAbstractTableModel(parent), reader_(reader)
{
    connect(reader_, &HistoryReader::rowsReady, this, &HistoryRowsModel::addPage);
}

void HistoryRowsModel::setRequest(const SeriesRequest &request, const QTimeZone &zone)
{
    beginResetModel();
    request_ = request;
    zone_ = zone;
    rows_.clear();
    total_ = 0;
    endResetModel();
    pending_ = reader_->requestRows(request_, 0, PageSize);
}

void HistoryRowsModel::addPage(int requestId, const RowsPage &page)
{
    if (requestId != pending_)
        return;
    pending_ = 0;
    total_ = page.total;
    if (page.offset == 0)
        emit totalCounted(total_);
    if (page.rows.isEmpty())
        return;
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + page.rows.size()) - 1);
    rows_ += page.rows;
    endInsertRows();
}

int HistoryRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int HistoryRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() >= Measured && index.column() <= Complementary ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                                             : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const StoredMeasurement &row = rows_[index.row()];
    switch (index.column()) {
    case At: return stationTimeText(row.measuredAt, zone_);
    case Tank: return row.tank;
    case Product: return row.product;
    case Unit: return row.unit;
    case Measured: return numberText(row.measured);
    case Volume20: return numberText(row.volume20);
    case Level: return numberText(row.levelMm);
    case Complementary: return numberText(row.complementary);
    case AskedBy: return originName(row.origin);
    default: return {};
    }
}

QVariant HistoryRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList headers{QStringLiteral("Data/Hora"),         QStringLiteral("Tanque"),
                                     QStringLiteral("Produto"),           QStringLiteral("Unid."),
                                     QStringLiteral("Vol. Medido"),       QStringLiteral("Vol. Medido a 20°C"),
                                     QStringLiteral("Nível Produto (mm)"), QStringLiteral("Vol. Complementar"),
                                     QStringLiteral("Origem")};
    return headers.value(section);
}

bool HistoryRowsModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && pending_ == 0 && rows_.size() < total_;
}

void HistoryRowsModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        pending_ = reader_->requestRows(request_, int(rows_.size()), PageSize);
}
