#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>

#include <csignal>

namespace korvel {
struct CommandContext;
class DatabaseJobRecords;
struct EmissionContext;
class LabelDocument;
struct PortStatus;
struct SystemSettings;
} // namespace korvel

namespace korvel::cli {

/// The one failure line on stderr (a text of several lines, and the warnings not yet shown, are
/// folded into it); returns the failure exit code.
int fail(const QString& why);
/// A warning, shown when the command ends (one line each), or folded into its failure line.
void warn(const QString& what);
/// Shows the warnings held back.
void FlushWarnings();

/// What a port or command-builder failure says, in English: its technical detail, or the kind
/// of failure (the built-in message texts are the designer's, in Chinese).
QString FailureText(const PortStatus& status);

/// The designer's process-wide settings when they exist, its first-start defaults otherwise.
SystemSettings readSettings();

/// The command settings a run prints a label with: its printer's command set and model, the
/// designer's drawing mode, no model button down.
CommandContext LabelCommands(const LabelDocument& document, const SystemSettings& settings);
/// The emission context of a run's labels: the label's command settings and the current
/// record of `records` (none: the label prints without a data source).
EmissionContext LabelContext(const LabelDocument& document, const SystemSettings& settings, DatabaseJobRecords* records);
/// Moves to record `number` (from 1), or to the last one when there are fewer.
void MoveToRecord(DatabaseJobRecords& records, std::int64_t number);

/// Opens a label for a command. A damaged label (one the reader opened only partly) is a
/// failure for commands that print or draw it, unless the user accepts it; otherwise it opens
/// with a warning. On failure `error` holds the one line to show.
bool openLabel(const QString& path, LabelDocument& document, bool refuseDamaged, QString& error);

/// The reason no printer can print the label (an object larger than the longest page a label
/// start can state, 999.9 mm, in either direction); empty when there is none. Checked before
/// anything is drawn at printer resolution.
QString ObjectTooLarge(const LabelDocument& document, const QString& label);

/// The reason to refuse an output that is one of the inputs (the same file by device and
/// inode, whatever name leads to it); empty when it is none of them.
QString outputIsAnInput(const QString& output, const QStringList& inputs);

/// Ends the process cleanly on SIGINT, SIGTERM and SIGHUP while alive: with a cancel flag the
/// flag is raised (the job stops between labels and discards its output; a second signal ends
/// at once); the temporaries of unfinished outputs are removed before the process ends.
class TerminationGuard {
public:
    explicit TerminationGuard(std::atomic<bool>* cancel = nullptr);
    ~TerminationGuard();
    TerminationGuard(const TerminationGuard&) = delete;
    TerminationGuard& operator=(const TerminationGuard&) = delete;

private:
    std::atomic<bool>* previousCancel_;
    std::array<struct sigaction, 3> previous_ {};
};

} // namespace korvel::cli
