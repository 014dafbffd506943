#pragma once

#include "persistence/RegistryStore.h"

#include <QStringList>

namespace korvel {

/// The recent-label list: up to four paths, newest first, kept in the registry store.
class TRecentFileList {
public:
    static constexpr int MaxFiles = 4;

    /// Opens (creating when needed) the recent-label key; a key that does not hold exactly the
    /// count and the four names is reset to an empty list.
    explicit TRecentFileList(RegistryStore& store);

    QStringList GetFileList();
    void AddFileName(const QString& path);
    void DeleteFileName(const QString& path);
    /// The non-blank names, as the menu and the start page list them.
    QStringList menuEntries();

private:
    int ReadFileCount();
    void WriteFileCount(int count);
    void SaveFileList();

    RegistryStore& store_;
    QStringList list_;
    int count_ = 0;
};

} // namespace korvel
