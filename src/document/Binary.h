#pragma once

#include <QByteArray>

#include <cstdint>

namespace korvel {

/// Sequential little-endian reader over a byte buffer. Every read is bounds-checked; the first
/// read past the end marks the reader failed and all later reads return zero values.
class ByteReader {
public:
    explicit ByteReader(const QByteArray& data) : data_(data) {}

    bool ok() const { return ok_; }
    qsizetype pos() const { return pos_; }
    qsizetype size() const { return data_.size(); }
    qsizetype remaining() const { return ok_ ? data_.size() - pos_ : 0; }
    bool seek(qsizetype pos);
    bool skip(qsizetype n) { return seek(pos_ + n); }

    std::uint8_t u8();
    std::uint16_t u16();
    std::int32_t i32();
    std::uint32_t u32();
    double f64();
    /// n raw bytes; empty and failed when fewer remain.
    QByteArray bytes(qsizetype n);

private:
    bool take(qsizetype n);

    const QByteArray& data_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

/// Sequential little-endian writer that appends to a growing buffer.
class ByteWriter {
public:
    void u8(std::uint8_t v) { out_.append(static_cast<char>(v)); }
    void u16(std::uint16_t v);
    void i32(std::int32_t v);
    void u32(std::uint32_t v) { i32(static_cast<std::int32_t>(v)); }
    void f64(double v);
    void bytes(const QByteArray& b) { out_.append(b); }
    void zeros(qsizetype n) { out_.append(n, '\0'); }
    /// Overwrites already written bytes at pos (used to patch placeholders).
    void patchI32(qsizetype pos, std::int32_t v);

    qsizetype size() const { return out_.size(); }
    const QByteArray& data() const { return out_; }
    QByteArray take() { return std::move(out_); }

private:
    QByteArray out_;
};

/// A fixed-size binary record addressed by field offsets. Reads outside the record give zero
/// values and writes outside it are ignored, so a wrong offset can never touch other memory.
class FixedRecord {
public:
    FixedRecord() = default;
    explicit FixedRecord(qsizetype size) : bytes_(size, '\0') {}
    explicit FixedRecord(QByteArray bytes) : bytes_(std::move(bytes)) {}

    qsizetype size() const { return bytes_.size(); }
    const QByteArray& bytes() const { return bytes_; }
    QByteArray& bytes() { return bytes_; }

    std::uint8_t u8(qsizetype off) const;
    std::uint16_t u16(qsizetype off) const;
    std::int32_t i32(qsizetype off) const;
    double f64(qsizetype off) const;
    /// Length-prefixed str[n] at off: the length byte (clamped to n), then the characters.
    QByteArray str(qsizetype off, int n) const;
    QByteArray raw(qsizetype off, qsizetype n) const;

    void setU8(qsizetype off, std::uint8_t v);
    void setU16(qsizetype off, std::uint16_t v);
    void setI32(qsizetype off, std::int32_t v);
    void setF64(qsizetype off, double v);
    /// Writes str[n]: a value longer than n bytes is cut to n bytes without splitting a
    /// double-byte character of the document code page. The unused tail is zeroed.
    void setStr(qsizetype off, int n, const QByteArray& value);
    void setRaw(qsizetype off, const QByteArray& value);

    bool operator==(const FixedRecord&) const = default;

private:
    bool fits(qsizetype off, qsizetype n) const { return off >= 0 && n >= 0 && off + n <= bytes_.size(); }

    QByteArray bytes_;
};

} // namespace korvel
