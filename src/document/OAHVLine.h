#pragma once

#include "document/OALine.h"

#include <memory>

namespace korvel {

/// A strictly horizontal or vertical line (kind 7). Its LineFlag always follows its style
/// (0 vertical -> 2, 2 horizontal -> 3), so a line read from a file or drawn by the tool has
/// the direction that printing needs.
class TOAHVLine : public TOALineShape {
public:
    TOAHVLine();
    std::unique_ptr<TOAControl> clone() const override;

    void setStyle(int style) override;
    /// A quarter turn also switches the style between vertical and horizontal.
    void Rotate90() override;
};

} // namespace korvel
