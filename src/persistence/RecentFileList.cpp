#include "persistence/RecentFileList.h"

#include <algorithm>

namespace korvel {

namespace {
QByteArray nameKey(int i)
{
    return "RecentFileName" + QByteArray::number(i);
}
} // namespace

TRecentFileList::TRecentFileList(RegistryStore& store) : store_(store)
{
    store_.createKey(RecentFilesKey);
    const int values = store_.valueCount(RecentFilesKey);
    if (values != 5 && values != 6) {
        store_.setIntValue(RecentFilesKey, "FileNumber", 0);
        for (int i = 1; i <= MaxFiles; ++i)
            store_.setValue(RecentFilesKey, nameKey(i), QByteArray());
        store_.save();
    }
    count_ = ReadFileCount();
}

int TRecentFileList::ReadFileCount()
{
    return std::clamp(store_.intValue(RecentFilesKey, "FileNumber", 0), 0, MaxFiles);
}

void TRecentFileList::WriteFileCount(int count)
{
    if (count != count_ && count >= 0 && count <= MaxFiles) {
        count_ = count;
        store_.setIntValue(RecentFilesKey, "FileNumber", count);
    }
}

QStringList TRecentFileList::GetFileList()
{
    store_.reload();
    count_ = ReadFileCount();
    list_.clear();
    for (int i = 1; i <= count_; ++i)
        list_.append(QString::fromUtf8(store_.value(RecentFilesKey, nameKey(i)).value_or(QByteArray())));
    return list_;
}

void TRecentFileList::AddFileName(const QString& path)
{
    GetFileList();
    QStringList updated;
    qsizetype found = -1;
    for (qsizetype i = 0; i < list_.size() && found < 0; ++i)
        if (list_[i].compare(path, Qt::CaseInsensitive) == 0)
            found = i;
    if (found >= 0) {
        updated.append(list_[found]);
        for (qsizetype i = 0; i < list_.size(); ++i)
            if (i != found)
                updated.append(list_[i]);
    } else {
        updated.append(path);
        for (int i = 0; i < list_.size() && i < MaxFiles - 1; ++i)
            updated.append(list_[i]);
    }
    list_ = updated;
    SaveFileList();
}

void TRecentFileList::DeleteFileName(const QString& path)
{
    GetFileList();
    for (int i = 0; i < list_.size(); ++i)
        if (list_[i].compare(path, Qt::CaseInsensitive) == 0) {
            list_.removeAt(i);
            SaveFileList();
            return;
        }
}

void TRecentFileList::SaveFileList()
{
    WriteFileCount(static_cast<int>(list_.size()));
    for (int i = 0; i < list_.size(); ++i)
        store_.setValue(RecentFilesKey, nameKey(i + 1), list_[i].toUtf8());
    store_.save();
}

QStringList TRecentFileList::menuEntries()
{
    store_.reload();
    QStringList out;
    for (int i = 1; i <= MaxFiles; ++i) {
        const QString v = QString::fromUtf8(store_.value(RecentFilesKey, nameKey(i)).value_or(QByteArray()));
        if (!v.trimmed().isEmpty())
            out.append(v);
    }
    return out;
}

} // namespace korvel
