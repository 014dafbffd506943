#include "cli/CliCommands.h"

#include "cli/CommandLine.h"
#include "cli/CommandSupport.h"

#include <QTextStream>

#include <array>

namespace korvel::cli {

namespace {

const std::array<Command, 4> kCommands { {
    { "info", kInfoUsage, infoCommand },
    { "convert", kConvertUsage, convertCommand },
    { "print", kPrintUsage, printCommand },
    { "render", kRenderUsage, renderCommand },
} };

QString usageLines()
{
    QString text;
    for (const Command& c : kCommands) {
        text += (text.isEmpty() ? QStringLiteral("usage: korvel-cli ") : QStringLiteral("       korvel-cli "))
            + QString::fromLatin1(c.usage).replace(QLatin1Char('\n'), QStringLiteral("\n       "));
        text += QLatin1Char('\n');
    }
    text += QStringLiteral("       korvel-cli --version | COMMAND --help\n");
    return text;
}

int usage(const QString& why = {})
{
    QTextStream err(stderr);
    if (!why.isEmpty())
        err << "korvel-cli: " << why << "\n";
    err << usageLines();
    return Usage;
}

} // namespace

int run(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return usage();
    const QString command = arguments[1];
    const QStringList rest = arguments.mid(2);
    for (const Command& c : kCommands) {
        if (command == QLatin1String(c.name)) {
            const int code = c.run(rest);
            // Warnings of a command that succeeded come after its work; a failure has folded
            // them into its one line already.
            FlushWarnings();
            return code;
        }
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        QTextStream(stdout) << usageLines()
                            << "\nExit status: 0 success, 1 failure (one line on standard error), 2 usage error.\n"
                               "Each command explains its options with COMMAND --help.\n";
        return Success;
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        if (arguments.size() > 2)
            return usage(QStringLiteral("--version takes no arguments"));
        QTextStream(stdout) << VersionText() << "\n";
        return Success;
    }
    return usage(QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace korvel::cli
