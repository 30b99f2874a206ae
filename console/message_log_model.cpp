#include "console/message_log_model.h"

#include "codec/windows1252.h"

namespace {

// Control codes have no glyph; show them as the Unicode control pictures (STX as ␂ ...) so the
// operator can still see where a frame starts and ends.
QString visibleControls(QString text)
{
    for (QChar &ch : text) {
        if (ch.unicode() < 0x20)
            ch = QChar(char16_t(0x2400 + ch.unicode()));
        else if (ch.unicode() == 0x7F)
            ch = QChar(char16_t(0x2421));
    }
    return text;
}

} // namespace

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
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return visibleControls(line(index.row()));
    return {};
}

void MessageLogModel::append(const std::string &line)
{
    const int row = int(lines_.size());
    beginInsertRows({}, row, row);
    lines_.emplace_back(line.data(), qsizetype(line.size()));
    endInsertRows();
}

void MessageLogModel::clear()
{
    beginResetModel();
    lines_.clear();
    lines_.shrink_to_fit();
    endResetModel();
}

QString MessageLogModel::line(int row) const
{
    return fromWindows1252(lines_.at(std::size_t(row)));
}
