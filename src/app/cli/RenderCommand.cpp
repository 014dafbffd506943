#include "cli/RenderCommand.h"

#include "cli/CliCommands.h"
#include "cli/StreamRender.h"
#include "document/DataPaths.h"
#include "document/DesignView.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "persistence/SystemSettings.h"
#include "printing/job/JobRecords.h"
#include "printing/virtual/VirtualLabel.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/SourceSpec.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTextStream>

#include <limits>
#include <memory>
#include <optional>

namespace korvel::cli {

const char* const kRenderUsage
    = "       korvel-cli render LABEL.kvl -o OUT.png [--record N] [--data SOURCE] [--design [--zoom P]]\n"
      "       korvel-cli render --stream IN.prn -o OUT.png [--dpi 203|300]\n";

namespace {

int usage(const QString& why)
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n"
                        << "usage:" << QString::fromLatin1(kRenderUsage).mid(6);
    return Usage;
}

int fail(const QString& why)
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n";
    return Failure;
}

void warn(const QString& what)
{
    QTextStream(stderr) << "korvel-cli: warning: " << what << "\n";
}

struct RenderArguments {
    QString label;
    QString output;
    std::optional<int> record;
    QString data;
    bool design = false;
    std::optional<int> zoom;
    QString stream;
    std::optional<int> dpi;
};

/// Parses the arguments; an error text for a usage error.
QString parse(const QStringList& args, RenderArguments& out)
{
    for (int i = 0; i < args.size(); ++i) {
        QString a = args[i];
        QString value;
        bool inlineValue = false;
        if (a.startsWith(QLatin1String("--")) && a.contains(QLatin1Char('='))) {
            value = a.section(QLatin1Char('='), 1);
            a = a.section(QLatin1Char('='), 0, 0);
            inlineValue = true;
        }
        auto take = [&](QString& target) -> QString {
            if (!inlineValue) {
                if (i + 1 >= args.size())
                    return QStringLiteral("%1 needs a value").arg(a);
                value = args[++i];
            }
            target = value;
            return {};
        };
        auto takeNumber = [&](std::optional<int>& target, int low, int high) -> QString {
            QString text;
            if (QString e = take(text); !e.isEmpty())
                return e;
            bool ok = false;
            const qlonglong v = text.toLongLong(&ok);
            if (!ok || v < low || v > high)
                return QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'").arg(a).arg(low).arg(high).arg(text);
            target = int(v);
            return {};
        };
        QString error;
        if (a == QLatin1String("-o") || a == QLatin1String("--output"))
            error = take(out.output);
        else if (a == QLatin1String("--record"))
            error = takeNumber(out.record, 1, std::numeric_limits<int>::max());
        else if (a == QLatin1String("--data"))
            error = take(out.data);
        else if (a == QLatin1String("--zoom"))
            error = takeNumber(out.zoom, 50, 600);
        else if (a == QLatin1String("--stream"))
            error = take(out.stream);
        else if (a == QLatin1String("--dpi"))
            error = takeNumber(out.dpi, 203, 300);
        else if (a == QLatin1String("--design") && !inlineValue)
            out.design = true;
        else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-"))
            error = QStringLiteral("unknown option '%1'").arg(a);
        else if (out.label.isEmpty())
            out.label = a;
        else
            error = QStringLiteral("render takes one label file");
        if (!error.isEmpty())
            return error;
    }
    if (!out.stream.isEmpty()) {
        if (!out.label.isEmpty())
            return QStringLiteral("render takes a label file or --stream, not both");
        if (out.design || out.zoom || out.record || !out.data.isEmpty())
            return QStringLiteral("--stream goes without --design, --zoom, --record and --data");
        if (out.dpi && *out.dpi != 203 && *out.dpi != 300)
            return QStringLiteral("--dpi takes 203 or 300");
        if (out.output.isEmpty())
            return QStringLiteral("render needs -o OUT.png");
        return {};
    }
    if (out.dpi)
        return QStringLiteral("--dpi goes with --stream");
    if (out.label.isEmpty())
        return QStringLiteral("render needs a label file");
    if (out.output.isEmpty())
        return QStringLiteral("render needs -o OUT.png");
    if (out.zoom && !out.design)
        return QStringLiteral("--zoom goes with --design");
    if (out.design && (out.record || !out.data.isEmpty()))
        return QStringLiteral("--design shows the stored contents; --record and --data go without it");
    return {};
}

/// The designer's process-wide settings when they exist, its first-start defaults otherwise.
SystemSettings readSettings()
{
    SystemSettings settings = DefaultSystemSettings();
    QFile file(QDir(settingsDirectory()).filePath(QStringLiteral("Label.dat")));
    if (file.open(QIODevice::ReadOnly)) {
        SystemSettings read = DefaultSystemSettings();
        if (ParseLabelDat(file.readAll(), read).ok)
            settings = read;
    }
    return settings;
}

/// Writes a PNG through a temporary file, so a failed write leaves no half picture behind.
bool writePng(const QImage& image, const QString& path, QString& error)
{
    QImageWriter writer(path + QStringLiteral(".part"), "png");
    if (!writer.write(image)) {
        error = writer.errorString();
        QFile::remove(path + QStringLiteral(".part"));
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(path + QStringLiteral(".part"), path)) {
        error = QStringLiteral("cannot replace the file");
        QFile::remove(path + QStringLiteral(".part"));
        return false;
    }
    return true;
}

} // namespace

int renderCommand(const QStringList& arguments)
{
    RenderArguments args;
    if (const QString error = parse(arguments, args); !error.isEmpty())
        return usage(error);
    if (!args.stream.isEmpty())
        return renderStreamCommand(args.stream, args.output, args.dpi.value_or(203));
    std::optional<SourceSpec> dataSpec;
    if (!args.data.isEmpty()) {
        const SpecResult parsed = ParseDataArgument(args.data);
        if (!parsed.sourceSpec)
            return usage(QStringLiteral("bad --data '%1': %2").arg(args.data, parsed.error));
        dataSpec = parsed.sourceSpec;
    }

    LabelDocument doc;
    const LabelFileResult read = ReadLabelFile(args.label, doc);
    if (!read.opened())
        return fail(read.message.isEmpty() ? QStringLiteral("cannot read %1").arg(args.label) : read.message);
    if (read.status == LabelFileResult::Status::Damaged)
        warn(args.label + QStringLiteral(": ") + read.message);
    const SystemSettings settings = readSettings();

    QImage image;
    if (args.design) {
        image = RenderDesignView(doc, args.zoom.value_or(100), settings.drawingMode());
        if (image.isNull())
            return fail(QStringLiteral("%1: the design view is empty").arg(args.label));
    } else {
        // The record: the --data source for this run, or the label's own stored source.
        std::unique_ptr<DatabaseSource> live;
        if (dataSpec) {
            const BindingResult bound = OverrideDataSource(doc, live, *dataSpec);
            if (!bound.ok)
                return fail(bound.message);
        } else if (doc.database.active) {
            const BindingResult bound = RestoreDataSource(doc, live);
            if (!bound.ok && (UsesDatabaseVariable(doc) || args.record))
                return fail(QStringLiteral("the label's data source cannot be opened: %1").arg(bound.message));
        }
        std::unique_ptr<DatabaseJobRecords> records;
        if (live && live->isOpen())
            records = std::make_unique<DatabaseJobRecords>(*live);
        if (args.record) {
            if (!records)
                return fail(QStringLiteral("%1 has no data source to take record %2 from").arg(args.label, QString::number(*args.record)));
            if (*args.record > records->recordCount())
                return fail(QStringLiteral("record %1 asked for, the data source holds %2")
                                .arg(*args.record)
                                .arg(records->recordCount()));
        }
        if (records) {
            records->first();
            for (int i = 1; i < args.record.value_or(1); ++i)
                records->next();
        }

        EmissionContext context;
        context.commands.PrinterID = doc.printer.PrinterID;
        context.commands.DrawingMode = settings.drawingMode();
        context.commands.PrinterIndex = doc.printerModel;
        context.commands.ModelButtonsDown = 0;
        context.evaluation.fields = records ? &records->fields() : nullptr;
        context.dataSetEmpty = !records || records->recordCount() == 0;

        const VirtualLabelPrintout printout = PrintFirstLabel(doc, context);
        for (const QString& note : printout.notes)
            warn(note);
        for (const VirtualPrinterWarning& w : printout.warnings)
            warn(QStringLiteral("printer, byte %1: %2").arg(w.offset).arg(w.message));
        if (!printout.ok())
            return fail(QStringLiteral("%1: the label cannot be printed: %2").arg(args.label, printout.status.text()));
        image = printout.label;
    }

    QString error;
    if (!writePng(image, args.output, error))
        return fail(QStringLiteral("cannot write %1: %2").arg(args.output, error));
    QTextStream(stdout) << args.output << ": " << image.width() << " x " << image.height()
                        << (args.design ? " pixels\n" : " dots\n");
    return Success;
}

} // namespace korvel::cli
