#pragma once

#include <QString>

namespace korvel {

/// The read-only data folder (Language/, Samples/, Pictures/, the glyph file): $KORVEL_DATA when
/// set, else <executable dir>/../share/korvel when that exists (build tree and installed tree),
/// else <install prefix>/share/korvel.
QString dataDirectory();

/// The writable settings folder: $KORVEL_HOME when set, else $XDG_CONFIG_HOME/korvel, else
/// ~/.config/korvel. The folder is not created here.
QString settingsDirectory();

/// Path of a file in the data folder.
QString dataFile(const QString& name);

} // namespace korvel
