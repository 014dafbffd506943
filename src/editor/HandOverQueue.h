#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

namespace korvel {

/// The paths that later starts hand to the running designer. They are opened one at a time,
/// in the order they came, and only while no modal dialog is up: a label opened under the
/// new-label dialog or a message box would change what that dialog is working on.
class HandOverQueue : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QString&)>;

    explicit HandOverQueue(Opener open, QObject* parent = nullptr);

    /// Queues a path (empty: the start named no file) and opens what may be opened now.
    void add(const QString& path);
    /// Paths still waiting, e.g. for a dialog to close.
    int pending() const { return static_cast<int>(paths_.size()); }

private:
    void drain();

    Opener open_;
    std::deque<QString> paths_;
    QTimer retry_;
    bool opening_ = false;
};

} // namespace korvel
