#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace korvel::cli {

/// `korvel-cli render --stream IN.prn -o OUT.png [--dpi N]`: any printer command stream through
/// the virtual printer, one 1-bit PNG per label format (OUT-0001.png, OUT-0002.png …; a stream of
/// one format keeps OUT.png). A stream that does not read as commands fails with the byte
/// offset where reading stopped, and nothing is written. Returns the exit code.
int renderStreamCommand(const QString& input, const QString& output, int dpi);

/// A picture as PNG bytes; empty with the reason when it cannot be encoded.
QByteArray PngBytes(const QImage& image, QString* error = nullptr);

/// OUT.png with a four-digit number before the suffix: OUT-0001.png.
QString NumberedOutput(const QString& output, int number);

} // namespace korvel::cli
