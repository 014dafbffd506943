#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>
#include <gtest/gtest.h>

// Text rendering and fonts need a GUI application object; tests run without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt warns on every start without a runtime directory; give it a private one.
        const QString runtime = QDir::tempPath() + QStringLiteral("/korvel-runtime-") + QString::number(getuid());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    // Tests find the data and golden files of this build tree unless told otherwise.
    if (qEnvironmentVariableIsEmpty("KORVEL_DATA"))
        qputenv("KORVEL_DATA", KORVEL_TEST_DATA_DIR);
    if (qEnvironmentVariableIsEmpty("KORVEL_TEST_SOURCE"))
        qputenv("KORVEL_TEST_SOURCE", KORVEL_TEST_SOURCE_DIR);
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
