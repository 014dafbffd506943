#pragma once

#include <QFont>
#include <QString>

namespace korvel {

/// Registers the free fonts that stand in for the faces labels name, loading them from their
/// files once per process, so that a label renders alike on every machine. Needs a
/// QGuiApplication; returns the number of font files registered (0 without one).
int loadPinnedFonts();

/// The installed family that stands in for a face name stored in a label ("Arial" -> "Liberation
/// Sans", "宋体" -> "WenQuanYi Micro Hei" …). A face that is not a known Windows face and is
/// installed here keeps its own name; anything else becomes "Liberation Sans".
QString mappedFamily(const QString& face);

/// Family that draws the characters the mapped family lacks (Chinese).
QString fallbackFamily();

/// A font of the mapped family at a pixel size (em height), with the fallback chain fixed.
/// No style is set; callers add bold, italic and the like.
QFont mappedFont(const QString& face, int pixelSize);

} // namespace korvel
