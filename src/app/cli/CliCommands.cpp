#include "cli/CliCommands.h"

#include "cli/InfoJson.h"
#include "cli/PrintCommand.h"
#include "cli/RenderCommand.h"
#include "cli/VerifyCommand.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"

#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>

namespace korvel::cli {

namespace {

const char* const kUsage = "usage: korvel-cli info LABEL.kvl\n"
                           "       korvel-cli convert IN.kvl OUT.kvl\n";

int usage(const QString& why = {})
{
    QTextStream err(stderr);
    if (!why.isEmpty())
        err << "korvel-cli: " << why << "\n";
    err << kUsage << kPrintUsage << kRenderUsage << kVerifyUsage;
    return Usage;
}

int fail(const QString& why)
{
    QTextStream(stderr) << "korvel-cli: " << why << "\n";
    return Failure;
}

/// Opens a label; a damaged file still opens, with a warning on stderr.
bool openLabel(const QString& path, LabelDocument& doc, QString& error)
{
    const LabelFileResult r = ReadLabelFile(path, doc);
    if (!r.opened()) {
        error = r.message;
        return false;
    }
    if (r.status == LabelFileResult::Status::Damaged)
        QTextStream(stderr) << "korvel-cli: warning: " << path << ": " << r.message << "\n";
    return true;
}

int info(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("info takes one label file"));
    LabelDocument doc;
    QString error;
    if (!openLabel(args[0], doc, error))
        return fail(error);
    QTextStream(stdout) << QJsonDocument(DocumentInfo(doc)).toJson(QJsonDocument::Indented);
    return Success;
}

int convert(const QStringList& args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("convert takes an input and an output file"));
    LabelDocument doc;
    QString error;
    if (!openLabel(args[0], doc, error))
        return fail(error);
    const LabelFileResult w = WriteLabelFile(args[1], doc);
    if (w.status != LabelFileResult::Status::Ok)
        return fail(w.message);
    return Success;
}

} // namespace

int run(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return usage();
    const QString command = arguments[1];
    const QStringList rest = arguments.mid(2);
    if (command == QLatin1String("info"))
        return info(rest);
    if (command == QLatin1String("convert"))
        return convert(rest);
    if (command == QLatin1String("print"))
        return printCommand(rest);
    if (command == QLatin1String("render"))
        return renderCommand(rest);
    if (command == QLatin1String("verify"))
        return verifyCommand(rest);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        QTextStream(stdout) << kUsage << kPrintUsage << kRenderUsage << kVerifyUsage;
        return Success;
    }
    return usage(QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace korvel::cli
