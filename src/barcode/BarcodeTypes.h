#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace korvel {

/// Symbology of a barcode object; stored as one byte in label files, so the values are fixed.
enum class TBarCodeType : std::uint8_t {
    bcCodeIndustrial25 = 0,
    bcCodeInter25 = 1,
    bcCodeEurMatrix = 2,
    bcCodeJanMatrix = 3,
    bcCode39 = 4,
    bcCode39Ex = 5,
    bcCodeHBIC = 6,
    bcCodeCodabar = 7,
    bcCode128 = 8,
    bcCode93 = 9,
    bcCodeEAN13 = 10,
    bcCodeEAN8 = 11,
    bcCodeUPCA = 12,
    bcCodeUPCE = 13,
    bcCodeUccEan = 14,
    bcCodeUPC2 = 15,
    bcCodeUPC5 = 16,
    bcCodePostnet = 17,
    bcCodeCYM = 18,
    bcCodePost25 = 19,
    bcCodePDF417 = 20,
    bcCodeQR = 21,
    bcCodeUCCEAN128DZJG = 22,
    bcCodeUCCEAN128 = 23,
};

/// Where the human-readable text stands; one byte.
enum class TLabelPosition : std::uint8_t {
    lpBelow = 0,
    lpAbove = 1,
};

/// Alignment of the human-readable text; one byte.
enum class TLabelAlignment : std::uint8_t {
    laCenter = 0,
    laLeft = 1,
    laRight = 2,
    laAuto = 3,
};

/// Highest stored TBarCodeType value.
inline constexpr int kLastBarCodeType = 23;

/// True for the values 0..23 of the enumeration (a byte read from a file may be anything).
constexpr bool IsKnownBarCodeType(TBarCodeType type)
{
    return static_cast<int>(type) <= kLastBarCodeType;
}

/// PDF417 and QR Code; everything else known is linear.
constexpr bool IsTwoDimensional(TBarCodeType type)
{
    return type == TBarCodeType::bcCodePDF417 || type == TBarCodeType::bcCodeQR;
}

constexpr bool IsLinear(TBarCodeType type)
{
    return IsKnownBarCodeType(type) && !IsTwoDimensional(type);
}

/// EAN-13, EAN-8, UPC-A and UPC-E: longer guard bars and digits placed by module position.
constexpr bool IsEanUpc(TBarCodeType type)
{
    return type == TBarCodeType::bcCodeEAN13 || type == TBarCodeType::bcCodeEAN8 || type == TBarCodeType::bcCodeUPCA
        || type == TBarCodeType::bcCodeUPCE;
}

/// Code 128 family: the escape form is what gets drawn.
constexpr bool IsCode128Family(TBarCodeType type)
{
    return type == TBarCodeType::bcCode128 || type == TBarCodeType::bcCodeUccEan
        || type == TBarCodeType::bcCodeUCCEAN128DZJG || type == TBarCodeType::bcCodeUCCEAN128;
}

/// Entry of the barcode dialog's type list (types 0..22); type 23 is not offered and has none.
/// Type 22 is a Chinese name, hence a QString rather than bytes.
inline QString BarCodeTypeDisplayName(TBarCodeType type)
{
    static constexpr const char* names[] = {
        "2/5 Industrial",
        "2/5 Interleaved",
        "2/5 MATRIX Eur",
        "2/5 MATRIX Jap",
        "Regular Code 39",
        "Full ASCII Code 39",
        "HIBC",
        "CodaBar",
        "Code128",
        "Code93",
        "EAN 13",
        "EAN 8",
        "UPC-A",
        "UPC-E",
        "UCC/EAN",
        "UPC/EAN EXT 2",
        "UPC/EAN EXT 5",
        "Postnet",
        "Dispatch",
        "China Post",
        "PDF417",
        "QR Code",
        "\xe7\x94\xb5\xe5\xad\x90\xe7\x9b\x91\xe7\xae\xa1\xe7\xa0\x81", // electronic supervision code
    };
    const auto index = static_cast<std::size_t>(type);
    if (index >= std::size(names))
        return {};
    return QString::fromUtf8(names[index]);
}

} // namespace korvel
