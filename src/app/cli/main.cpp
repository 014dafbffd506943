#include "cli/CliCommands.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>

int main(int argc, char** argv)
{
    // The headless tool draws with Qt's GUI module but never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt warns on every start without a runtime directory; give it a private one.
        const QString runtime = QDir::tempPath() + QStringLiteral("/korvel-runtime-") + QString::number(getuid());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("korvel-cli"));
    return korvel::cli::run(QGuiApplication::arguments());
}
