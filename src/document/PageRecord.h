#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

namespace korvel {

/// The 60-byte page record: page (label stock) and label grid geometry in 0.1 mm.
struct TPageRecord {
    static constexpr int Size = 60;
    static constexpr int HeadSize = 34;

    std::array<std::uint8_t, HeadSize> head{}; ///< reserved head, carried byte for byte
    std::uint16_t PaperWidth = 0;
    std::uint16_t PaperHeight = 0;
    std::uint16_t PaperTopMargin = 0;
    std::uint16_t PaperBottomMargin = 0;
    std::uint16_t PaperLeftMargin = 0;
    std::uint16_t PaperRightMargin = 0;
    std::uint16_t AutoSize = 0;
    std::uint16_t LabelWidth = 0;
    std::uint16_t LabelHeight = 0;
    std::uint16_t LabelColumn = 0;
    std::uint16_t LabelRow = 0;
    std::uint16_t LabelSpace = 0;
    std::uint16_t LabelInterval = 0;

    /// Reads 60 bytes; missing bytes read as zero.
    static TPageRecord fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    /// A sensible first layout: one 80 x 50 mm label on 80 mm stock.
    static TPageRecord defaultRecord();

    /// Recomputes the paper size from the label grid (AutoSize); capWidth limits the width in 0.1 mm.
    void applyAutoSize(int capWidth = 0);

    bool operator==(const TPageRecord&) const = default;
};

/// Whether the label in 1-based column c and row r fits on the page (the dialogs' preview test).
bool CellFits(const TPageRecord& page, int column, int row);
/// Whether every cell of the grid fits: the state of the dialogs' OK button.
bool GridFits(const TPageRecord& page);

} // namespace korvel
