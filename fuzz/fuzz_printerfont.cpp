// The printer-font glyph file. Its fonts start at fixed offsets up to 141 KiB; the first input
// byte chooses a font slot and the rest of the input is placed at that slot's offset (zeros in
// front), so small inputs reach every font. Every header and glyph is read and a text with every
// byte code is laid out.
#include "FuzzSupport.h"

#include "document/PrinterFontFile.h"

#include <cstdint>

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzChoices choose(data, size);
    const int slot = 1 + choose.byte() % PrinterFontSlots;
    const QByteArray body = choose.rest();
    QByteArray bytes(PrinterFontOffsets[static_cast<size_t>(slot - 1)], '\0');
    bytes += body;
    const PrinterFontFile file = PrinterFontFile::fromBytes(bytes);

    for (int font = 0; font <= PrinterFontSlots + 1; ++font) {
        PrinterFontHeader header;
        (void)file.header(font, &header);
    }
    for (int code = -1; code <= PrinterFontCodeLimit; ++code) {
        const std::optional<PrinterGlyph> glyph = file.glyph(slot, code);
        if (!glyph)
            continue;
        FUZZ_CHECK(glyph->bits.size() == static_cast<qsizetype>(glyph->rows) * glyph->bytesPerRow());
        int black = 0;
        for (int y = -1; y <= glyph->rows; ++y)
            for (int x = -1; x <= glyph->width; ++x)
                black += glyph->pixel(x, y) ? 1 : 0;
        (void)black;
    }

    QByteArray text;
    for (int c = 1; c < 256; ++c)
        text += static_cast<char>(c);
    const PrinterFontPicture picture = RenderPrinterFontText(file, slot, text);
    if (picture.ok())
        FUZZ_CHECK(!picture.image.isNull() && picture.image.width() <= PrinterFontMaxPictureWidth);
    return 0;
}
