#pragma once

#include <cstdint>

namespace korvel {

/// Logical screen resolution used for every pixel conversion.
inline constexpr int ScreenPPI = 96;

/// 0.1 mm -> pixels at 100 %.
int TenthsToPixels(double tenths, int ppi = ScreenPPI);
/// Pixels at 100 % -> 0.1 mm.
int PixelsToTenths(double px, int ppi = ScreenPPI);
/// Millimetres -> screen pixels at zoom factor z.
int MMToPixels(double mm, double zoom, int ppi = ScreenPPI);
/// Screen pixels at zoom factor z -> millimetres, kept to three decimals.
double PixelsToMM(double px, double zoom, int ppi = ScreenPPI);
/// round(a * b / PPI)
int ScaleByPPI(double a, double b, int ppi = ScreenPPI);

/// Printer resolution of a resolution index (0 -> 203, 1 -> 300).
int DpiOfIndex(int index);

/// Dot count n at 203 dpi as dots at 300 dpi, and the reverse. Inside the tables the fixed
/// values apply; outside them the count is scaled by the resolution ratio and rounded (at
/// least one dot), which continues both tables smoothly.
int Dots203To300(int n);
int Dots300To203(int n);
/// direction 1: 203 -> 300, direction 2: 300 -> 203.
int ConvertDots(int n, int direction);

} // namespace korvel
