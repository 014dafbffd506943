#include "document/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef KORVEL_INSTALL_PREFIX
#define KORVEL_INSTALL_PREFIX "/usr/local"
#endif

namespace korvel {

namespace {

QString executableDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (early start-up, plain tools) ask the kernel.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.exists() ? QFileInfo(self.canonicalFilePath()).absolutePath() : QString();
}

} // namespace

QString dataDirectory()
{
    const QString fromEnv = qEnvironmentVariable("KORVEL_DATA");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    const QString exeDir = executableDirectory();
    if (!exeDir.isEmpty()) {
        const QString beside = QDir::cleanPath(exeDir + QStringLiteral("/../share/korvel"));
        if (QFileInfo(beside).isDir())
            return beside;
    }
    return QDir::cleanPath(QStringLiteral(KORVEL_INSTALL_PREFIX "/share/korvel"));
}

QString settingsDirectory()
{
    const QString fromEnv = qEnvironmentVariable("KORVEL_HOME");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is ignored.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg + QStringLiteral("/korvel"));
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config/korvel"));
}

QString dataFile(const QString& name)
{
    return dataDirectory() + QLatin1Char('/') + name;
}

} // namespace korvel
