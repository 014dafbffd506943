#include "barcode/twod/SymbolMatrix.h"

#include <algorithm>
#include <cstring>

namespace korvel {

bool ScaleModules(const std::vector<std::uint8_t>& modules, std::int32_t columns, std::int32_t rows,
                  std::int32_t xScale, std::int32_t yScale, SymbolMatrix& out)
{
    out.clear();
    if (columns <= 0 || rows <= 0 || xScale <= 0 || yScale <= 0
        || modules.size() < static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows))
        return false;
    const std::int64_t width = static_cast<std::int64_t>(columns) * xScale;
    const std::int64_t height = static_cast<std::int64_t>(rows) * yScale;
    if (width > 1'000'000 || height > 1'000'000 || (width + 7) / 8 * height > 256'000'000)
        return false;
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    const auto stride = static_cast<std::size_t>(out.stride());
    out.bits = QByteArray(static_cast<qsizetype>(stride * static_cast<std::size_t>(height)), '\0');
    auto* dst = reinterpret_cast<uchar*>(out.bits.data());
    for (std::int32_t r = 0; r < rows; ++r) {
        uchar* row = dst + static_cast<std::size_t>(r) * static_cast<std::size_t>(yScale) * stride;
        const std::uint8_t* src = modules.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(columns);
        std::int64_t x = 0;
        for (std::int32_t c = 0; c < columns; ++c, x += xScale) {
            if (!src[c])
                continue;
            for (std::int64_t k = x; k < x + xScale; ++k)
                row[k >> 3] = static_cast<uchar>(row[k >> 3] | (0x80U >> (k & 7)));
        }
        for (std::int32_t k = 1; k < yScale; ++k)
            std::memcpy(row + static_cast<std::size_t>(k) * stride, row, stride);
    }
    return true;
}

QImage SymbolMatrixImage(const SymbolMatrix& matrix, int imageWidth, int imageHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return {};
    QImage image(imageWidth, imageHeight, QImage::Format_Mono);
    if (image.isNull())
        return image;
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    const int stride = matrix.stride();
    if (matrix.isNull() || matrix.bits.size() < static_cast<qsizetype>(stride) * matrix.height)
        return image;
    const int rows = std::min(matrix.height, imageHeight);
    const int bytes = std::min(stride, (imageWidth + 7) / 8);
    const auto* src = reinterpret_cast<const uchar*>(matrix.bits.constData());
    for (int y = 0; y < rows; ++y) {
        uchar* dst = image.scanLine(y);
        const uchar* row = src + static_cast<std::ptrdiff_t>(y) * stride;
        for (int i = 0; i < bytes; ++i)
            dst[i] = static_cast<uchar>(~row[i]);
        // Bits past the image's own width in its last byte stay as the copy left them; they are
        // outside the picture.
    }
    return image;
}

} // namespace korvel
