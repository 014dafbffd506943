#pragma once

#include <QIcon>
#include <QString>

namespace korvel {

/// The toolbar pictures, drawn by the program itself ("new", "open", "save", "text", "barcode",
/// "alignleft" …); a null icon for an unknown name.
QIcon ToolIcon(const QString& name);
/// The picture of a command that cannot be used now: pale grey and half transparent.
QPixmap DisabledPixmap(const QPixmap& pixmap);

} // namespace korvel
