#include "soak/log_size.h"

#include "console/message_log_model.h"

#include <QByteArray>

namespace {

constexpr long long MallocOverhead = 8;
constexpr long long MallocAlignment = 16;
constexpr long long ArrayHeader = 16;  // QArrayData: reference count, flags, capacity

long long mallocBlock(long long requested)
{
    const long long withOverhead = requested + MallocOverhead;
    return (withOverhead + MallocAlignment - 1) / MallocAlignment * MallocAlignment;
}

long long vectorCapacity(long long size)
{
    if (size == 0)
        return 0;
    long long capacity = 1;
    while (capacity < size)
        capacity *= 2;
    return capacity;
}

} // namespace

long long estimatedLogBytes(const MessageLogModel &log)
{
    const int rows = log.rowCount();
    long long bytes = vectorCapacity(rows) * static_cast<long long>(sizeof(QByteArray));
    for (int row = 0; row < rows; ++row)
        bytes += mallocBlock(ArrayHeader + log.line(row).size() + 1);
    return bytes;
}
