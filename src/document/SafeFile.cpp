#include "document/SafeFile.h"

#include <QSaveFile>

#include <unistd.h>

namespace korvel {

bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, why);
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    // QSaveFile::commit() of Qt 6.4 drops the error of its final flush (a full disk, the file-size
    // limit) and renames a cut-short file over the old one; so the bytes are pushed out, and
    // to the disk, here, where a failure can still stop the rename.
    if (!file.flush())
        return fail(file.errorString());
    if (file.handle() >= 0 && ::fsync(file.handle()) != 0)
        return fail(QStringLiteral("the data could not be stored on the disk"));
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace korvel
