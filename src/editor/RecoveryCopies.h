#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

namespace korvel {

class LabelDocument;

/// Crash recovery: every modified document keeps a copy of itself in the settings folder's
/// "recovery" folder (never beside the user's file), written at most once a minute while it
/// changes and removed when the document is saved or closed normally. Copies left by a run
/// that did not end normally are offered at the next start.

/// <settings>/recovery
QString RecoveryFolder();

/// A copy left behind by a designer that is no longer running.
struct RecoveryCopy {
    QString copyPath; ///< the label file written
    QString fileName; ///< the document's own file name
    bool untitled = true;
};
/// Copies whose designer process is gone, oldest first.
std::vector<RecoveryCopy> LeftRecoveryCopies();
/// Moves a damaged copy out of the way (".damaged"); returns its new path.
QString SetRecoveryCopyAside(const RecoveryCopy& copy);
/// Removes a copy and its description.
void RemoveRecoveryCopy(const QString& copyPath);

/// Writes the recovery copy of one document window.
class RecoveryCopyWriter : public QObject {
    Q_OBJECT
public:
    /// The shortest time between two writes (60 s; tests shorten it).
    static int intervalMs;

    explicit RecoveryCopyWriter(std::function<LabelDocument*()> document, QObject* parent = nullptr);
    ~RecoveryCopyWriter() override;

    /// The document may have changed: schedules a write (or removes the copy when the
    /// document is unmodified).
    void changed();
    /// Writes now when the document changed since the last copy.
    bool writeNow();
    /// The document was saved or closed normally.
    void remove();
    QString path() const { return path_; }

private:
    std::function<LabelDocument*()> document_;
    QString path_;
    QTimer timer_;
    QElapsedTimer sinceWrite_;
    std::uint64_t written_ = 0;
    bool haveCopy_ = false;
};

} // namespace korvel
