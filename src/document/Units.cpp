#include "document/Units.h"

#include "document/Rounding.h"

#include <algorithm>
#include <array>

namespace korvel {

int TenthsToPixels(double tenths, int ppi)
{
    return static_cast<int>(Round(ppi * tenths / 254.0));
}

int PixelsToTenths(double px, int ppi)
{
    return static_cast<int>(Round(px * 254.0 / ppi));
}

int MMToPixels(double mm, double zoom, int ppi)
{
    return static_cast<int>(Round(ppi * (mm * 10.0 * zoom) / 254.0));
}

double PixelsToMM(double px, double zoom, int ppi)
{
    return KeepThreeDecimals(px * 254.0 / ppi / 10.0 / zoom);
}

int ScaleByPPI(double a, double b, int ppi)
{
    return static_cast<int>(Round(a * b / ppi));
}

int DpiOfIndex(int index)
{
    return index == 1 ? 300 : 203;
}

namespace {
constexpr std::array<int, 16> kTo300{2, 3, 4, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 21, 23, 24};
constexpr std::array<int, 24> kTo203{1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8, 9, 9, 10, 11, 11, 12, 13, 13, 14, 15, 15, 16};
} // namespace

int Dots203To300(int n)
{
    if (n >= 1 && n <= static_cast<int>(kTo300.size()))
        return kTo300[n - 1];
    if (n <= 0)
        return n;
    return std::max(1, static_cast<int>(Round(n * 300.0 / 203.0)));
}

int Dots300To203(int n)
{
    if (n >= 1 && n <= static_cast<int>(kTo203.size()))
        return kTo203[n - 1];
    if (n <= 0)
        return n;
    return std::max(1, static_cast<int>(Round(n * 203.0 / 300.0)));
}

int ConvertDots(int n, int direction)
{
    return direction == 1 ? Dots203To300(n) : Dots300To203(n);
}

} // namespace korvel
