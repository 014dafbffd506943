#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace korvel {

/// The string pool of a label file: every variable-length item of the object records, referred
/// to by offset and length.
class PoolWriter {
public:
    /// Appends an item and returns its offset.
    std::int32_t append(const QByteArray& item);
    const QByteArray& data() const { return pool_; }

private:
    QByteArray pool_;
};

class PoolReader {
public:
    /// Longest object string a record may refer to.
    static constexpr std::int32_t StringLimit = 2048;

    PoolReader() = default;
    explicit PoolReader(QByteArray pool) : pool_(std::move(pool)) {}

    const QByteArray& data() const { return pool_; }
    /// The item at offset/length; nullopt when it lies outside the pool, is negative or is
    /// longer than limit (limit 0: no limit, used for pictures).
    std::optional<QByteArray> item(std::int32_t offset, std::int32_t length, std::int32_t limit = StringLimit) const;

private:
    QByteArray pool_;
};

} // namespace korvel
