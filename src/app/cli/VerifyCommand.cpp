#include "cli/VerifyCommand.h"

#include "cli/CliCommands.h"
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "persistence/SystemSettings.h"
#include "printing/job/JobRecords.h"
#include "printing/verify/BarcodeVerification.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/SourceSpec.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <limits>
#include <memory>
#include <optional>

namespace korvel::cli {

const char* const kVerifyUsage = "       korvel-cli verify LABEL.kvl [--data SOURCE] [--record N | --all]\n";

namespace {

int usage(const QString& why)
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n"
                        << "usage:" << QString::fromLatin1(kVerifyUsage).mid(6);
    return Usage;
}

int fail(const QString& why)
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n";
    return Failure;
}

struct VerifyArguments {
    QString label;
    QString data;
    std::optional<int> record;
    bool all = false;
};

/// Parses the arguments; an error text for a usage error.
QString parse(const QStringList& args, VerifyArguments& out)
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
        auto take = [&]() -> std::optional<QString> {
            if (!inlineValue) {
                if (i + 1 >= args.size())
                    return std::nullopt;
                value = args[++i];
            }
            return value;
        };
        if (a == QLatin1String("--data")) {
            const std::optional<QString> v = take();
            if (!v || v->isEmpty())
                return QStringLiteral("--data needs a source");
            out.data = *v;
        } else if (a == QLatin1String("--record")) {
            const std::optional<QString> v = take();
            bool ok = false;
            const qlonglong n = v ? v->toLongLong(&ok) : 0;
            if (!ok || n < 1 || n > std::numeric_limits<int>::max())
                return QStringLiteral("--record takes a whole number from 1, not '%1'").arg(v.value_or(QString()));
            out.record = int(n);
        } else if (a == QLatin1String("--all") && !inlineValue) {
            out.all = true;
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return QStringLiteral("unknown option '%1'").arg(a);
        } else if (out.label.isEmpty()) {
            out.label = a;
        } else {
            return QStringLiteral("verify takes one label file");
        }
    }
    if (out.label.isEmpty())
        return QStringLiteral("verify needs a label file");
    if (out.record && out.all)
        return QStringLiteral("--record and --all exclude each other");
    return {};
}

/// The drawing mode of the designer's settings (its first-start default without them).
int drawingMode()
{
    SystemSettings settings = DefaultSystemSettings();
    QFile file(QDir(settingsDirectory()).filePath(QStringLiteral("Label.dat")));
    if (file.open(QIODevice::ReadOnly)) {
        SystemSettings read = DefaultSystemSettings();
        if (ParseLabelDat(file.readAll(), read).ok)
            settings = read;
    }
    return settings.drawingMode();
}

QJsonObject entry(const BarcodeCheck& c)
{
    QJsonObject o;
    o[QStringLiteral("name")] = c.name;
    o[QStringLiteral("BarCodeType")] = c.barCodeType;
    o[QStringLiteral("expected")] = c.expected;
    o[QStringLiteral("decoded")] = c.decoded ? QJsonValue(*c.decoded) : QJsonValue();
    o[QStringLiteral("ok")] = c.ok;
    o[QStringLiteral("reason")] = VerifyReasonName(c.reason);
    o[QStringLiteral("record")] = c.record;
    return o;
}

} // namespace

int verifyCommand(const QStringList& arguments)
{
    VerifyArguments args;
    if (const QString error = parse(arguments, args); !error.isEmpty())
        return usage(error);
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

    std::unique_ptr<DatabaseSource> live;
    if (dataSpec) {
        const BindingResult bound = OverrideDataSource(doc, live, *dataSpec);
        if (!bound.ok)
            return fail(bound.message);
    } else if (doc.database.active) {
        const BindingResult bound = RestoreDataSource(doc, live);
        if (!bound.ok && (UsesDatabaseVariable(doc) || args.record || args.all))
            return fail(QStringLiteral("the label's data source cannot be opened: %1").arg(bound.message));
    }
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);
    if ((args.record || args.all) && !records)
        return fail(QStringLiteral("%1 has no data source to take records from").arg(args.label));
    if (args.record) {
        if (*args.record > records->recordCount())
            return fail(QStringLiteral("record %1 asked for, the data source holds %2")
                            .arg(*args.record)
                            .arg(records->recordCount()));
        records->first();
        for (int n = 1; n < *args.record; ++n)
            records->next();
    }

    EmissionContext context;
    context.commands.PrinterID = doc.printer.PrinterID;
    context.commands.DrawingMode = drawingMode();
    context.commands.PrinterIndex = doc.printerModel;
    context.evaluation.fields = records ? &records->fields() : nullptr;
    context.dataSetEmpty = !records || records->recordCount() == 0;

    PortStatus status;
    const QList<BarcodeCheck> checks = VerifyRecords(doc, context, records.get(), args.all, &status);
    if (!status.ok())
        return fail(QStringLiteral("%1: the label cannot be printed: %2").arg(args.label, status.text()));

    QJsonArray out;
    const BarcodeCheck* firstFailure = nullptr;
    for (const BarcodeCheck& c : checks) {
        out.append(entry(c));
        if (!c.ok && !firstFailure)
            firstFailure = &c;
    }
    QTextStream(stdout) << QJsonDocument(out).toJson(QJsonDocument::Indented);
    if (firstFailure) {
        QTextStream err(stderr);
        err << "korvel-cli: barcode \"" << firstFailure->name << "\"";
        if (firstFailure->record > 0)
            err << " of record " << firstFailure->record;
        err << " does not read back: " << VerifyReasonName(firstFailure->reason) << "\n";
        return Failure;
    }
    return Success;
}

} // namespace korvel::cli
