#pragma once

#include "store/history_reader.h"

#include <QAbstractTableModel>
#include <QTimeZone>

// The readings behind a chart, fetched a page at a time from the reader as the table scrolls.
class HistoryRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int PageSize = 200;

    explicit HistoryRowsModel(HistoryReader *reader, QObject *parent = nullptr);

    // Empties the table and asks for the first page of these rows, times shown in `zone`.
    void setRequest(const SeriesRequest &request, const QTimeZone &zone);
    // Every row of the period, as the reader counted them.
    int total() const { return total_; }
    const QList<StoredMeasurement> &rows() const { return rows_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // The first page of a request came, and with it the count of every row of the period.
    void totalCounted(int total);

private:
    void addPage(int requestId, const RowsPage &page);

    HistoryReader *reader_;
    SeriesRequest request_;
    QTimeZone zone_;
    QList<StoredMeasurement> rows_;
    int total_ = 0;
    int pending_ = 0;  // the page asked for and not yet come, or 0
};
