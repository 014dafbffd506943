#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

/// Writes bytes to a file through a temporary file beside it, flushed to disk and then renamed
/// over the old file, so a write that fails (or a process that dies) at any point leaves the
/// previous file as it was. False with a reason on failure. Label files, "Label.dat" and every
/// INI file are written through here.
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error);

} // namespace korvel
