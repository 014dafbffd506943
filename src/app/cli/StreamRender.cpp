#include "cli/StreamRender.h"

#include "cli/CliCommands.h"
#include "cli/CommandSupport.h"
#include "document/SafeFile.h"
#include "printing/virtual/VirtualPrinter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTextStream>

namespace korvel::cli {

QByteArray PngBytes(const QImage& image, QString* error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        // The encoder's only failure short of a bad device is memory, which it does not name.
        if (error)
            *error = writer.error() == QImageWriter::UnknownError
                ? QStringLiteral("there is not enough memory to encode the picture")
                : writer.errorString();
        return {};
    }
    return bytes;
}

QString NumberedOutput(const QString& output, int number)
{
    const QString digits = QStringLiteral("-%1").arg(number, 4, 10, QLatin1Char('0'));
    const QFileInfo info(output);
    const QString suffix = info.suffix();
    if (suffix.isEmpty() || info.fileName() == QLatin1Char('.') + suffix)
        return output + digits;
    return output.left(output.size() - suffix.size() - 1) + digits + QLatin1Char('.') + suffix;
}

int renderStreamCommand(const QString& input, const QString& output, int dpi)
{
    if (QFileInfo(input).absoluteFilePath() == QFileInfo(output).absoluteFilePath() || SameFile(input, output))
        return fail(QStringLiteral("the output %1 is the input stream").arg(output));
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));
    const QByteArray stream = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));

    VirtualPrinterOptions options;
    options.dpi = dpi;
    const VirtualPrintout printout = PrintVirtually(stream, options);
    QTextStream err(stderr);
    for (const VirtualPrinterWarning& w : printout.warnings)
        err << "korvel-cli: warning: printer, byte " << w.offset << ": " << w.message << "\n";
    if (printout.unreadableAt >= 0)
        return fail(QStringLiteral("%1: not a readable printer stream at byte %2").arg(input).arg(printout.unreadableAt));
    if (printout.formats.isEmpty())
        return fail(QStringLiteral("%1: the stream prints no label (byte %2 is its end)").arg(input).arg(stream.size()));

    // Every picture is encoded before the first file is written: a picture that cannot be
    // kept fails the run with nothing written.
    QList<QByteArray> pictures;
    for (int i = 0; i < printout.formats.size(); ++i) {
        const QImage& image = printout.formats[i].image;
        const QByteArray png = image.isNull() ? QByteArray() : PngBytes(image);
        if (png.isEmpty())
            return fail(QStringLiteral("%1: label %2 is too large to keep as a picture").arg(input).arg(i + 1));
        pictures << png;
    }
    QTextStream out(stdout);
    for (int i = 0; i < pictures.size(); ++i) {
        const QString path = pictures.size() == 1 ? output : NumberedOutput(output, i + 1);
        QString error;
        if (!WriteFileSafely(path, pictures[i], &error))
            return fail(QStringLiteral("cannot write %1: %2").arg(path, error));
        const VirtualLabelFormat& format = printout.formats[i];
        out << path << ": " << format.image.width() << " x " << format.image.height() << " dots";
        if (format.quantity > 1)
            out << ", quantity " << format.quantity;
        out << "\n";
    }
    return Success;
}

} // namespace korvel::cli
