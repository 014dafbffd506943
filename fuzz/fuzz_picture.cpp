// Pictures inside label files (and picture files the user opens): decoded, stored as the bitmap
// file image label files keep, decoded again from that image, and derived for a small control
// with settings taken from the first input byte.
#include "FuzzSupport.h"

#include "document/OAImage.h"

#include <cstdint>

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    FuzzChoices choose(data, size);
    const std::uint8_t settings = choose.byte();
    const SourcePicture source = DecodeSourcePicture(choose.rest());
    if (source.error != PictureError::None)
        return 0;
    FUZZ_CHECK(!source.image.isNull() && !source.bitmapFile.isEmpty());
    FUZZ_CHECK(source.image.width() <= MaxPictureSide && source.image.height() <= MaxPictureSide);

    // What a label file stores must open again as the same picture.
    const SourcePicture stored = DecodeSourcePicture(source.bitmapFile);
    FUZZ_CHECK(stored.error == PictureError::None);
    FUZZ_CHECK(stored.image.size() == source.image.size() && stored.oneBit == source.oneBit);

    ImageAdjustments adjust;
    adjust.angle = 90 * (settings & 3);
    adjust.bw = (settings >> 2) & 3;
    adjust.ctr = (settings & 0x10) ? 40 : 0;
    adjust.brt = (settings & 0x20) ? -30 : 0;
    adjust.horizontal = (settings & 0x40) != 0;
    adjust.invert = (settings & 0x80) != 0;
    const QImage derived = DerivePicture(source.image, adjust, QSize(37, 23));
    FUZZ_CHECK(!derived.isNull());
    return 0;
}
