#pragma once

#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8 // text() as UTF-8
#endif

#include "document/PageRecord.h"
#include "document/PrinterSetting.h"
#include "printing/commands/QcmlCommands.h"
#include "printing/virtual/VirtualPrinter.h"

#include <QImage>

#include <ZXing/ReadBarcode.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace korvel::test {

/// Builds command streams with the program's own command builders.
struct StreamBuilder {
    CommandContext ctx;
    TPrinterSetting setting;
    TPageRecord page;
    QByteArray bytes;

    StreamBuilder(int widthTenths = 600, int heightTenths = 400)
    {
        setting.PrintType = 1;
        setting.FeedType = 2;
        setting.PageType = 2;
        page = TPageRecord::defaultRecord();
        page.PaperWidth = std::uint16_t(widthTenths);
        page.PaperHeight = std::uint16_t(heightTenths);
        page.PaperLeftMargin = 0;
        page.PaperTopMargin = 0;
    }

    StreamBuilder& add(const CommandPieces& command)
    {
        EXPECT_TRUE(command.ok()) << command.status.text().toStdString();
        bytes += command.stream();
        return *this;
    }
    StreamBuilder& setup() { return add(BuildJobSetup(ctx, setting, 0)); }
    StreamBuilder& labelStart() { return add(BuildLabelStart(ctx, setting, page)); }
    /// Job setup and label start.
    StreamBuilder& start() { return setup().labelStart(); }
    StreamBuilder& end(int quantity = 1, int cut = 1) { return add(BuildLabelEnd(ctx, quantity, cut)); }
};

/// A single label format printed from a stream; fails the test when the stream printed
/// anything but one format or left warnings.
inline QImage PrintOne(const QByteArray& stream, int dpi = 203)
{
    VirtualPrinterOptions options;
    options.dpi = dpi;
    const VirtualPrintout out = PrintVirtually(stream, options);
    for (const auto& w : out.warnings)
        ADD_FAILURE() << "warning at " << w.offset << ": " << w.message.toStdString();
    EXPECT_EQ(out.formats.size(), 1);
    return out.formats.isEmpty() ? QImage() : out.formats.front().image;
}

/// Number of printed dots inside a rectangle of a printout.
inline int DotsIn(const QImage& image, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += VirtualDot(image, x, y) ? 1 : 0;
    return n;
}

inline int DotsIn(const QImage& image)
{
    return DotsIn(image, image.rect());
}

/// A region of a printout as a white-framed grey picture for the reader.
inline QImage ReaderImage(const QImage& printout, const QRect& region, int quiet = 40)
{
    QImage gray(region.width() + 2 * quiet, region.height() + 2 * quiet, QImage::Format_Grayscale8);
    gray.fill(255);
    for (int y = 0; y < region.height(); ++y)
        for (int x = 0; x < region.width(); ++x)
            if (VirtualDot(printout, region.left() + x, region.top() + y))
                gray.scanLine(y + quiet)[x + quiet] = 0;
    return gray;
}

/// The text of the one symbol of a grayscale picture, rotations and harder tries included;
/// empty when nothing reads.
inline std::string ReadGrayText(const QImage& gray, ZXing::DecodeHints hints = {})
{
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const ZXing::ImageView view(
        gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum, int(gray.bytesPerLine()));
    const ZXing::Result r = ZXing::ReadBarcode(view, hints);
    return r.isValid() ? r.text() : std::string();
}

struct ReadBack {
    bool valid = false;
    std::string text;
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
};

/// Reads one symbol of a printout region with zxing-cpp.
inline ReadBack ReadSymbol(const QImage& printout, const QRect& region, ZXing::BarcodeFormats formats,
    bool codabarStartEnd = false)
{
    const QImage gray = ReaderImage(printout, region);
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setReturnCodabarStartEnd(codabarStartEnd);
    ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
        static_cast<int>(gray.bytesPerLine()));
    const auto result = ZXing::ReadBarcode(view, hints);
    ReadBack read;
    read.valid = result.isValid();
    read.text = result.text();
    read.format = result.format();
    return read;
}

} // namespace korvel::test
