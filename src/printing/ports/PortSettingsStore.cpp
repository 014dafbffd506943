#include "printing/ports/PortSettingsStore.h"

#include "persistence/RegistryStore.h"

namespace korvel {

namespace {

/// The value of one key, trimmed; nothing for an absent or blank one.
std::optional<QString> text(const RegistryStore& store, const char* name)
{
    const std::optional<QByteArray> raw = store.value(PortsKey, name);
    if (!raw)
        return std::nullopt;
    const QString value = QString::fromLocal8Bit(*raw).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    return value;
}

} // namespace

PortSettings ReadPortSettings(const RegistryStore& store)
{
    PortSettings settings;
    for (int i = 0; i < int(settings.serialDevices.size()); ++i)
        if (auto v = text(store, QByteArray("Com" + QByteArray::number(i + 1)).constData()))
            settings.serialDevices[std::size_t(i)] = *v;
    for (int i = 0; i < int(settings.parallelDevices.size()); ++i)
        if (auto v = text(store, QByteArray("Lpt" + QByteArray::number(i + 1)).constData()))
            settings.parallelDevices[std::size_t(i)] = *v;
    if (auto v = text(store, "UsbDevices"))
        settings.usb.deviceDir = *v;
    if (auto v = text(store, "Queue"))
        settings.queue.name = *v;
    if (auto v = text(store, "QueueServer"))
        settings.queue.server = *v;
    if (auto v = text(store, "WriteToFile"))
        settings.writeToFilePath = *v;
    if (auto v = text(store, "Printer"))
        settings.overrideSpec = *v;
    if (auto v = text(store, "Lean"))
        settings.lean = *v == QLatin1String("1");
    if (auto v = text(store, "LeanGraphicsMemory")) {
        bool ok = false;
        const qlonglong bytes = v->toLongLong(&ok);
        if (ok && bytes > 0)
            settings.leanGraphicsMemory = bytes;
    }
    return settings;
}

} // namespace korvel
