#pragma once

#include "editor/editing/SurfaceEditor.h"

#include <QString>

#include <functional>
#include <initializer_list>

namespace korvel {

/// Fills a C format text of a language file with numbers: %f, %.Nf, %e, %g and %d take the
/// next number, %% is a percent sign; anything else is copied as it stands, and a missing
/// number leaves its specifier out. Never reads past the numbers given.
QString FormatNumbers(const QString& format, std::initializer_list<double> numbers);

/// Looks up a text of section and key, or the fallback.
using SurfaceTextLookup = std::function<QString(const char* section, const char* key, const QString& fallback)>;

/// The two status panels of a move or resize: panel 4 "X,Y:" and the position, panel 5 the
/// kind and its size (or a line's length), in the "haomi" and "haomi1" formats of "All".
struct GestureStatusTexts {
    QString position;
    QString size;
};
GestureStatusTexts StatusTextsOf(const GestureStatus& status, const SurfaceTextLookup& lookup);

} // namespace korvel
