#include "cli/CliCommands.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSemaphore>
#include <QThreadPool>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include <unistd.h>

namespace {

/// Qt's painting spreads large fills and conversions over the global thread pool and waits for
/// them; a pool thread that cannot be started once memory runs short would leave it waiting for
/// ever. One thread with a small stack, started now while memory is plentiful and never
/// retired, serves them all. False when not even that thread can be had.
bool keepOnePaintingThread()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(1);
    pool->setExpiryTimeout(-1);
    pool->setStackSize(512 * 1024);
    auto started = std::make_shared<QSemaphore>();
    pool->start([started] { started->release(); });
    return started->tryAcquire(1, 10000);
}

/// Qt's own warnings (a picture without memory, a plug-in that cannot be mapped, a PNG
/// library's complaint) would come before the one line a failure gets; the command reports
/// what they mean itself. KORVEL_QT_MESSAGES=1 shows them for debugging.
void quietQtMessages()
{
    if (qEnvironmentVariableIntValue("KORVEL_QT_MESSAGES") == 1)
        return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "korvel-cli: %s\n", qPrintable(message));
    });
}

} // namespace

int main(int argc, char** argv)
{
    quietQtMessages();
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
    try {
        QGuiApplication app(argc, argv);
        QGuiApplication::setApplicationName(QStringLiteral("korvel-cli"));
        if (!keepOnePaintingThread()) {
            std::fputs("korvel-cli: there is not enough memory to start\n", stderr);
            std::_Exit(korvel::cli::Failure); // the pool would wait for its thread on the way out
        }
        return korvel::cli::run(QGuiApplication::arguments());
    } catch (const std::bad_alloc&) {
        // Unwinding has removed any half-written output; the old file stands.
        std::fputs("korvel-cli: there is not enough memory for this command\n", stderr);
        return korvel::cli::Failure;
    }
}
