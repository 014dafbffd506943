// The designer's windows need a widget application, so this suite has its own main (the
// shared one makes a GUI-only application).
#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("KORVEL_DATA"))
        qputenv("KORVEL_DATA", KORVEL_TEST_DATA);
    if (qEnvironmentVariableIsEmpty("KORVEL_TEST_SOURCE"))
        qputenv("KORVEL_TEST_SOURCE", KORVEL_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/korvel-runtime-") + QString::number(getuid());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
