#include "cli/CliCommands.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // The headless tool draws with Qt's GUI module but never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("korvel-cli"));
    return korvel::cli::run(QGuiApplication::arguments());
}
