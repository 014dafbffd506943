#pragma once

#include <QStringList>

namespace korvel::cli {

/// `korvel-cli render LABEL.kvl -o OUT.png [--record N] [--data SOURCE] [--design [--zoom P]]`:
/// one label (the first grid position, no margins) as the printer prints it from the emitted
/// stream, a 1-bit PNG in printer dots; with --design the design view at P percent instead.
/// The arguments exclude the program and command names. Returns the exit code.
int renderCommand(const QStringList& arguments);

/// The usage lines of the render command.
extern const char* const kRenderUsage;

} // namespace korvel::cli
