#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>

namespace korvel::test {

QString sourceDir()
{
    return qEnvironmentVariable("KORVEL_TEST_SOURCE");
}

QString dataDir()
{
    return qEnvironmentVariable("KORVEL_DATA");
}

QString shippedDataDir()
{
    const QString fromEnv = dataDir();
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../data");
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

ScopedHome::ScopedHome()
{
    hadPrevious_ = qEnvironmentVariableIsSet("KORVEL_HOME");
    previous_ = qgetenv("KORVEL_HOME");
    qputenv("KORVEL_HOME", dir_.path().toUtf8());
}

ScopedHome::~ScopedHome()
{
    if (hadPrevious_)
        qputenv("KORVEL_HOME", previous_);
    else
        qunsetenv("KORVEL_HOME");
}

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value, bool set)
    : name_(name)
{
    had_ = qEnvironmentVariableIsSet(name);
    previous_ = qgetenv(name);
    if (set)
        qputenv(name, value);
    else
        qunsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (had_)
        qputenv(name_, previous_);
    else
        qunsetenv(name_);
}

} // namespace korvel::test
