#pragma once

// Helpers shared by the encoder tests: patterns as element strings, the same runs read from
// zint's module rows (an independent encoder), and decoding a drawn image with zxing-cpp.

#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8 // text() as UTF-8
#endif

#include "barcode/linear/BarPattern.h"
#include "barcode/linear/LinearEncoder.h"

#include <QByteArray>
#include <QImage>
#include <QTransform>

#include <ZXing/ReadBarcode.h>
#include <zint.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace korvel::test {

struct Run {
    bool bar;
    int width;
    friend bool operator==(const Run&, const Run&) = default;
};

/// Runs of a pattern from its first to its last bar (leading and trailing white dropped).
inline std::vector<Run> patternRuns(const BarPattern& p)
{
    std::vector<Run> runs;
    for (const auto& r : p.runs)
        runs.push_back({r.bar, r.width});
    while (!runs.empty() && !runs.back().bar)
        runs.pop_back();
    return runs;
}

/// The elements as 'n' and 'w' letters (bars and spaces alternating, bar first), for patterns
/// drawn with narrow `n` and wide `w`; '?' for any other width.
inline std::string elements(const BarPattern& p, int n, int w)
{
    std::string s;
    for (const auto& r : patternRuns(p)) {
        // Neighbouring elements of one kind never occur in a two-width symbol.
        s += r.width == n ? 'n' : r.width == w ? 'w' : '?';
    }
    return s;
}

/// One character per module ('1' bar, '0' space) from the first bar, for module width n.
inline std::string modules(const BarPattern& p, int n = 1)
{
    std::string s;
    for (const auto& r : patternRuns(p))
        s.append(static_cast<std::size_t>(r.width / n), r.bar ? '1' : '0');
    return s;
}

/// Runs classified as narrow ('n') or wider ('w') than the narrowest run of the list.
inline std::string classify(const std::vector<Run>& runs)
{
    int narrow = 1 << 30;
    for (const auto& r : runs)
        narrow = std::min(narrow, r.width);
    std::string s;
    for (const auto& r : runs)
        s += r.width == narrow ? 'n' : 'w';
    return s;
}

inline std::string modulesOf(const std::vector<Run>& runs)
{
    std::string s;
    for (const auto& r : runs)
        s.append(static_cast<std::size_t>(r.width), r.bar ? '1' : '0');
    return s;
}

/// zint's encoding of `data` as module runs of one row (-1: the last row, which holds every bar).
struct ZintResult {
    int rc = -1;
    std::vector<Run> runs;
    std::vector<std::string> rows; // every row as module characters
};

inline ZintResult zintEncode(int symbology, const QByteArray& data, int option2 = 0, int row = -1)
{
    ZintResult result;
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> s(ZBarcode_Create(), &ZBarcode_Delete);
    s->symbology = symbology;
    s->option_2 = option2;
    s->input_mode = DATA_MODE;
    result.rc = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                static_cast<int>(data.size()));
    if (result.rc >= ZINT_ERROR)
        return result;
    for (int r = 0; r < s->rows; ++r) {
        std::string m;
        for (int c = 0; c < s->width; ++c)
            m += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
        result.rows.push_back(m);
    }
    const std::string& m = result.rows[static_cast<std::size_t>(row < 0 ? s->rows - 1 : row)];
    for (char c : m) {
        const bool bar = c == '1';
        if (!result.runs.empty() && result.runs.back().bar == bar)
            ++result.runs.back().width;
        else
            result.runs.push_back({bar, 1});
    }
    while (!result.runs.empty() && !result.runs.back().bar)
        result.runs.pop_back();
    while (!result.runs.empty() && !result.runs.front().bar)
        result.runs.erase(result.runs.begin());
    return result;
}

/// A Grayscale8 copy of `image` with `quiet` white dots on every side, turned by `angle`
/// (a multiple of 90).
inline QImage prepareForReader(const QImage& image, int quiet, int angle)
{
    QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    QImage framed(gray.width() + 2 * quiet, gray.height() + 2 * quiet, QImage::Format_Grayscale8);
    framed.fill(255);
    for (int y = 0; y < gray.height(); ++y)
        std::copy_n(gray.constScanLine(y), gray.width(), framed.scanLine(y + quiet) + quiet);
    if (angle % 360 == 0)
        return framed;
    return framed.transformed(QTransform().rotate(angle));
}

struct Decoded {
    bool valid = false;
    std::string text;
    std::string bytes;
    std::string symbologyIdentifier;
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
};

inline Decoded decode(const QImage& gray, ZXing::DecodeHints hints)
{
    ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                          static_cast<int>(gray.bytesPerLine()));
    const auto result = ZXing::ReadBarcode(view, hints);
    Decoded d;
    d.valid = result.isValid();
    d.format = result.format();
    d.text = result.text();
    d.bytes.assign(result.bytes().begin(), result.bytes().end());
    d.symbologyIdentifier = result.symbologyIdentifier();
    return d;
}

} // namespace korvel::test
