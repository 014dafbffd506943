#include "document/Binary.h"

#include "document/CodePage.h"

#include <bit>
#include <cstring>

namespace korvel {

static_assert(std::endian::native == std::endian::little, "little-endian host assumed");

bool ByteReader::seek(qsizetype pos)
{
    if (!ok_ || pos < 0 || pos > data_.size()) {
        ok_ = false;
        return false;
    }
    pos_ = pos;
    return true;
}

bool ByteReader::take(qsizetype n)
{
    if (!ok_ || n < 0 || n > data_.size() - pos_) {
        ok_ = false;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::u8()
{
    if (!take(1))
        return 0;
    return static_cast<std::uint8_t>(data_[pos_++]);
}

std::uint16_t ByteReader::u16()
{
    if (!take(2))
        return 0;
    std::uint16_t v;
    std::memcpy(&v, data_.constData() + pos_, 2);
    pos_ += 2;
    return v;
}

std::int32_t ByteReader::i32()
{
    if (!take(4))
        return 0;
    std::int32_t v;
    std::memcpy(&v, data_.constData() + pos_, 4);
    pos_ += 4;
    return v;
}

std::uint32_t ByteReader::u32()
{
    return static_cast<std::uint32_t>(i32());
}

double ByteReader::f64()
{
    if (!take(8))
        return 0;
    double v;
    std::memcpy(&v, data_.constData() + pos_, 8);
    pos_ += 8;
    return v;
}

QByteArray ByteReader::bytes(qsizetype n)
{
    if (!take(n))
        return {};
    QByteArray out = data_.mid(pos_, n);
    pos_ += n;
    return out;
}

void ByteWriter::u16(std::uint16_t v)
{
    out_.append(reinterpret_cast<const char*>(&v), 2);
}

void ByteWriter::i32(std::int32_t v)
{
    out_.append(reinterpret_cast<const char*>(&v), 4);
}

void ByteWriter::f64(double v)
{
    out_.append(reinterpret_cast<const char*>(&v), 8);
}

void ByteWriter::patchI32(qsizetype pos, std::int32_t v)
{
    if (pos >= 0 && pos + 4 <= out_.size())
        std::memcpy(out_.data() + pos, &v, 4);
}

std::uint8_t FixedRecord::u8(qsizetype off) const
{
    return fits(off, 1) ? static_cast<std::uint8_t>(bytes_[off]) : 0;
}

std::uint16_t FixedRecord::u16(qsizetype off) const
{
    std::uint16_t v = 0;
    if (fits(off, 2))
        std::memcpy(&v, bytes_.constData() + off, 2);
    return v;
}

std::int32_t FixedRecord::i32(qsizetype off) const
{
    std::int32_t v = 0;
    if (fits(off, 4))
        std::memcpy(&v, bytes_.constData() + off, 4);
    return v;
}

double FixedRecord::f64(qsizetype off) const
{
    double v = 0;
    if (fits(off, 8))
        std::memcpy(&v, bytes_.constData() + off, 8);
    return v;
}

QByteArray FixedRecord::str(qsizetype off, int n) const
{
    if (!fits(off, 1))
        return {};
    qsizetype len = std::min<qsizetype>(u8(off), n);
    len = std::min(len, bytes_.size() - off - 1);
    return bytes_.mid(off + 1, len);
}

QByteArray FixedRecord::raw(qsizetype off, qsizetype n) const
{
    if (!fits(off, n))
        return QByteArray(n > 0 ? n : 0, '\0');
    return bytes_.mid(off, n);
}

void FixedRecord::setU8(qsizetype off, std::uint8_t v)
{
    if (fits(off, 1))
        bytes_[off] = static_cast<char>(v);
}

void FixedRecord::setU16(qsizetype off, std::uint16_t v)
{
    if (fits(off, 2))
        std::memcpy(bytes_.data() + off, &v, 2);
}

void FixedRecord::setI32(qsizetype off, std::int32_t v)
{
    if (fits(off, 4))
        std::memcpy(bytes_.data() + off, &v, 4);
}

void FixedRecord::setF64(qsizetype off, double v)
{
    if (fits(off, 8))
        std::memcpy(bytes_.data() + off, &v, 8);
}

void FixedRecord::setStr(qsizetype off, int n, const QByteArray& value)
{
    if (!fits(off, n + 1))
        return;
    const QByteArray cut = CodePage::document().cutBytes(value, n);
    bytes_[off] = static_cast<char>(cut.size());
    std::memcpy(bytes_.data() + off + 1, cut.constData(), cut.size());
    std::memset(bytes_.data() + off + 1 + cut.size(), 0, n - cut.size());
}

void FixedRecord::setRaw(qsizetype off, const QByteArray& value)
{
    if (fits(off, value.size()))
        std::memcpy(bytes_.data() + off, value.constData(), value.size());
}

} // namespace korvel
