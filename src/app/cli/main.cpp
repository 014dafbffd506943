#include "cli/CliCommands.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringDecoder>

#include <cstdio>

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
    // Qt would turn bytes that are not UTF-8 into replacement characters, and a file would be
    // read or written under another name than the one given.
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(QByteArrayView(argv[i]));
        if (utf8.hasError()) {
            std::fprintf(stderr,
                "korvel-cli: argument %d is not valid UTF-8 (a file name in another encoding?); "
                "rename the file or give a link with a UTF-8 name\n",
                i);
            return korvel::cli::Failure;
        }
    }
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("korvel-cli"));
    return korvel::cli::run(QGuiApplication::arguments());
}
