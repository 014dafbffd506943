#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>

namespace korvel::cli {

/// The progress line of `print` on a terminal: labels sent of labels asked, the rate and the
/// time left, redrawn at most five times a second.
class TerminalProgress {
public:
    TerminalProgress() { clock_.start(); }

    /// The line for these figures, or an empty text when the last one is too recent.
    QString update(std::int64_t sent, std::int64_t total);
    /// Whether a line was ever shown (the caller ends it with a newline).
    bool shown() const { return shown_; }

    /// The text of one line, for the given elapsed milliseconds.
    static QString Line(std::int64_t sent, std::int64_t total, qint64 elapsedMs);

private:
    QElapsedTimer clock_;
    qint64 lastMs_ = -1000;
    bool shown_ = false;
};

} // namespace korvel::cli
