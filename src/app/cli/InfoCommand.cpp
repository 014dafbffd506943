#include "cli/CliCommands.h"
#include "cli/CommandLine.h"
#include "cli/CommandSupport.h"
#include "cli/InfoJson.h"
#include "document/LabelDocument.h"

#include <QJsonDocument>
#include <QTextStream>

namespace korvel::cli {

const char* const kInfoUsage = "info LABEL.kvl";

int infoCommand(const QStringList& arguments)
{
    CommandLine line(QStringLiteral("info"), QString::fromLatin1(kInfoUsage),
        QStringLiteral("Print a label file as JSON: version, page, printer, objects, variables and data source. "
                       "A damaged file is shown as far as it could be read (\"damaged\" says why)."));
    line.addPositional(QStringLiteral("LABEL.kvl"), QStringLiteral("The label file."));
    if (const auto done = line.parse(arguments))
        return *done;
    if (line.positionals().size() != 1)
        return line.usage(QStringLiteral("info takes one label file"));
    LabelDocument doc;
    QString error;
    if (!openLabel(line.positionals()[0], doc, false, error))
        return fail(error);
    QTextStream(stdout) << QJsonDocument(DocumentInfo(doc)).toJson(QJsonDocument::Indented);
    return Success;
}

} // namespace korvel::cli
