#pragma once

#include <QStringList>

namespace korvel::cli {

extern const char* const kVerifyUsage;

/// `korvel-cli verify LABEL.kvl [--data SOURCE] [--record N | --all]`: every barcode decoded
/// from the printout, as JSON on standard output.
int verifyCommand(const QStringList& arguments);

} // namespace korvel::cli
