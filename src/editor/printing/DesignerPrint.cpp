#include "editor/printing/DesignerPrint.h"

#include "document/CodePage.h"
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/MainForm.h"
#include "editor/OAWorkSpace.h"
#include "editor/UserPrompts.h"
#include "editor/data/DataCommands.h"
#include "editor/printing/PrintForm.h"
#include "editor/printing/PrintJobRunner.h"
#include "editor/printing/PrintProgressForm.h"
#include "editor/printing/VerifyPrompt.h"
#include "persistence/PrintLog.h"
#include "persistence/RegistryStore.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"
#include "printing/ports/PortFactory.h"
#include "printing/ports/PortSettingsStore.h"
#include "variables/database/DataSourceBinding.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QRegularExpression>

namespace korvel {

namespace {

QString text(const char* section, const char* key, const QString& fallback)
{
    return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
}

QString lookup(const MessageText& m)
{
    return LookupText(m.section, m.key, m.defaultText);
}

} // namespace

std::uint32_t ModelButtonsOf(const TChildForm& child)
{
    std::uint32_t bits = 0;
    if (auto* main = qobject_cast<TMainForm*>(child.window()))
        for (int model = 1; model <= 8; ++model)
            if (main->isModelButtonDown(model))
                bits |= 1u << model;
    return bits;
}

namespace {

PortSettings designerPortSettings()
{
    return ReadPortSettings(RegistryStore(QDir(settingsDirectory()).filePath(QStringLiteral("registry.ini"))));
}

/// The end of a job as the user hears of it. A cancel the user asked for is not an error.
void tellOutcome(TChildForm& child, const JobResult& result, const QString& target)
{
    switch (result.outcome) {
    case JobOutcome::Completed:
    case JobOutcome::NothingToPrint:
    case JobOutcome::Cancelled: return;
    case JobOutcome::QueueFailed: return; // the spooler calls fail silently
    case JobOutcome::PageTooLong:
        Prompts().message(&child, text("ChildFormInside", "PrintErrorCaption", QStringLiteral("错误提示")),
            lookup(result.message) + QStringLiteral("\n") + result.status.detail, UserPrompts::Icon::Information);
        return;
    case JobOutcome::TooFewRecords:
    case JobOutcome::OutOfRecords:
        Prompts().message(&child, QString(), lookup(result.message), UserPrompts::Icon::Information);
        return;
    default: break;
    }
    QString message = lookup(result.message);
    if (message.isEmpty())
        message = QStringLiteral("error");
    // The port's own reason says what to do about the printer (which port, what happened).
    const QString detail = result.status.text([](const QString& s, const QString& k, const QString& d) {
        return LookupText(s, k, d);
    });
    if (!detail.isEmpty())
        message += QStringLiteral("\n") + target + QStringLiteral(": ") + detail;
    Prompts().message(&child, text("ChildFormInside", "PrintErrorCaption", QStringLiteral("错误提示")), message,
        UserPrompts::Icon::Information);
}

} // namespace

DesignerPrintState& PrintState()
{
    static DesignerPrintState state;
    return state;
}

int WindowNumberOf(const QString& componentName)
{
    static const QRegularExpression numbered(QStringLiteral("_(\\d+)$"));
    const QRegularExpressionMatch m = numbered.match(componentName);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

PrintJobOptions DesignerJobOptions(const LabelDocument& document, int drawingMode, std::uint32_t modelButtonsDown)
{
    PrintJobOptions options;
    options.commands.PrinterID = document.printer.PrinterID;
    options.commands.DrawingMode = drawingMode;
    options.commands.PrinterIndex = document.printerModel;
    options.commands.ModelButtonsDown = modelButtonsDown;
    return options;
}

bool RunPrintCommand(TChildForm& child, bool withDialog)
{
    LabelDocument& doc = child.document();
    DesignerPrintState& state = PrintState();
    if (const std::optional<MessageText> refusal = CheckPrintCommand(doc)) {
        Prompts().message(&child, lookup(PrintCommandCaption()), lookup(*refusal), UserPrompts::Icon::Information);
        return false;
    }

    // The data set the job walks through: the label's own source, at its stored record.
    std::unique_ptr<DatabaseSource> live;
    if (doc.database.active) {
        const BindingResult bound = RestoreDataSource(doc, live);
        // Printing the stored texts in place of every record would waste the whole run.
        if (!bound.ok && UsesDatabaseVariable(doc)) {
            Prompts().message(&child, lookup(PrintCommandCaption()),
                FormatText(text("ChildFormInside", "DataSourceFailed", QStringLiteral("无法打开标签的数据源: %s")),
                    bound.message),
                UserPrompts::Icon::Warning);
            return false;
        }
    }
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);

    const int window = WindowNumberOf(child.objectName());
    StoredPrintNumbers stored = state.numbers.get(window);
    const bool hasVariables = HasVariables(doc);
    const bool hasDatabase = HasDatabase(doc);
    // The record the user moved the window's data set to is where the job starts. The job itself
    // walks a source of its own: the window keeps painting from its own while the job runs.
    int currentRecord = records ? records->recordNumber() : 0;
    if (TDataCommands* data = child.dataCommands(); data && data->source() && data->source()->isOpen())
        currentRecord = data->source()->recordNumber();
    PrintNumbers numbers = InitialPrintNumbers(stored, hasDatabase, currentRecord);

    if (withDialog) {
        PrintFormInput input;
        input.hasVariables = hasVariables;
        input.hasDatabase = hasDatabase;
        input.quantityFromField = state.quantityFromField;
        input.storedQuantityField = stored.quantityField;
        input.numbers = numbers;
        input.verifyBarcodes = state.verifyBarcodes;
        input.source = live.get();
        TPrintForm dialog(input, &child);
        if (!Prompts().runDialog(&dialog)) {
            StoredPrintNumbers kept = CancelPrintDialog(dialog.fields());
            kept.quantityField = stored.quantityField;
            state.numbers.store(window, kept);
            return false;
        }
        const PrintDialogOutcome outcome
            = AcceptPrintDialog(dialog.fields(), records ? records->firstFieldText() : QByteArray());
        StoredPrintNumbers kept = outcome.stored;
        kept.quantityField = CodePage::document().fromUnicode(dialog.quantityField());
        state.numbers.store(window, kept);
        if (outcome.log) {
            QString error;
            if (!AppendPrintLog(settingsDirectory(), *outcome.log, &QDateTime::currentDateTime, &error))
                Prompts().message(&child, text("All", "tishi", QStringLiteral("提示")),
                    FormatText(text("PrintFormInside", "LogFailed", QStringLiteral("无法写入打印记录 %s")),
                        QStringLiteral("LOG.ini: ") + error),
                    UserPrompts::Icon::Warning);
        }
        if (outcome.copiesMessage)
            Prompts().message(&child, QString(), lookup(*outcome.copiesMessage), UserPrompts::Icon::Information);
        numbers.startRecord = outcome.startRecord;
        numbers.count = outcome.count;
        numbers.copies = outcome.copies;
        state.writeToFile = outcome.writeToFile;
        state.quantityFromField = outcome.quantityFromField;
        state.verifyBarcodes = dialog.verifyBarcodes();
        stored = kept;
    }
    if (numbers.count == 0)
        return true;

    PortSettings ports = designerPortSettings();
    PrintJobOptions options = DesignerJobOptions(doc, child.drawingMode(), ModelButtonsOf(child));
    options.quantityFromField = state.quantityFromField && hasVariables;
    options.quantityField = stored.quantityField;
    // The settings file's lean streams hold for the designer as for korvel-cli.
    options.lean = ports.lean;
    if (ports.leanGraphicsMemory > 0)
        options.leanGraphicsLimit = ports.leanGraphicsMemory;

    if (state.verifyBarcodes && !VerifyBeforePrint(child, records.get(), numbers.startRecord, options))
        return false;

    std::unique_ptr<PrinterPort> port
        = state.writeToFile ? CreateWriteToFilePort(ports) : CreatePort(doc.printer, ports);
    const QString target = port->describe();
    PrintJobRunner runner(doc, records.get(), std::move(port), state.writeToFile, options);
    if (state.onJobStarted)
        state.onJobStarted(runner);

    // The surface paints the objects the job is changing: it waits until the job is over.
    child.workspace()->setUpdatesEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    TPrintProgressForm progress(runner, &child);
    QEventLoop loop;
    QObject::connect(&runner, &PrintJobRunner::finished, &loop, &QEventLoop::quit);
    runner.start(numbers.startRecord, numbers.count, int(std::min<std::int64_t>(numbers.copies, 99999)));
    progress.show();
    if (runner.isRunning())
        loop.exec();
    runner.wait();
    progress.hide();
    QApplication::restoreOverrideCursor();
    child.workspace()->setUpdatesEnabled(true);
    child.workspace()->refresh();

    const JobResult& result = runner.result();
    if (hasVariables && result.labelsSent > 0)
        doc.markModified();
    tellOutcome(child, result, target);
    if (result.ok() && !result.notes.isEmpty())
        Prompts().message(&child, lookup(PrintCommandCaption()), result.notes.join(QStringLiteral("\n")),
            UserPrompts::Icon::Information);
    return result.ok();
}

} // namespace korvel
