#include "document/OAHVLine.h"

namespace korvel {

TOAHVLine::TOAHVLine()
    : TOALineShape(ObjectKind::HVLine, false, 30, 1)
{
}

std::unique_ptr<TOAControl> TOAHVLine::clone() const
{
    return std::make_unique<TOAHVLine>(*this);
}

void TOAHVLine::setStyle(int style)
{
    // The direction is not stored in label files; deriving it here is what lets a line read
    // from a file (or drawn by the tool) print as a vertical or horizontal line.
    if (const int flag = LineFlagOfHVStyle(style); flag >= 0)
        lineFlag_ = flag;
    TOALineShape::setStyle(style);
}

void TOAHVLine::Rotate90()
{
    TurnLineQuarter(start_, end_);
    if (style_ == lsLeft)
        style_ = lsTop;
    else if (style_ == lsTop)
        style_ = lsLeft;
    syncAbsFromPixels();
    RebuildImage();
}

} // namespace korvel
