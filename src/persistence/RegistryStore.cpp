#include "persistence/RegistryStore.h"

namespace korvel {

RegistryStore::RegistryStore(QString filePath) : path_(std::move(filePath))
{
    reload();
}

void RegistryStore::reload()
{
    ini_ = IniFile::load(path_);
}

bool RegistryStore::save(QString* error) const
{
    return ini_.save(path_, error);
}

QByteArray RegistryStore::normalizeKey(const QString& keyPath)
{
    QString k = keyPath.trimmed();
    while (k.startsWith(QLatin1Char('\\')))
        k.remove(0, 1);
    return k.toUtf8();
}

bool RegistryStore::hasKey(const QString& keyPath) const
{
    return ini_.hasSection(normalizeKey(keyPath));
}

void RegistryStore::createKey(const QString& keyPath)
{
    ini_.ensureSection(normalizeKey(keyPath));
}

int RegistryStore::valueCount(const QString& keyPath) const
{
    const IniFile::Section* s = ini_.section(normalizeKey(keyPath));
    if (!s)
        return 0;
    return static_cast<int>(s->entries.size());
}

std::optional<QByteArray> RegistryStore::value(const QString& keyPath, const QByteArray& name) const
{
    return ini_.value(normalizeKey(keyPath), name);
}

int RegistryStore::intValue(const QString& keyPath, const QByteArray& name, int fallback) const
{
    return static_cast<int>(ini_.intValue(normalizeKey(keyPath), name, fallback));
}

void RegistryStore::setValue(const QString& keyPath, const QByteArray& name, const QByteArray& value)
{
    ini_.setValue(normalizeKey(keyPath), name, value);
}

void RegistryStore::setIntValue(const QString& keyPath, const QByteArray& name, int value)
{
    setValue(keyPath, name, QByteArray::number(value));
}

} // namespace korvel
