#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

namespace korvel::test {

/// Folder of the test sources (golden files live below it).
QString sourceDir();
/// The read-only data folder of the build tree.
QString dataDir();
/// The shipped data folder: the build tree's copy, or data/ of the sources when the tests run
/// outside CTest.
QString shippedDataDir();
/// Reads a whole file; an empty array when it cannot be read.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

/// A temporary settings home: sets KORVEL_HOME for the lifetime of the object.
class ScopedHome {
public:
    ScopedHome();
    ~ScopedHome();
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};

/// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value, bool set = true);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    QByteArray previous_;
    bool had_ = false;
};

} // namespace korvel::test
