#include "console/message_log_model.h"

#include "codec/windows1252.h"
#include "session/log_masking.h"
#include "session/log_text.h"

int MessageLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(lines_.size());
}

QVariant MessageLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(lines_.size()))
        return {};
    if (role == RawLineRole)
        return line(index.row());
    // A line longer than the log is wide is cut short on screen; the tooltip shows all of it. The
    // password of "CF" and "AR" is masked on screen as in the saved log: a screen is seen by others.
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return readableLogLine(maskedLogLine(bytes(index.row())));
    return {};
}

void MessageLogModel::append(const std::string &line)
{
    const int row = int(lines_.size());
    beginInsertRows({}, row, row);
    lines_.emplace_back(line.data(), qsizetype(line.size()));
    loggedAt_.push_back(QDateTime::currentDateTimeUtc());
    endInsertRows();
}

void MessageLogModel::clear()
{
    beginResetModel();
    lines_.clear();
    lines_.shrink_to_fit();
    loggedAt_.clear();
    loggedAt_.shrink_to_fit();
    endResetModel();
}

QString MessageLogModel::line(int row) const
{
    return fromWindows1252(lines_.at(std::size_t(row)));
}

QByteArray MessageLogModel::bytes(int row) const
{
    return lines_.at(std::size_t(row));
}

QDateTime MessageLogModel::loggedAt(int row) const
{
    return loggedAt_.at(std::size_t(row));
}
