#include "cli/PrintCommand.h"

#include "cli/CliCommands.h"
#include "cli/TerminalProgress.h"
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "persistence/RegistryStore.h"
#include "persistence/SystemSettings.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"
#include "printing/job/PrintDialog.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/PortFactory.h"
#include "printing/ports/PortSettingsStore.h"
#include "printing/ports/PortSpec.h"
#include "variables/database/DataSourceBinding.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <limits>
#include <memory>
#include <optional>

#include <unistd.h>

namespace korvel::cli {

const char* const kPrintUsage
    = "       korvel-cli print LABEL.kvl [-o FILE | --port SPEC] [--count N] [--copies N] [--start N]\n"
      "                        [--quantity-field NAME] [--data SOURCE] [--lean]\n";

namespace {

std::atomic<bool> g_cancel { false };

extern "C" void onInterrupt(int)
{
    g_cancel.store(true);
}

/// Ctrl+C stops the job between labels; the port is then closed.
class InterruptGuard {
public:
    InterruptGuard()
    {
        g_cancel.store(false);
        previous_ = std::signal(SIGINT, onInterrupt);
    }
    ~InterruptGuard() { std::signal(SIGINT, previous_); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*previous_)(int) = SIG_DFL;
};

int usage(const QString& why)
{
    QTextStream err(stderr);
    err << "korvel-cli: " << why << "\n"
        << "usage:" << QString::fromLatin1(kPrintUsage).mid(6);
    return Usage;
}

int fail(const QString& why)
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n";
    return Failure;
}

struct PrintArguments {
    QString label;
    QString output;
    QString port;
    std::optional<std::int64_t> count;
    std::optional<std::int64_t> copies;
    std::optional<std::int64_t> start;
    QString quantityField;
    QString data;
    bool lean = false;
};

std::optional<std::int64_t> number(const QString& text, std::int64_t low, std::int64_t high)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

/// Parses the arguments; an error text for a usage error.
QString parse(const QStringList& args, PrintArguments& out)
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
        auto takeNumber = [&](std::optional<std::int64_t>& target, std::int64_t low, std::int64_t high) -> QString {
            QString text;
            if (QString e = take(text); !e.isEmpty())
                return e;
            target = number(text, low, high);
            if (!target)
                return QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'")
                    .arg(a)
                    .arg(low)
                    .arg(high)
                    .arg(text);
            return {};
        };
        QString error;
        if (a == QLatin1String("-o") || a == QLatin1String("--output"))
            error = take(out.output);
        else if (a == QLatin1String("--port"))
            error = take(out.port);
        else if (a == QLatin1String("--count"))
            error = takeNumber(out.count, 0, std::numeric_limits<int>::max());
        else if (a == QLatin1String("--copies"))
            error = takeNumber(out.copies, 1, 99999);
        else if (a == QLatin1String("--start"))
            error = takeNumber(out.start, 1, std::numeric_limits<int>::max());
        else if (a == QLatin1String("--quantity-field"))
            error = take(out.quantityField);
        else if (a == QLatin1String("--data"))
            error = take(out.data);
        else if (a == QLatin1String("--lean") && !inlineValue)
            out.lean = true;
        else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-"))
            error = QStringLiteral("unknown option '%1'").arg(a);
        else if (out.label.isEmpty())
            out.label = a;
        else
            error = QStringLiteral("print takes one label file");
        if (!error.isEmpty())
            return error;
    }
    if (out.label.isEmpty())
        return QStringLiteral("print needs a label file");
    if (!out.output.isEmpty() && !out.port.isEmpty())
        return QStringLiteral("-o and --port exclude each other");
    if (out.output.isEmpty() && args.contains(QStringLiteral("-o")))
        return QStringLiteral("-o needs a file name");
    if (out.quantityField.trimmed().isEmpty() && !out.quantityField.isEmpty())
        return QStringLiteral("--quantity-field needs a field name");
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

QString outcomeText(const JobResult& r, const QString& target)
{
    QString detail = r.status.detail.isEmpty() ? r.status.text() : r.status.detail;
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
    PrintArguments args;
    if (const QString error = parse(arguments, args); !error.isEmpty())
        return usage(error);

    std::optional<PortSpec> portSpec;
    if (!args.port.isEmpty()) {
        const PortSpecParse parsed = ParsePortSpec(args.port);
        if (!parsed.ok)
            return usage(QStringLiteral("bad --port '%1': %2").arg(args.port, parsed.error));
        portSpec = parsed.portSpec;
    }
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
        QTextStream(stderr) << "korvel-cli: warning: " << args.label << ": " << read.message << "\n";

    if (!LabelsFitPage(doc.page()))
        return fail(QStringLiteral("%1: the labels do not fit the page").arg(args.label));
    if (doc.objectCount() == 0)
        QTextStream(stderr) << "korvel-cli: warning: " << args.label << " has no objects; its labels print blank\n";

    // The records: the --data source for this run, or the label's own stored source.
    std::unique_ptr<DatabaseSource> live;
    if (dataSpec) {
        const BindingResult bound = OverrideDataSource(doc, live, *dataSpec);
        if (!bound.ok)
            return fail(bound.message);
    } else if (doc.database.active) {
        const BindingResult bound = RestoreDataSource(doc, live);
        if (!bound.ok && UsesDatabaseVariable(doc))
            return fail(QStringLiteral("the label's data source cannot be opened: %1").arg(bound.message));
    }
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);

    const SystemSettings settings = readSettings();
    PrintJobOptions options;
    options.commands.PrinterID = doc.printer.PrinterID;
    options.commands.DrawingMode = settings.drawingMode();
    options.commands.PrinterIndex = doc.printerModel;
    options.commands.ModelButtonsDown = 0;
    options.quantityFromField = !args.quantityField.isEmpty();
    options.quantityField = args.quantityField.toLocal8Bit();
    options.cancel = &g_cancel;

    // Where the record's port kinds lead on this machine: the settings file's "Ports" group.
    PortSettings portSettings
        = ReadPortSettings(RegistryStore(QDir(settingsDirectory()).filePath(QStringLiteral("registry.ini"))));
    portSettings.limits.cancel = &g_cancel;
    options.lean = args.lean || portSettings.lean;
    if (portSettings.leanGraphicsMemory > 0)
        options.leanGraphicsLimit = portSettings.leanGraphicsMemory;
    std::unique_ptr<PrinterPort> printer;
    std::unique_ptr<PrinterPort> file;
    JobTargets targets;
    QString target;
    if (!args.output.isEmpty()) {
        file = CreateOutputFilePort(args.output, portSettings.limits);
        targets.file = file.get();
        targets.writeToFile = true;
        target = args.output;
    } else {
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

    const int startRecord = args.start ? static_cast<int>(*args.start)
                                       : (HasDatabase(doc) && records ? std::max(records->recordNumber(), 1) : 1);
    JobResult result;
    {
        InterruptGuard interrupt;
        PrintJob job(doc, records.get(), targets, options);
        result = job.PrintLabels(startRecord, args.count.value_or(1), static_cast<int>(args.copies.value_or(1)));
    }
    if (progress.shown())
        QTextStream(stderr) << "\n";
    for (const QString& note : result.notes)
        QTextStream(stderr) << "korvel-cli: note: " << note << "\n";

    if (result.outcome == JobOutcome::NothingToPrint) {
        // `-o FILE` always leaves the stream of this run in the file, even an empty one.
        if (!args.output.isEmpty()) {
            QFile out(args.output);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return fail(QStringLiteral("cannot open %1: %2").arg(args.output, out.errorString()));
        }
        QTextStream(stdout) << "nothing to print (a label count of 0)\n";
        return Success;
    }
    if (!result.ok())
        return fail(outcomeText(result, target));
    if (result.unusableQuantities > 0)
        QTextStream(stderr) << "korvel-cli: warning: " << result.unusableQuantities
                            << " records had no usable quantity and printed nothing\n";
    QTextStream out(stdout);
    out << result.labelsSent << (result.labelsSent == 1 ? " label" : " labels") << " sent to ";
    if (!args.output.isEmpty())
        out << QFileInfo(args.output).absoluteFilePath() << " (" << QFileInfo(args.output).size() << " bytes)";
    else
        out << target;
    out << "\n";
    return Success;
}

} // namespace korvel::cli
