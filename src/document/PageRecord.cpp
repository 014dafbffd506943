#include "document/PageRecord.h"

#include "document/Binary.h"

#include <algorithm>

namespace korvel {

TPageRecord TPageRecord::fromBytes(const QByteArray& bytes)
{
    FixedRecord r(bytes.left(Size).leftJustified(Size, '\0', true));
    TPageRecord p;
    for (int i = 0; i < HeadSize; ++i)
        p.head[i] = r.u8(i);
    p.PaperWidth = r.u16(34);
    p.PaperHeight = r.u16(36);
    p.PaperTopMargin = r.u16(38);
    p.PaperBottomMargin = r.u16(40);
    p.PaperLeftMargin = r.u16(42);
    p.PaperRightMargin = r.u16(44);
    p.AutoSize = r.u16(46);
    p.LabelWidth = r.u16(48);
    p.LabelHeight = r.u16(50);
    p.LabelColumn = r.u16(52);
    p.LabelRow = r.u16(54);
    p.LabelSpace = r.u16(56);
    p.LabelInterval = r.u16(58);
    return p;
}

QByteArray TPageRecord::toBytes() const
{
    FixedRecord r(Size);
    for (int i = 0; i < HeadSize; ++i)
        r.setU8(i, head[i]);
    r.setU16(34, PaperWidth);
    r.setU16(36, PaperHeight);
    r.setU16(38, PaperTopMargin);
    r.setU16(40, PaperBottomMargin);
    r.setU16(42, PaperLeftMargin);
    r.setU16(44, PaperRightMargin);
    r.setU16(46, AutoSize);
    r.setU16(48, LabelWidth);
    r.setU16(50, LabelHeight);
    r.setU16(52, LabelColumn);
    r.setU16(54, LabelRow);
    r.setU16(56, LabelSpace);
    r.setU16(58, LabelInterval);
    return r.bytes();
}

TPageRecord TPageRecord::defaultRecord()
{
    TPageRecord p;
    p.AutoSize = 1;
    p.LabelWidth = 800;
    p.LabelHeight = 500;
    p.LabelColumn = 1;
    p.LabelRow = 1;
    p.LabelInterval = 20;
    p.applyAutoSize();
    return p;
}

void TPageRecord::applyAutoSize(int capWidth)
{
    int width = LabelWidth * LabelColumn + LabelSpace * (LabelColumn - 1);
    if (capWidth > 0)
        width = std::min(width, capWidth);
    PaperWidth = static_cast<std::uint16_t>(std::max(width, 0));
    PaperHeight = static_cast<std::uint16_t>(LabelRow * (LabelHeight + LabelInterval));
    PaperTopMargin = PaperBottomMargin = PaperLeftMargin = PaperRightMargin = 0;
}

bool CellFits(const TPageRecord& p, int c, int r)
{
    const int widthLimit = std::min<int>(p.PaperWidth, 1100);
    const bool across = p.PaperLeftMargin + p.PaperRightMargin + c * p.LabelWidth + (c - 1) * p.LabelSpace <= widthLimit;
    const bool down = p.PaperTopMargin + p.PaperBottomMargin + r * p.LabelHeight + (r - 1) * p.LabelInterval <= p.PaperHeight;
    return across && down;
}

bool GridFits(const TPageRecord& p)
{
    // The cells grow toward the last one, so the largest cell decides.
    return CellFits(p, std::max<int>(p.LabelColumn, 1), std::max<int>(p.LabelRow, 1));
}

} // namespace korvel
