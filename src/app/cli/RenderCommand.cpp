#include "cli/CliCommands.h"
#include "cli/CommandLine.h"
#include "cli/CommandSupport.h"
#include "cli/DataOptions.h"
#include "cli/StreamRender.h"
#include "document/DesignView.h"
#include "document/LabelDocument.h"
#include "document/SafeFile.h"
#include "persistence/SystemSettings.h"
#include "printing/job/JobRecords.h"
#include "printing/virtual/VirtualLabel.h"
#include "variables/database/DatabaseSource.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTextStream>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace korvel::cli {

const char* const kRenderUsage
    = "render LABEL.kvl -o OUT.png [--record N] [--data SOURCE] [--data-encoding NAME]\n"
      "                  [--design [--zoom P | --size N]] [--accept-damaged]\n"
      "korvel-cli render --stream IN.prn -o OUT.png [--dpi 203|300]";

namespace {

/// The largest design view drawn, in pixels (8,192 x 8,192, 256 MB).
constexpr qint64 kMaxDesignPixels = 64LL * 1024 * 1024;

} // namespace

int renderCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("render"), QString::fromLatin1(kRenderUsage),
        QStringLiteral("Draw one label (the first grid position, no margins) as the printer prints it, a 1-bit "
                       "PNG in printer dots; with --design the design view instead."));
    line.addPositional(QStringLiteral("LABEL.kvl"), QStringLiteral("The label file."));
    const QCommandLineOption output = option::output(QStringLiteral("OUT.png"));
    const QCommandLineOption record = option::record();
    const QCommandLineOption design(QStringLiteral("design"), QStringLiteral("Draw the design view."));
    const QCommandLineOption zoom(
        QStringLiteral("zoom"), QStringLiteral("Zoom of the design view in percent (50-600)."), QStringLiteral("P"));
    const QCommandLineOption size(QStringLiteral("size"),
        QStringLiteral("Fit the longer side of the design view to N pixels (a thumbnail)."), QStringLiteral("N"));
    for (const QCommandLineOption& o : { output, record })
        line.add(o);
    const DataOptions data(line);
    const QCommandLineOption stream(QStringLiteral("stream"),
        QStringLiteral("Print a command stream IN.prn through the virtual printer instead of a label: one PNG per "
                       "label format (OUT-0001.png ...)."),
        QStringLiteral("IN.prn"));
    const QCommandLineOption dpi(
        QStringLiteral("dpi"), QStringLiteral("The virtual printer's resolution for --stream (203 or 300)."), QStringLiteral("N"));
    for (const QCommandLineOption& o : { design, zoom, size, option::acceptDamaged(), stream, dpi })
        line.add(o);
    if (const auto done = line.parse(arguments))
        return *done;

    if (line.isSet(stream)) {
        QString streamError;
        const std::optional<std::int64_t> dots = line.number(dpi, 203, 300, streamError);
        if (!streamError.isEmpty())
            return line.usage(streamError);
        if (!line.positionals().isEmpty())
            return line.usage(QStringLiteral("render takes a label file or --stream, not both"));
        if (line.isSet(design) || line.isSet(zoom) || line.isSet(record) || line.isSet(option::data()))
            return line.usage(QStringLiteral("--stream goes without --design, --zoom, --record and --data"));
        if (dots && *dots != 203 && *dots != 300)
            return line.usage(QStringLiteral("--dpi takes 203 or 300"));
        if (line.value(output).isEmpty())
            return line.usage(QStringLiteral("render needs -o OUT.png"));
        return renderStreamCommand(line.value(stream), line.value(output), int(dots.value_or(203)));
    }
    if (line.isSet(dpi))
        return line.usage(QStringLiteral("--dpi goes with --stream"));

    const QStringList labels = line.positionals();
    if (labels.size() > 1)
        return line.usage(QStringLiteral("render takes one label file"));
    QString error;
    const std::optional<std::int64_t> recordValue = line.number(record, 1, std::numeric_limits<int>::max(), error);
    const std::optional<std::int64_t> zoomValue = line.number(zoom, 50, 600, error);
    const std::optional<std::int64_t> sizeValue = line.number(size, 1, 4096, error);
    if (!error.isEmpty())
        return line.usage(error);
    if (labels.isEmpty())
        return line.usage(QStringLiteral("render needs a label file"));
    const QString label = labels[0];
    const QString outputPath = line.value(output);
    if (outputPath.isEmpty())
        return line.usage(QStringLiteral("render needs -o OUT.png"));
    const bool designView = line.isSet(design);
    if ((zoomValue || sizeValue) && !designView)
        return line.usage(QStringLiteral("%1 goes with --design").arg(zoomValue ? "--zoom" : "--size"));
    if (zoomValue && sizeValue)
        return line.usage(QStringLiteral("--zoom and --size exclude each other"));
    if (designView && (recordValue || line.isSet(option::data())))
        return line.usage(QStringLiteral("--design shows the stored contents; --record and --data go without it"));
    std::optional<SourceSpec> dataSpec;
    if (!data.read(dataSpec, error))
        return line.usage(error);
    if (dataSpec && dataSpec->fromStdin)
        dataSpec->text.maxRecords = recordValue.value_or(1);

    LabelDocument doc;
    if (!openLabel(label, doc, !line.isSet(QStringLiteral("accept-damaged")), error))
        return fail(error);
    if (const QString tooLarge = ObjectTooLarge(doc, label); !tooLarge.isEmpty())
        return fail(tooLarge);
    const SystemSettings settings = readSettings();

    QImage image;
    if (designView) {
        // The zoom that fits the longer side: the view is drawn at a whole percent at least as
        // large, then scaled down.
        const double longer = std::max<double>({ 1.0, double(doc.pixels().labelWidth), double(doc.pixels().labelHeight) });
        const int percent = sizeValue ? int(std::clamp(std::ceil(100.0 * double(*sizeValue) / longer), 50.0, 600.0))
                                      : int(zoomValue.value_or(100));
        const double across = percent / 100.0 * double(doc.pixels().labelWidth) + 1;
        const double down = percent / 100.0 * double(doc.pixels().labelHeight) + 1;
        if (across * down > double(kMaxDesignPixels))
            return fail(QStringLiteral("%1: the design view at %2% would be %3 x %4 pixels, more than can be drawn; "
                                       "choose a smaller --zoom")
                            .arg(label)
                            .arg(percent)
                            .arg(qint64(across))
                            .arg(qint64(down)));
        image = RenderDesignView(doc, percent, settings.drawingMode(), true);
        if (image.isNull())
            return fail(QStringLiteral("%1: there is not enough memory for the design view at %2%").arg(label).arg(percent));
        if (sizeValue)
            image = image.scaled(int(*sizeValue), int(*sizeValue), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } else {
        std::unique_ptr<DatabaseSource> live;
        if (!OpenRecords(doc, dataSpec, live, recordValue.has_value(), error))
            return fail(error);
        std::unique_ptr<DatabaseJobRecords> records;
        if (live && live->isOpen())
            records = std::make_unique<DatabaseJobRecords>(*live);
        if (recordValue) {
            if (!records)
                return fail(QStringLiteral("%1 has no data source to take record %2 from").arg(label, QString::number(*recordValue)));
            if (*recordValue > records->recordCount())
                return fail(QStringLiteral("record %1 asked for, the data source holds %2")
                                .arg(*recordValue)
                                .arg(records->recordCount()));
        }
        if (const QString same = outputIsAnInput(outputPath, InputFiles(label, live.get())); !same.isEmpty())
            return fail(same);
        if (records)
            MoveToRecord(*records, recordValue.value_or(1));

        const VirtualLabelPrintout printout = PrintFirstLabel(doc, LabelContext(doc, settings, records.get()));
        for (const QString& note : printout.notes)
            warn(note);
        for (const VirtualPrinterWarning& w : printout.warnings)
            warn(QStringLiteral("printer, byte %1: %2").arg(w.offset).arg(w.message));
        if (!printout.ok())
            return fail(QStringLiteral("%1: the label cannot be printed: %2").arg(label, FailureText(printout.status)));
        image = printout.label;
    }
    if (const QString same = outputIsAnInput(outputPath, { label }); !same.isEmpty())
        return fail(same);

    const QByteArray png = PngBytes(image, &error);
    if (png.isEmpty())
        return fail(QStringLiteral("cannot write %1: %2").arg(outputPath, error));
    TerminationGuard cleanUp;
    if (!WriteFileSafely(outputPath, png, &error))
        return fail(error);
    QTextStream(stdout) << outputPath << ": " << image.width() << " x " << image.height()
                        << (designView ? " pixels\n" : " dots\n");
    return Success;
}

} // namespace korvel::cli
