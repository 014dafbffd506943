#include "editor/printing/PrinterSetCommand.h"

#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/MainForm.h"
#include "editor/OAWorkSpace.h"
#include "editor/UserPrompts.h"
#include "editor/printing/PrinterSetForm.h"
#include "persistence/RegistryStore.h"
#include "persistence/SystemSettings.h"
#include "printing/ports/PortSettingsStore.h"
#include "printing/settings/PortListing.h"

#include <QDir>

namespace korvel {

namespace {

QByteArray comKey(int i)
{
    return "Com" + QByteArray::number(i + 1);
}

/// The "Ports" group as the dialog edits it; values the group leaves out show the defaults.
PortChoices readPortChoices(const RegistryStore& store, const PortSettings& settings)
{
    PortChoices p;
    p.serialDevices = settings.serialDevices;
    p.queueName = settings.queue.name;
    const QString override = settings.overrideSpec;
    if (override.startsWith(QStringLiteral("tcp:")))
        p.tcp = override.mid(4);
    (void)store;
    return p;
}

void writePortChoices(RegistryStore& store, const PortChoices& p, const PortChoices& before)
{
    // Only what the user changed is written, so the defaults of a later version still apply
    // to everything else.
    for (int i = 0; i < int(p.serialDevices.size()); ++i)
        if (p.serialDevices[std::size_t(i)] != before.serialDevices[std::size_t(i)])
            store.setValue(PortsKey, comKey(i), p.serialDevices[std::size_t(i)].toLocal8Bit());
    if (p.queueName != before.queueName)
        store.setValue(PortsKey, "Queue", p.queueName.toLocal8Bit());
    if (p.tcp != before.tcp)
        store.setValue(PortsKey, "Printer", p.tcp.isEmpty() ? QByteArray() : ("tcp:" + p.tcp).toLocal8Bit());
}

} // namespace

bool RunPrinterSetCommand(TChildForm& child)
{
    LabelDocument& doc = child.document();
    auto* main = qobject_cast<TMainForm*>(child.window());
    SystemSettings fallbackSettings = DefaultSystemSettings();
    SystemSettings& settings = main ? main->settings() : fallbackSettings;
    std::unique_ptr<RegistryStore> ownRegistry;
    RegistryStore* registry = main ? main->registry() : nullptr;
    if (!registry) {
        ownRegistry = std::make_unique<RegistryStore>(QDir(settingsDirectory()).filePath(QStringLiteral("registry.ini")));
        registry = ownRegistry.get();
    }
    registry->reload();
    const PortSettings portSettings = ReadPortSettings(*registry);
    const PortChoices before = readPortChoices(*registry, portSettings);

    // The conversion compares with the resolution the objects were made for, whatever the
    // default profile of an unknown model says.
    const int oldDpi = doc.printer.DPI;
    const PrinterWorkingCopy copy = BeginPrinterSettings(doc);

    PrinterSetEnvironment env;
    const UsbOptions usb = portSettings.usb;
    env.usbPrinters = [usb] { return EnumUsbPrinters(usb); };
    env.lookup = LanguageLookup();
    TFormPrinterSet dialog(copy, settings.currentModel, settings.profile(1), before, env, &child);
    dialog.setDeviceLists(ListSerialDevices(), ListPrintQueues(portSettings.queue.server));
    if (const std::optional<MessageText>& m = dialog.fillMessage())
        Prompts().message(&child, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QString()),
            LookupText(m->section, m->key, m->defaultText), UserPrompts::Icon::Information);
    // Cancel leaves the document, the settings and the modified flag exactly as they were.
    if (!Prompts().runDialog(&dialog))
        return false;

    const PrinterWorkingCopy& result = dialog.workingCopy();
    doc.printerModel = std::uint8_t(result.model);
    doc.printer = result.record;
    doc.printPositionAdjust = result.positionAdjust;
    settings.currentModel = std::uint8_t(dialog.currentModel());
    settings.current = result.record;
    settings.setProfile(result.model, result.record);
    if (main) {
        const SettingsResult saved = SaveSystemSettings(main->settingsDirectory(), settings);
        if (!saved.ok)
            Prompts().message(&child, saved.title, saved.message, UserPrompts::Icon::Warning);
    }
    writePortChoices(*registry, dialog.portChoices(), before);
    QString error;
    if (!registry->save(&error))
        Prompts().message(&child, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QString()),
            registry->filePath() + QStringLiteral(": ") + error, UserPrompts::Icon::Warning);

    if (doc.printer.DPI != oldDpi)
        ConvertResolution(doc, doc.printer.DPI, oldDpi == 0 ? 1 : 2);
    doc.markModified();
    child.workspace()->refresh();
    return true;
}

} // namespace korvel
