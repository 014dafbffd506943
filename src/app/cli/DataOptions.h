#pragma once

#include "cli/CommandLine.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceSpec.h"

#include <memory>
#include <optional>

namespace korvel {
class LabelDocument;
} // namespace korvel

namespace korvel::cli {

/// The options that choose the records of a run: --data SOURCE and --data-encoding NAME.
class DataOptions {
public:
    /// Adds the options to the command's line.
    explicit DataOptions(CommandLine& line);
    /// The --data source (nothing when not given); false with a usage error text.
    bool read(std::optional<SourceSpec>& spec, QString& error) const;

private:
    CommandLine& line_;
    QCommandLineOption data_;
    QCommandLineOption encoding_;
};

/// Opens the records of a run: the --data source, or the label's own stored source. A stored
/// source that cannot be opened is a failure only when the label uses its fields (or when
/// `needed`). False with the failure line.
bool OpenRecords(const LabelDocument& document, const std::optional<SourceSpec>& dataSpec,
    std::unique_ptr<DatabaseSource>& live, bool needed, QString& error);

/// The files a run reads: the label and, when the records come from a file, that file.
QStringList InputFiles(const QString& label, const DatabaseSource* live);

} // namespace korvel::cli
