#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace korvel {

/// The name under which the running designer listens: one per user and settings folder, so
/// a test run with its own KORVEL_HOME never talks to the user's designer.
QString InstanceServerName();

/// The running instance's side of the hand-over.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    /// Listens under the name; false when a live instance answers on it. A socket left behind
    /// by a crashed instance (nobody answers on it) is removed and taken over.
    bool listen(const QString& name);
    QString name() const;

signals:
    /// Another start handed over its command-line path (empty when it had none).
    void handOver(const QString& path);

private:
    void acceptConnections();

    QLocalServer* server_;
};

/// The second start's side: gives the path to a running instance. True when an instance took
/// it (the caller then ends); false when none is running.
bool HandOverToRunningInstance(const QString& name, const QString& path, int timeoutMs = 2000);

} // namespace korvel
