#include "document/IniFile.h"

#include "document/SafeFile.h"

#include <QFile>

namespace korvel {

namespace {
bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

IniFile IniFile::parse(const QByteArray& text)
{
    IniFile ini;
    Section* current = nullptr;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';'))
            continue;
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            if (close < 0)
                continue;
            const QByteArray name = trimmed.mid(1, close - 1).trimmed();
            current = ini.findSection(name);
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        const qsizetype eq = trimmed.indexOf('=');
        if (eq <= 0 || !current)
            continue;
        const QByteArray key = trimmed.left(eq).trimmed();
        const QByteArray value = trimmed.mid(eq + 1).trimmed();
        bool replaced = false;
        for (Entry& e : current->entries)
            if (sameName(e.key, key)) {
                // The first occurrence wins, as with the Windows profile functions.
                replaced = true;
                break;
            }
        if (!replaced)
            current->entries.push_back({key, value});
    }
    return ini;
}

IniFile IniFile::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return parse(f.readAll());
}

QByteArray IniFile::serialize() const
{
    QByteArray out;
    for (const Section& s : sections_) {
        out += '[' + s.name + "]\r\n";
        for (const Entry& e : s.entries)
            out += e.key + '=' + e.value + "\r\n";
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const QString& path, QString* error) const
{
    return WriteFileSafely(path, serialize(), error);
}

IniFile::Section* IniFile::findSection(const QByteArray& name)
{
    for (Section& s : sections_)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

const IniFile::Section* IniFile::section(const QByteArray& name) const
{
    return const_cast<IniFile*>(this)->findSection(name);
}

bool IniFile::hasSection(const QByteArray& name) const
{
    return section(name) != nullptr;
}

std::optional<QByteArray> IniFile::value(const QByteArray& sectionName, const QByteArray& key) const
{
    const Section* s = section(sectionName);
    if (!s)
        return std::nullopt;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key))
            return e.value;
    return std::nullopt;
}

QByteArray IniFile::value(const QByteArray& sectionName, const QByteArray& key, const QByteArray& fallback) const
{
    return value(sectionName, key).value_or(fallback);
}

long long IniFile::intValue(const QByteArray& sectionName, const QByteArray& key, long long fallback) const
{
    const auto v = value(sectionName, key);
    if (!v)
        return fallback;
    bool ok = false;
    const long long n = v->trimmed().toLongLong(&ok);
    return ok ? n : fallback;
}

void IniFile::setValue(const QByteArray& sectionName, const QByteArray& key, const QByteArray& value)
{
    Section* s = findSection(sectionName);
    if (!s) {
        sections_.push_back({sectionName, {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries)
        if (sameName(e.key, key)) {
            e.value = value;
            return;
        }
    s->entries.push_back({key, value});
}

void IniFile::ensureSection(const QByteArray& name)
{
    if (!findSection(name))
        sections_.push_back({name, {}});
}

void IniFile::removeSection(const QByteArray& name)
{
    std::erase_if(sections_, [&](const Section& s) { return sameName(s.name, name); });
}

} // namespace korvel
