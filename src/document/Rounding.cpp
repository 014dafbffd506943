#include "document/Rounding.h"

#include <cstdio>
#include <cstdlib>

namespace korvel {

double KeepThreeDecimals(double mm)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", mm);
    return std::strtod(text, nullptr);
}

} // namespace korvel
