#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace korvel {

/// A Windows-style INI file held in memory: sections of key=value lines, names compared
/// without regard to case, bytes kept in the file's code page. Order is preserved on writing.
class IniFile {
public:
    struct Entry {
        QByteArray key;
        QByteArray value;
    };
    struct Section {
        QByteArray name;
        std::vector<Entry> entries;
    };

    IniFile() = default;
    /// Parses text with CR LF or LF line ends; lines that are neither a section, a key nor a
    /// comment are ignored.
    static IniFile parse(const QByteArray& text);
    /// Loads a file; an absent or unreadable file gives an empty INI.
    static IniFile load(const QString& path);

    QByteArray serialize() const;
    /// Writes the file safely (temporary file and rename).
    bool save(const QString& path, QString* error = nullptr) const;

    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    QByteArray value(const QByteArray& section, const QByteArray& key, const QByteArray& fallback) const;
    /// A decimal integer; the fallback when absent or not a number.
    long long intValue(const QByteArray& section, const QByteArray& key, long long fallback) const;
    void setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    bool hasSection(const QByteArray& section) const;
    const Section* section(const QByteArray& name) const;
    const std::vector<Section>& sections() const { return sections_; }
    void removeSection(const QByteArray& name);
    /// Creates an empty section when it is missing.
    void ensureSection(const QByteArray& name);

private:
    Section* findSection(const QByteArray& name);

    std::vector<Section> sections_;
};

} // namespace korvel
