#include "editor/SingleInstance.h"

#include "document/DataPaths.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

#include <unistd.h>

namespace korvel {

namespace {
/// A hand-over is one line: the path in UTF-8, then a newline. Longer input is cut off here so
/// a stray client cannot make the running instance buffer without end.
constexpr qint64 MaxMessage = 64 * 1024;
} // namespace

QString InstanceServerName()
{
    const QByteArray folder = settingsDirectory().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("KorvelQCML-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent)
    , server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& name)
{
    // Binding with access options replaces an existing socket file, so a live instance has to
    // be asked first; whoever answers keeps the name.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500)) {
        probe.disconnectFromServer();
        return false;
    }
    // Nobody answers: any socket file left under the name is from a crashed instance.
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

QString InstanceServer::name() const
{
    return server_->serverName();
}

void InstanceServer::acceptConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto finish = [this, socket](bool closing) {
            if (socket->property("handled").toBool())
                return;
            QByteArray data = socket->property("pending").toByteArray() + socket->readAll();
            const qsizetype eol = data.indexOf('\n');
            if (eol < 0 && !closing && data.size() < MaxMessage) {
                socket->setProperty("pending", data);
                return;
            }
            socket->setProperty("handled", true);
            const QByteArray line = (eol >= 0 ? data.left(eol) : data).left(MaxMessage);
            socket->disconnectFromServer();
            // The receiver may show a message box, whose event loop would delete this socket
            // under the caller: the path leaves the socket's handlers before anyone sees it.
            QMetaObject::invokeMethod(
                this, [this, path = QString::fromUtf8(line)] { emit handOver(path); }, Qt::QueuedConnection);
        };
        connect(socket, &QLocalSocket::readyRead, this, [finish] { finish(false); });
        connect(socket, &QLocalSocket::disconnected, this, [finish, socket] {
            finish(true);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            finish(false);
    }
}

bool HandOverToRunningInstance(const QString& name, const QString& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray line = path.toUtf8();
    line.replace('\n', ' ');
    line += '\n';
    socket.write(line);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The bytes are in the running instance's socket; it reads them when its loop next runs.
    socket.disconnectFromServer();
    return true;
}

} // namespace korvel
