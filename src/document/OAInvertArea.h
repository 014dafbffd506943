#pragma once

#include "document/OAShape.h"

#include <memory>

namespace korvel {

/// A rectangle whose content prints inverted (kind 8). On screen the base paints it by
/// inverting what lies beneath; its own picture is only a one-pixel outline.
class TOAInvertArea : public TOABoxShape {
public:
    TOAInvertArea();
    std::unique_ptr<TOAControl> clone() const override;

protected:
    void Render() override;
};

} // namespace korvel
