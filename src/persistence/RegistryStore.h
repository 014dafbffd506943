#pragma once

#include "document/IniFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace korvel {

/// Stands in for the per-user registry: an INI file whose groups are key paths and whose keys
/// are value names. Paths ignore case and a leading backslash ("\Software\TESSARO" and
/// "SoftWare\Tessaro" are one key).
class RegistryStore {
public:
    explicit RegistryStore(QString filePath);

    /// Reloads from disk (the file may be shared with another running instance).
    void reload();
    bool save(QString* error = nullptr) const;
    const QString& filePath() const { return path_; }

    bool hasKey(const QString& keyPath) const;
    void createKey(const QString& keyPath);
    int valueCount(const QString& keyPath) const;
    std::optional<QByteArray> value(const QString& keyPath, const QByteArray& name) const;
    /// An integer value; the fallback when absent or not a number.
    int intValue(const QString& keyPath, const QByteArray& name, int fallback) const;
    void setValue(const QString& keyPath, const QByteArray& name, const QByteArray& value);
    void setIntValue(const QString& keyPath, const QByteArray& name, int value);

    static QByteArray normalizeKey(const QString& keyPath);

private:
    QString path_;
    IniFile ini_;
};

/// Registry key paths used by the program.
inline const QString RecentFilesKey = QStringLiteral("\\Software\\TESSARO");
inline const QString LanguageKey = QStringLiteral("Software\\Movani\\Korvel\\Settings");

} // namespace korvel
