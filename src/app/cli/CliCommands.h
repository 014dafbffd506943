#pragma once

#include <QStringList>

namespace korvel::cli {

/// Exit codes of the headless tool.
enum ExitCode : int { Success = 0, Failure = 1, Usage = 2 };

/// Runs one command line (arguments include the program name).
int run(const QStringList& arguments);

} // namespace korvel::cli
