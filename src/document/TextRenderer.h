#pragma once

#include <QImage>
#include <QSize>

namespace korvel {

class TOAText;

/// Printer resolution a text without one of its own is drawn at.
inline constexpr int DefaultPrinterDpi = 203;

/// Lays a screen-font text out (its size, fitted font width, paragraph lines and the other
/// outputs the text stores) and, with `draw`, draws its unturned picture: at the text's zoom on
/// screen, at its printer resolution when it is a printer copy. `size` receives the picture's
/// size, drawn or not; the picture is null when not drawn or when its memory could not be had.
QImage RenderScreenFontText(TOAText& text, bool draw, QSize& size);

/// The length at the nominal size that the screen pass of a single-line or ring text leaves for
/// the printer pass (StrDotLen), without drawing anything.
void MeasureScreenFontLength(TOAText& text);

} // namespace korvel
