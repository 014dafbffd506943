#include "cli/CliCommands.h"

#include <QTextStream>

#include <cstdio>

namespace korvel::cli {

namespace {
void printUsage(QTextStream& err)
{
    err << "usage: korvel-cli info LABEL.kvl\n"
           "       korvel-cli convert IN.kvl OUT.kvl\n";
}
} // namespace

int run(const QStringList& arguments)
{
    QTextStream err(stderr);
    if (arguments.size() < 2) {
        printUsage(err);
        return Usage;
    }
    printUsage(err);
    return Usage;
}

} // namespace korvel::cli
