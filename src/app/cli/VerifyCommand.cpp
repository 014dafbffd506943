#include "cli/CliCommands.h"
#include "cli/CommandLine.h"
#include "cli/CommandSupport.h"
#include "cli/DataOptions.h"
#include "document/LabelDocument.h"
#include "persistence/SystemSettings.h"
#include "printing/job/JobRecords.h"
#include "printing/verify/BarcodeVerification.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

namespace korvel::cli {

const char* const kVerifyUsage
    = "verify LABEL.kvl [--data SOURCE] [--data-encoding NAME] [--record N | --all] [--accept-damaged]";

namespace {

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
    CommandLine line(QStringLiteral("verify"), QString::fromLatin1(kVerifyUsage),
        QStringLiteral("Decode every barcode of the printout (the first label, one record, or every record) "
                       "and print the result as JSON. Exit 1 when one does not read back as its data."));
    line.addPositional(QStringLiteral("LABEL.kvl"), QStringLiteral("The label file."));
    const QCommandLineOption record = option::record();
    const QCommandLineOption all(QStringLiteral("all"), QStringLiteral("Check every record of the data source."));
    line.add(record);
    const DataOptions data(line);
    for (const QCommandLineOption& o : { all, option::acceptDamaged() })
        line.add(o);
    if (const auto done = line.parse(arguments))
        return *done;
    const QStringList labels = line.positionals();
    if (labels.size() > 1)
        return line.usage(QStringLiteral("verify takes one label file"));
    if (labels.isEmpty())
        return line.usage(QStringLiteral("verify needs a label file"));
    QString error;
    const std::optional<std::int64_t> recordValue = line.number(record, 1, std::numeric_limits<int>::max(), error);
    if (!error.isEmpty())
        return line.usage(error);
    const bool everyRecord = line.isSet(all);
    if (recordValue && everyRecord)
        return line.usage(QStringLiteral("--record and --all exclude each other"));
    std::optional<SourceSpec> dataSpec;
    if (!data.read(dataSpec, error))
        return line.usage(error);
    const QString label = labels[0];

    LabelDocument doc;
    if (!openLabel(label, doc, !line.isSet(option::acceptDamaged()), error))
        return fail(error);
    std::unique_ptr<DatabaseSource> live;
    if (!OpenRecords(doc, dataSpec, live, recordValue || everyRecord, error))
        return fail(error);
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);
    if ((recordValue || everyRecord) && !records)
        return fail(QStringLiteral("%1 has no data source to take records from").arg(label));
    if (recordValue) {
        if (*recordValue > records->recordCount())
            return fail(QStringLiteral("record %1 asked for, the data source holds %2")
                            .arg(*recordValue)
                            .arg(records->recordCount()));
        MoveToRecord(*records, *recordValue);
    }

    EmissionContext context = LabelContext(doc, readSettings(), records.get());

    PortStatus status;
    const QList<BarcodeCheck> checks = VerifyRecords(doc, context, records.get(), everyRecord, &status);
    if (!status.ok())
        return fail(QStringLiteral("%1: the label cannot be printed: %2").arg(label, FailureText(status)));

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
