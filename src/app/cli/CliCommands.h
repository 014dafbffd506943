#pragma once

#include <QStringList>

namespace korvel::cli {

/// Exit codes of the headless tool.
enum ExitCode : int { Success = 0, Failure = 1, Usage = 2 };

/// Runs one command line (arguments include the program name).
int run(const QStringList& arguments);

/// One command of the tool: its name, its usage (after "korvel-cli ", lines joined by '\n'),
/// and the function that runs it with the arguments after the command name. A new command
/// adds its file and one line to the table in CliCommands.cpp.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const QStringList& arguments);
};

int infoCommand(const QStringList& arguments);
int convertCommand(const QStringList& arguments);
int printCommand(const QStringList& arguments);
int renderCommand(const QStringList& arguments);

extern const char* const kInfoUsage;
extern const char* const kConvertUsage;
extern const char* const kPrintUsage;
extern const char* const kRenderUsage;

} // namespace korvel::cli
