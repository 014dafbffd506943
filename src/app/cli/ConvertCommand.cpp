#include "cli/CliCommands.h"
#include "cli/CommandLine.h"
#include "cli/CommandSupport.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"

namespace korvel::cli {

const char* const kConvertUsage = "convert IN.kvl OUT.kvl";

int convertCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("convert"), QString::fromLatin1(kConvertUsage),
        QStringLiteral("Read a label file of any supported version and write it in the current one. OUT.kvl "
                       "is replaced only by a complete new file."));
    line.addPositional(QStringLiteral("IN.kvl"), QStringLiteral("The label file to read."));
    line.addPositional(QStringLiteral("OUT.kvl"), QStringLiteral("The label file to write."));
    if (const auto done = line.parse(arguments))
        return *done;
    const QStringList files = line.positionals();
    if (files.size() != 2)
        return line.usage(QStringLiteral("convert takes an input and an output file"));
    if (const QString same = outputIsAnInput(files[1], { files[0] }); !same.isEmpty())
        return fail(same);
    LabelDocument doc;
    QString error;
    if (!openLabel(files[0], doc, false, error))
        return fail(error);
    TerminationGuard cleanUp;
    const LabelFileResult w = WriteLabelFile(files[1], doc);
    if (w.status != LabelFileResult::Status::Ok)
        return fail(w.message);
    return Success;
}

} // namespace korvel::cli
