#include "cli/CliCommands.h"
#include "cli/CommandLine.h"
#include "cli/CommandSupport.h"
#include "cli/DataOptions.h"
#include "cli/TerminalProgress.h"
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "persistence/RegistryStore.h"
#include "persistence/SystemSettings.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"
#include "printing/job/PrintDialog.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/PortFactory.h"
#include "printing/ports/PortSettingsStore.h"
#include "printing/ports/PortSpec.h"
#include "printing/virtual/VirtualLabel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <optional>

#include <unistd.h>

namespace korvel::cli {

const char* const kPrintUsage
    = "print LABEL.kvl [-o FILE | --port SPEC] [--count N] [--copies N] [--start N]\n"
      "                 [--quantity-field NAME] [--data SOURCE] [--data-encoding NAME] [--lean]\n"
      "                 [--accept-damaged]";

namespace {

std::atomic<bool> g_cancel { false };

QString outcomeText(const JobResult& r, const QString& target)
{
    QString detail = FailureText(r.status);
    // File ports name their path in the detail already.
    if (detail.startsWith(target + QStringLiteral(": ")))
        detail = detail.mid(target.size() + 2);
    switch (r.outcome) {
    case JobOutcome::PortOpenFailed: return QStringLiteral("cannot open %1: %2").arg(target, detail);
    case JobOutcome::QueueFailed: return QStringLiteral("the print queue refused the job: %1").arg(detail);
    case JobOutcome::PrintError:
        return QStringLiteral("printing to %1 failed after %2 labels: %3").arg(target, QString::number(r.labelsSent), detail);
    case JobOutcome::TooFewRecords: return QStringLiteral("the data source has fewer records than asked for");
    case JobOutcome::OutOfRecords:
        return QStringLiteral("the data source ran out of records after %1 labels").arg(r.labelsSent);
    case JobOutcome::Cancelled: return QStringLiteral("cancelled after %1 labels").arg(r.labelsSent);
    case JobOutcome::NoLabelGrid: return QStringLiteral("the labels do not fit the page");
    case JobOutcome::BadQuantityField:
    case JobOutcome::PageTooLong: return detail;
    case JobOutcome::Completed:
    case JobOutcome::NothingToPrint: break;
    }
    return detail;
}

} // namespace

int printCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("print"), QString::fromLatin1(kPrintUsage),
        QStringLiteral("Print labels as the designer's print command does: to the label's own port, to --port, "
                       "or into a file. A file is replaced only when the job completes."));
    line.addPositional(QStringLiteral("LABEL.kvl"), QStringLiteral("The label file."));
    const QCommandLineOption output = option::output(QStringLiteral("FILE"));
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Print to SPEC instead of the label's port: none, file:PATH, serial:DEVICE[:BAUD], "
                       "parallel:DEVICE, usb:N, usb:DEVICE, queue:NAME, tcp:HOST:PORT."),
        QStringLiteral("SPEC"));
    const QCommandLineOption count(
        QStringLiteral("count"), QStringLiteral("Print N labels (records) (default 1)."), QStringLiteral("N"));
    const QCommandLineOption copies(
        QStringLiteral("copies"), QStringLiteral("Print each label N times (1-99999)."), QStringLiteral("N"));
    const QCommandLineOption start(
        QStringLiteral("start"), QStringLiteral("Start at record N of the data source."), QStringLiteral("N"));
    const QCommandLineOption quantityField(QStringLiteral("quantity-field"),
        QStringLiteral("Print as many copies of each record as its field NAME says."), QStringLiteral("NAME"));
    const QCommandLineOption lean(QStringLiteral("lean"),
        QStringLiteral("Send a lean stream: pictures that do not change are stored in the printer once per job."));
    for (const QCommandLineOption& o : { output, port, count, copies, start, quantityField })
        line.add(o);
    const DataOptions data(line);
    line.add(lean);
    const QCommandLineOption acceptDamaged = option::acceptDamaged();
    line.add(acceptDamaged);
    if (const auto done = line.parse(arguments))
        return *done;

    const QStringList labels = line.positionals();
    if (labels.size() > 1)
        return line.usage(QStringLiteral("print takes one label file"));
    QString error;
    const std::optional<std::int64_t> countValue = line.number(count, 0, std::numeric_limits<int>::max(), error);
    const std::optional<std::int64_t> copiesValue = line.number(copies, 1, 99999, error);
    const std::optional<std::int64_t> startValue = line.number(start, 1, std::numeric_limits<int>::max(), error);
    if (!error.isEmpty())
        return line.usage(error);
    if (labels.isEmpty())
        return line.usage(QStringLiteral("print needs a label file"));
    const QString label = labels[0];
    const QString outputPath = line.value(output);
    if (line.isSet(output) && line.isSet(port))
        return line.usage(QStringLiteral("-o and --port exclude each other"));
    const QString quantityName = line.value(quantityField);
    if (line.isSet(quantityField) && quantityName.trimmed().isEmpty())
        return line.usage(QStringLiteral("--quantity-field needs a field name"));

    std::optional<PortSpec> portSpec;
    if (line.isSet(port)) {
        const PortSpecParse parsed = ParsePortSpec(line.value(port));
        if (!parsed.ok)
            return line.usage(QStringLiteral("bad --port '%1': %2").arg(line.value(port), parsed.error));
        portSpec = parsed.portSpec;
    }
    std::optional<SourceSpec> dataSpec;
    if (!data.read(dataSpec, error))
        return line.usage(error);
    // Standard input is read as far as the job goes (it may never end).
    if (dataSpec && dataSpec->fromStdin && !line.isSet(quantityField))
        dataSpec->text.maxRecords = std::max<std::int64_t>(1, startValue.value_or(1) + countValue.value_or(1) - 1);

    LabelDocument doc;
    if (!openLabel(label, doc, !line.isSet(acceptDamaged), error))
        return fail(error);
    if (const QString tooLarge = ObjectTooLarge(doc, label); !tooLarge.isEmpty())
        return fail(tooLarge);
    if (!LabelsFitPage(doc.page()))
        return fail(QStringLiteral("%1: the labels do not fit the page").arg(label));
    if (doc.objectCount() == 0)
        warn(QStringLiteral("%1 has no objects; its labels print blank").arg(label));
    if (line.isSet(quantityField) && !dataSpec && !doc.database.active)
        return line.usage(QStringLiteral("--quantity-field needs a data source: %1 has none and no --data was given")
                              .arg(label));

    // The records: the --data source for this run, or the label's own stored source.
    std::unique_ptr<DatabaseSource> live;
    if (!OpenRecords(doc, dataSpec, live, false, error))
        return fail(error);
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);

    // A file target may not be one of the inputs (the label, the data file).
    QString fileTarget = outputPath;
    if (portSpec && portSpec->kind == PortSpecKind::File)
        fileTarget = portSpec->path;
    if (!fileTarget.isEmpty()) {
        if (const QString same = outputIsAnInput(fileTarget, InputFiles(label, live.get())); !same.isEmpty())
            return fail(same);
    }

    const SystemSettings settings = readSettings();
    const int startRecord = startValue ? static_cast<int>(*startValue)
                                       : (HasDatabase(doc) && records ? std::max(records->recordNumber(), 1) : 1);
    // What the printer would refuse is refused before a byte is sent: the first label goes
    // through the virtual printer with the limits `render` applies (it reads command set 0).
    if (countValue.value_or(1) > 0 && doc.printer.PrinterID == 0) {
        if (records)
            MoveToRecord(*records, startRecord);
        const VirtualLabelPrintout printout = PrintFirstLabel(doc, LabelContext(doc, settings, records.get()));
        if (!printout.ok())
            return fail(QStringLiteral("%1: the label cannot be printed: %2").arg(label, FailureText(printout.status)));
    }
    PrintJobOptions options;
    options.commands = LabelCommands(doc, settings);
    options.quantityFromField = line.isSet(quantityField);
    options.quantityField = quantityName.toLocal8Bit();
    options.cancel = &g_cancel;

    // Where the record's port kinds lead on this machine: the settings file's "Ports" group.
    PortSettings portSettings
        = ReadPortSettings(RegistryStore(QDir(settingsDirectory()).filePath(QStringLiteral("registry.ini"))));
    portSettings.limits.cancel = &g_cancel;
    options.lean = line.isSet(lean) || portSettings.lean;
    if (portSettings.leanGraphicsMemory > 0)
        options.leanGraphicsLimit = portSettings.leanGraphicsMemory;
    std::unique_ptr<PrinterPort> printer;
    std::unique_ptr<PrinterPort> file;
    JobTargets targets;
    QString target;
    if (!outputPath.isEmpty()) {
        file = CreateOutputFilePort(outputPath, portSettings.limits);
        targets.file = file.get();
        targets.writeToFile = true;
        target = outputPath;
    } else {
        if (!portSpec && !portSettings.overrideSpec.trimmed().isEmpty()) {
            const PortSpecParse parsed = ParsePortSpec(portSettings.overrideSpec);
            if (!parsed.ok)
                return fail(QStringLiteral("the settings file's Printer= entry '%1' is not a port: %2")
                                .arg(portSettings.overrideSpec, parsed.error));
        }
        printer = portSpec ? CreatePortFromSpec(*portSpec, doc.printer, portSettings)
                           : CreatePort(doc.printer, portSettings);
        targets.printer = printer.get();
        target = printer->describe();
    }

    // Progress only where someone watches: on a terminal, never into a script's pipe or file.
    const bool terminal = isatty(STDERR_FILENO) == 1;
    TerminalProgress progress;
    if (terminal) {
        options.progress = [&progress](const JobProgress& p) {
            const QString line = progress.update(p.labelsSent, p.labelsTotal);
            if (!line.isEmpty())
                QTextStream(stderr) << line << Qt::flush;
        };
    }

    JobResult result;
    {
        // Ctrl+C, SIGTERM and SIGHUP stop the job between labels: the port is closed and a
        // file target keeps its old contents.
        TerminationGuard interrupt(&g_cancel);
        PrintJob job(doc, records.get(), targets, options);
        result = job.PrintLabels(startRecord, countValue.value_or(1), static_cast<int>(copiesValue.value_or(1)));
        file.reset();
        printer.reset();
    }
    if (progress.shown())
        QTextStream(stderr) << "\n";
    for (const QString& note : result.notes)
        QTextStream(stderr) << "korvel-cli: note: " << note << "\n";

    if (result.outcome == JobOutcome::NothingToPrint) {
        QTextStream(stdout) << "nothing to print (a label count of 0)\n";
        return Success;
    }
    if (!result.ok())
        return fail(outcomeText(result, target));
    if (result.unusableQuantities > 0)
        warn(QStringLiteral("%1 records had no usable quantity and printed nothing").arg(result.unusableQuantities));
    QTextStream out(stdout);
    out << result.labelsSent << (result.labelsSent == 1 ? " label" : " labels") << " sent to ";
    if (!outputPath.isEmpty())
        out << QFileInfo(outputPath).absoluteFilePath() << " (" << QFileInfo(outputPath).size() << " bytes)";
    else
        out << target;
    out << "\n";
    return Success;
}

} // namespace korvel::cli
