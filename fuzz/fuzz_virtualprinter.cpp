// Printer command streams, as damaged or hostile as they come: printed whole and printed again in
// pieces of a size taken from the first byte, both must give the same label formats and stay
// inside the printer's limits.
#include "FuzzSupport.h"

#include "printing/virtual/VirtualPrinter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

/// Pictures of the same size and bit rows (QImage's own comparison goes pixel by pixel).
bool samePicture(const QImage& a, const QImage& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.size() == b.size() && a.format() == b.format() && a.sizeInBytes() == b.sizeInBytes()
        && std::memcmp(a.constBits(), b.constBits(), size_t(a.sizeInBytes())) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    if (size == 0)
        return 0;
    const int chunk = 1 + data[0] % 61;
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    // Smaller limits than a real printer's keep every run quick; the code paths are the same.
    korvel::VirtualPrinterOptions options;
    options.dpi = data[0] & 0x80 ? 300 : 203;
    options.maxPageWidth = 1024;
    options.maxPageHeight = 1024;
    options.maxGraphicsBytes = 1 << 20;
    options.maxKeptImageBytes = 2 << 20;
    options.maxWarnings = 64;

    const korvel::VirtualPrintout whole = korvel::PrintVirtually(stream, options);
    korvel::VirtualPrinter pieces(options);
    for (qsizetype i = 0; i < stream.size(); i += chunk)
        pieces.feed(stream.sliced(i, std::min<qsizetype>(chunk, stream.size() - i)));
    pieces.finish();

    check(whole.warnings.size() <= options.maxWarnings, "warnings kept within the limit");
    check(whole.formats.size() == pieces.formats().size(), "same formats whole and in pieces");
    check(whole.warnings.size() == pieces.warnings().size(), "same warnings whole and in pieces");
    qint64 kept = 0;
    for (qsizetype i = 0; i < whole.formats.size(); ++i) {
        const korvel::VirtualLabelFormat& f = whole.formats[i];
        check(samePicture(f.image, pieces.formats()[i].image), "same picture whole and in pieces");
        check(f.quantity == pieces.formats()[i].quantity, "same quantity whole and in pieces");
        if (!f.image.isNull()) {
            check(f.image.width() <= options.maxPageWidth && f.image.height() <= options.maxPageHeight,
                "page within the printable size");
            kept += f.image.sizeInBytes();
        }
    }
    check(kept <= options.maxKeptImageBytes, "pictures within the limit");
    return 0;
}
