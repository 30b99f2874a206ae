#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QDateTime>
#include <vector>

// Msg_Log: one line per frame or acknowledgement. Lines are kept as the raw bytes the link saw
// (one byte per character, control codes included) and decoded only when a row is painted, so a
// shift's worth of traffic stays small and the list view stays fast.
class MessageLogModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The exact line, control characters included, as a QString decoded from Windows-1252.
    static constexpr int RawLineRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void append(const std::string &line);
    void clear();
    QString line(int row) const;
    QByteArray bytes(int row) const;
    // The PC time the line was logged, in UTC.
    QDateTime loggedAt(int row) const;

private:
    std::vector<QByteArray> lines_;
    std::vector<QDateTime> loggedAt_;
};
