#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

namespace korvel {

/// The result of a two-dimensional encoder: `height` rows of (width + 7) div 8 bytes, most
/// significant bit leftmost, a set bit a dark module, already scaled to dots.
struct SymbolMatrix {
    std::int32_t width = 0;
    std::int32_t height = 0;
    QByteArray bits;

    std::int32_t stride() const { return (width + 7) / 8; }
    bool isNull() const { return width <= 0 || height <= 0; }
    bool dark(std::int32_t x, std::int32_t y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        const auto byte = static_cast<unsigned char>(bits[static_cast<qsizetype>(y) * stride() + x / 8]);
        return (byte >> (7 - x % 8)) & 1U;
    }
    void clear()
    {
        width = 0;
        height = 0;
        bits.clear();
    }
};

/// Error values of the two symbol adapters (the encoders return them instead of a size).
enum SymbolError : int {
    kSymbolBadArgument = -1, ///< a setting outside its range or malformed input text
    kSymbolDataTooLong = -2, ///< the data does not fit any symbol the settings allow
    kSymbolEncodeFailed = -3, ///< the encoder refused the data for another reason
    kSymbolNoData = -4, ///< empty data
};

/// Fills `out` from a module grid (`rows` × `columns` bytes, non-zero dark), each module
/// `xScale` × `yScale` dots. False, with `out` cleared, for sizes that do not make sense.
bool ScaleModules(const std::vector<std::uint8_t>& modules, std::int32_t columns, std::int32_t rows,
                  std::int32_t xScale, std::int32_t yScale, SymbolMatrix& out);

/// A one-bit image (Format_Mono, index 0 black, 1 white) of the given size, white, with the
/// matrix rows copied byte by byte into its top-left corner; what the matrix does not cover stays
/// white. A null image when the size is not positive.
QImage SymbolMatrixImage(const SymbolMatrix& matrix, int imageWidth, int imageHeight);

} // namespace korvel
