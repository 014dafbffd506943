#pragma once

#include <QStringList>

namespace korvel::cli {

/// `korvel-cli print LABEL.kvl [-o FILE | --port SPEC] [--count N] [--copies N] [--start N]
/// [--quantity-field NAME] [--data SOURCE]`: prints like the designer's print command. The
/// arguments exclude the program and command names. Returns the exit code.
int printCommand(const QStringList& arguments);

/// The usage lines of the print command.
extern const char* const kPrintUsage;

} // namespace korvel::cli
