#include "cli/CommandSupport.h"

#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "document/SafeFile.h"
#include "persistence/LabelFile.h"
#include "persistence/SystemSettings.h"
#include "document/OAControl.h"
#include "printing/commands/QcmlCommands.h"
#include "printing/emission/LabelEmitter.h"
#include "printing/job/JobRecords.h"
#include "printing/ports/PortStatus.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <array>
#include <csignal>

namespace korvel::cli {

namespace {

QStringList g_warnings;

/// Several lines (a database server's message) as one.
QString oneLine(const QString& text)
{
    QStringList parts;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            parts << trimmed;
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

int fail(const QString& why)
{
    QString line = oneLine(why);
    if (!g_warnings.isEmpty())
        line += QStringLiteral(" (warning: %1)").arg(g_warnings.join(QStringLiteral("; ")));
    g_warnings.clear();
    QTextStream(stderr) << "korvel-cli: " << line << "\n";
    return 1;
}

void warn(const QString& what)
{
    g_warnings << oneLine(what);
}

void FlushWarnings()
{
    QTextStream err(stderr);
    for (const QString& w : std::as_const(g_warnings))
        err << "korvel-cli: warning: " << w << "\n";
    g_warnings.clear();
}

QString FailureText(const PortStatus& status)
{
    if (!status.detail.isEmpty())
        return status.detail;
    switch (status.code) {
    case PortError::None: return {};
    case PortError::NoPort: return QStringLiteral("no port is chosen");
    case PortError::OpenFailed: return QStringLiteral("the port cannot be opened");
    case PortError::ConfigureFailed: return QStringLiteral("the port's line settings were refused");
    case PortError::NotOpen: return QStringLiteral("the port is not open");
    case PortError::WriteFailed: return QStringLiteral("the port took fewer bytes than given");
    case PortError::Timeout: return QStringLiteral("the printer stopped taking bytes");
    case PortError::Cancelled: return QStringLiteral("cancelled");
    case PortError::NotReady: return QStringLiteral("the printer is not ready");
    case PortError::InvalidInput: return QStringLiteral("a value the printer's commands cannot express");
    case PortError::QueueFailed: return QStringLiteral("the print queue failed");
    case PortError::BadSpec: return QStringLiteral("the port description is not valid");
    case PortError::UsbNotOpen: return QStringLiteral("the USB printer cannot be opened");
    }
    return {};
}

SystemSettings readSettings()
{
    SystemSettings settings = DefaultSystemSettings();
    QFile file(QDir(settingsDirectory()).filePath(QStringLiteral("Label.dat")));
    if (file.open(QIODevice::ReadOnly)) {
        SystemSettings read = DefaultSystemSettings();
        if (ParseLabelDat(file.read(1 << 20), read).ok)
            settings = read;
    }
    return settings;
}

CommandContext LabelCommands(const LabelDocument& document, const SystemSettings& settings)
{
    CommandContext commands;
    commands.PrinterID = document.printer.PrinterID;
    commands.DrawingMode = settings.drawingMode();
    commands.PrinterIndex = document.printerModel;
    commands.ModelButtonsDown = 0;
    return commands;
}

EmissionContext LabelContext(const LabelDocument& document, const SystemSettings& settings, DatabaseJobRecords* records)
{
    EmissionContext context;
    context.commands = LabelCommands(document, settings);
    context.evaluation.fields = records ? &records->fields() : nullptr;
    context.dataSetEmpty = !records || records->recordCount() == 0;
    return context;
}

void MoveToRecord(DatabaseJobRecords& records, std::int64_t number)
{
    records.first();
    for (std::int64_t i = 1; i < number && i < records.recordCount(); ++i)
        records.next();
}

bool openLabel(const QString& path, LabelDocument& doc, bool refuseDamaged, QString& error)
{
    const LabelFileResult r = ReadLabelFile(path, doc);
    if (!r.opened()) {
        error = r.message.isEmpty() ? QStringLiteral("cannot read %1").arg(path) : r.message;
        return false;
    }
    if (r.status == LabelFileResult::Status::Damaged) {
        // A label missing an object must not print as if it were whole.
        if (refuseDamaged) {
            error = QStringLiteral("%1: %2 (give --accept-damaged to use what was read)").arg(path, r.message);
            return false;
        }
        warn(QStringLiteral("%1: %2").arg(path, r.message));
    }
    return true;
}

QString ObjectTooLarge(const LabelDocument& doc, const QString& label)
{
    constexpr double kLongestMm = kMaxPageHeightTenths / 10.0;
    for (const auto& o : doc.objects()) {
        if (o->Zoom() <= 0)
            continue;
        // Screen pixels at the object's zoom, 96 to the inch.
        const double widthMm = o->Width() / o->Zoom() * 25.4 / 96.0;
        const double heightMm = o->Height() / o->Zoom() * 25.4 / 96.0;
        if (widthMm > kLongestMm || heightMm > kLongestMm)
            return QStringLiteral("%1: the object %2 is %3 x %4 mm, larger than any label can print (999.9 mm)")
                .arg(label, o->Name)
                .arg(widthMm, 0, 'f', 1)
                .arg(heightMm, 0, 'f', 1);
    }
    return {};
}

QString outputIsAnInput(const QString& output, const QStringList& inputs)
{
    for (const QString& input : inputs) {
        if (SameFile(output, input))
            return QStringLiteral("the output %1 is the input %2; choose another output").arg(output, input);
    }
    return {};
}

namespace {

std::atomic<std::atomic<bool>*> g_cancel { nullptr };
constexpr std::array<int, 3> kSignals { SIGINT, SIGTERM, SIGHUP };

extern "C" void onTerminate(int signal)
{
    std::atomic<bool>* cancel = g_cancel.load();
    if (cancel && !cancel->exchange(true))
        return;
    RemovePendingTemporaries();
    // Ends with the signal's own status, as the shell expects of a killed program.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    sigaction(signal, &plain, nullptr);
    raise(signal);
}

} // namespace

TerminationGuard::TerminationGuard(std::atomic<bool>* cancel)
    : previousCancel_(g_cancel.load())
{
    if (cancel)
        cancel->store(false);
    g_cancel.store(cancel);
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &previous_[i]);
}

TerminationGuard::~TerminationGuard()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
    g_cancel.store(previousCancel_);
}

} // namespace korvel::cli
