#include "console/message_log_model.h"

#include "codec/windows1252.h"

namespace {

// Control codes have no glyph; name them (<STX>, <ETX>, <ACK> ...) so the operator can see
// where a frame starts and ends.
QString visibleControls(const QString &text)
{
    static const char *const Names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString visible;
    visible.reserve(text.size() + 8);
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20)
            visible += QLatin1Char('<') + QLatin1String(Names[ch.unicode()]) + QLatin1Char('>');
        else if (ch.unicode() == 0x7F)
            visible += QLatin1String("<DEL>");
        else
            visible += ch;
    }
    return visible;
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
