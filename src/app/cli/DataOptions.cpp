#include "cli/DataOptions.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"

namespace korvel::cli {

DataOptions::DataOptions(CommandLine& line)
    : line_(line)
    , data_(option::data())
    , encoding_(option::dataEncoding())
{
    line.add(data_);
    line.add(encoding_);
}

bool DataOptions::read(std::optional<SourceSpec>& spec, QString& error) const
{
    spec.reset();
    if (line_.isSet(encoding_) && !line_.isSet(data_)) {
        error = QStringLiteral("--data-encoding goes with --data");
        return false;
    }
    if (!line_.isSet(data_))
        return true;
    const QString argument = line_.value(data_);
    const SpecResult parsed = ParseDataArgument(argument);
    if (!parsed.sourceSpec) {
        error = QStringLiteral("bad --data '%1': %2").arg(argument, parsed.error);
        return false;
    }
    spec = parsed.sourceSpec;
    if (line_.isSet(encoding_)) {
        const QByteArray name = line_.value(encoding_).toLatin1();
        if (spec->kind != SourceKind::DelimitedText) {
            error = QStringLiteral("--data-encoding applies to delimited text, not to %1").arg(spec->describe());
            return false;
        }
        // Two-byte encodings are read by their own decoders (lines are not cut at bytes there).
        const QByteArray upper = name.toUpper().replace("-", "").replace("_", "");
        if (upper.startsWith("UTF16") || upper.startsWith("UCS2") || upper.startsWith("UTF32") || upper.startsWith("UCS4")) {
            if (upper == "UTF16LE" || upper == "UCS2LE") {
                spec->text.codePage = 1200;
                return true;
            }
            if (upper == "UTF16BE" || upper == "UCS2BE") {
                spec->text.codePage = 1201;
                return true;
            }
            error = QStringLiteral("--data-encoding takes UTF-16LE or UTF-16BE of the wide encodings, not '%1'").arg(line_.value(encoding_));
            return false;
        }
        if (!CodePage::knowsEncoding(name)) {
            error = QStringLiteral("unknown encoding '%1' (see iconv --list)").arg(line_.value(encoding_));
            return false;
        }
        spec->text.encoding = name;
    }
    return true;
}

bool OpenRecords(const LabelDocument& doc, const std::optional<SourceSpec>& dataSpec,
    std::unique_ptr<DatabaseSource>& live, bool needed, QString& error)
{
    if (dataSpec) {
        const BindingResult bound = OverrideDataSource(doc, live, *dataSpec);
        if (!bound.ok)
            error = bound.message;
        return bound.ok;
    }
    if (doc.database.active) {
        const BindingResult bound = RestoreDataSource(doc, live);
        if (!bound.ok && (UsesDatabaseVariable(doc) || needed)) {
            error = QStringLiteral("the label's data source cannot be opened: %1").arg(bound.message);
            return false;
        }
    }
    return true;
}

QStringList InputFiles(const QString& label, const DatabaseSource* live)
{
    QStringList files { label };
    if (live && !live->sourceSpec().fromStdin && !live->sourceSpec().path.isEmpty())
        files << live->sourceSpec().path;
    return files;
}

} // namespace korvel::cli
