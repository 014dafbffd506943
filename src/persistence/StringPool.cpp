#include "persistence/StringPool.h"

namespace korvel {

std::int32_t PoolWriter::append(const QByteArray& item)
{
    const auto offset = static_cast<std::int32_t>(pool_.size());
    pool_.append(item);
    return offset;
}

std::optional<QByteArray> PoolReader::item(std::int32_t offset, std::int32_t length, std::int32_t limit) const
{
    if (offset < 0 || length < 0 || (limit > 0 && length > limit))
        return std::nullopt;
    if (static_cast<qsizetype>(offset) + length > pool_.size())
        return std::nullopt;
    return pool_.mid(offset, length);
}

} // namespace korvel
