#include "persistence/SystemSettings.h"

#include "document/Binary.h"
#include "persistence/LabelFile.h"
#include "persistence/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvel {

namespace {

const QByteArray kIdentification = QByteArrayLiteral("Label Software");
const QByteArray kGeneral = QByteArrayLiteral("Generalization");
const QByteArray kDefaultSection = QByteArrayLiteral("VTX-M2");
const QByteArray kSaveFailText = QByteArrayLiteral("Label.dat文件属性设置为不可写，退出后请修改");
const QByteArray kSaveFailTitle = QByteArrayLiteral("打印机设置记录不成功");
const QByteArray kLoadFailText = QByteArrayLiteral("加载系统配置文件错误，请重新安装程序");
const QByteArray kLoadFailTitle = QByteArrayLiteral("系统错误");

QString dirFile(const QString& dir, const char* name)
{
    return QDir(dir).filePath(QString::fromLatin1(name));
}

SettingsResult failure(const QByteArray& text, const QByteArray& title, const QString& detail = {})
{
    SettingsResult r;
    r.ok = false;
    r.message = QString::fromUtf8(text);
    if (!detail.isEmpty())
        r.message += QStringLiteral(" (%1)").arg(detail);
    r.title = QString::fromUtf8(title);
    return r;
}

} // namespace

int SystemSettings::languageIndex() const { return FixedRecord(header).u8(48); }
int SystemSettings::startOption() const { return FixedRecord(header).i32(52); }
int SystemSettings::drawingMode() const { return FixedRecord(header).u8(56); }
bool SystemSettings::showStartPage() const { return FixedRecord(header).u8(57) == 1; }
int SystemSettings::modelCount() const { return FixedRecord(header).u16(50); }

namespace {
template <typename Fn>
void editHeader(QByteArray& header, Fn fn)
{
    FixedRecord r(header);
    fn(r);
    header = r.bytes();
}
} // namespace

void SystemSettings::setLanguageIndex(int index)
{
    editHeader(header, [&](FixedRecord& r) { r.setU8(48, static_cast<std::uint8_t>(index)); });
}

void SystemSettings::setStartOption(int option)
{
    editHeader(header, [&](FixedRecord& r) { r.setI32(52, option); });
}

void SystemSettings::setDrawingMode(int mode)
{
    editHeader(header, [&](FixedRecord& r) { r.setU8(56, static_cast<std::uint8_t>(mode)); });
}

void SystemSettings::setShowStartPage(bool show)
{
    editHeader(header, [&](FixedRecord& r) { r.setU8(57, show ? 1 : 0); });
}

TPrinterSetting SystemSettings::profile(int model) const
{
    if (model >= 1 && model <= static_cast<int>(profiles.size()))
        return profiles[static_cast<size_t>(model - 1)];
    return current;
}

void SystemSettings::setProfile(int model, const TPrinterSetting& setting)
{
    if (model < 1 || model > 255)
        return;
    if (static_cast<int>(profiles.size()) < model)
        profiles.resize(static_cast<size_t>(model), TPrinterSetting{});
    profiles[static_cast<size_t>(model - 1)] = setting;
}

SystemSettings DefaultSystemSettings()
{
    SystemSettings s;
    editHeader(s.header, [](FixedRecord& r) {
        r.setI32(0, SystemSettings::HeaderSize);
        r.setStr(4, 39, kIdentification);
        r.setI32(44, 100);
        r.setU8(48, 0);
        r.setU16(50, 1);
        r.setI32(52, 2);
        r.setU8(56, 1);
        r.setU8(57, 1);
    });
    s.currentModel = 1;
    s.current = TPrinterSetting{};
    s.profiles = {s.current};
    return s;
}

SettingsResult ParseLabelDat(const QByteArray& bytes, SystemSettings& s)
{
    ByteReader in(bytes);
    const QByteArray header = in.bytes(SystemSettings::HeaderSize);
    if (!in.ok())
        return failure(kLoadFailText, kLoadFailTitle, QStringLiteral("Label.dat is too short"));
    const FixedRecord h(header);
    if (h.i32(0) != SystemSettings::HeaderSize || h.str(4, 39) != kIdentification || h.u16(50) == 0)
        return failure(kLoadFailText, kLoadFailTitle, QStringLiteral("Label.dat is not a settings file"));
    const int n = h.u16(50);
    SystemSettings out = s;
    out.header = header;
    out.currentModel = in.u8();
    out.current = TPrinterSetting::fromBytes(in.bytes(TPrinterSetting::Size));
    out.profiles.clear();
    for (int i = 0; i < n && in.ok(); ++i) {
        const QByteArray slot = in.bytes(TPrinterSetting::Size);
        if (in.ok() && i < 255)
            out.profiles.push_back(TPrinterSetting::fromBytes(slot));
    }
    out.defaultPage = TPageRecord::fromBytes(in.bytes(TPageRecord::Size));
    if (!in.ok())
        return failure(kLoadFailText, kLoadFailTitle, QStringLiteral("Label.dat is cut short"));
    s = std::move(out);
    return {};
}

QByteArray SerializeLabelDat(const SystemSettings& s, int modelCount)
{
    QByteArray header = s.header.left(SystemSettings::HeaderSize).leftJustified(SystemSettings::HeaderSize, '\0', true);
    editHeader(header, [&](FixedRecord& r) {
        r.setI32(0, SystemSettings::HeaderSize);
        // Only the identification is replaced; the bytes after it stay as read.
        r.setU8(4, static_cast<std::uint8_t>(kIdentification.size()));
        r.setRaw(5, kIdentification);
        r.setI32(44, 100);
        r.setU16(50, static_cast<std::uint16_t>(modelCount));
    });
    ByteWriter out;
    out.bytes(header);
    out.u8(s.currentModel);
    out.bytes(s.current.toBytes());
    for (int i = 1; i <= modelCount; ++i)
        out.bytes(s.profile(i).toBytes());
    out.bytes(s.defaultPage.toBytes());
    return out.take();
}

TPrinterSetting ReadPrinterSection(const IniFile& ini, const QByteArray& section)
{
    auto get = [&](const char* key, long long fallback) { return ini.intValue(section, key, fallback); };
    auto byte = [&](const char* key) { return static_cast<std::uint8_t>(get(key, 1) & 0xFF); };
    TPrinterSetting p;
    p.PrinterID = byte("PrinterID");
    p.ComPort = byte("ComPort");
    p.BaudRate = static_cast<std::int32_t>(get("BaudRate", 1));
    p.ByteSize = byte("ByteSize");
    p.StopBits = byte("StopBits");
    p.Parity = static_cast<std::int32_t>(get("Parity", 1));
    p.FlowControl = byte("FlowControl");
    p.LPTAddr = static_cast<std::int32_t>(get("LPTAddr", 888));
    p.DPI = byte("DPI");
    p.PrintType = byte("PrintType");
    p.PrintDirection = byte("PrintDirection");
    p.FeedType = byte("FeedType");
    p.PrintSpeed = byte("PrintSpeed");
    p.PrintThickness = byte("PrintThickness");
    p.PageType = byte("PageType");
    p.OutDistance = static_cast<std::int32_t>(get("OutDistance", 1));
    p.LED = byte("LED");
    return p;
}

void WritePrinterSection(IniFile& ini, const QByteArray& section, const TPrinterSetting& p)
{
    auto put = [&](const char* key, long long v) { ini.setValue(section, key, QByteArray::number(v)); };
    put("PrinterID", p.PrinterID);
    put("ComPort", p.ComPort);
    put("BaudRate", p.BaudRate);
    put("ByteSize", p.ByteSize);
    put("StopBits", p.StopBits);
    put("Parity", p.Parity);
    put("FlowControl", p.FlowControl);
    put("LPTAddr", p.LPTAddr);
    put("DPI", p.DPI);
    put("PrintType", p.PrintType);
    put("PrintDirection", p.PrintDirection);
    put("FeedType", p.FeedType);
    put("PrintSpeed", p.PrintSpeed);
    put("PrintThickness", p.PrintThickness);
    put("PageType", p.PageType);
    put("OutDistance", p.OutDistance);
    put("LED", p.LED);
}

void ApplyPrinterIni(const IniFile& ini, SystemSettings& s)
{
    s.currentModel = static_cast<std::uint8_t>(ini.intValue(kGeneral, "CurrentPrnIndex", 1) & 0xFF);
    const QByteArray section = ini.value(kGeneral, QByteArray::number(s.currentModel), kDefaultSection);
    // The reserved bytes of the record are not in the INI file; keep them from "Label.dat".
    TPrinterSetting fromIni = ReadPrinterSection(ini, section);
    fromIni.reserved2 = s.current.reserved2;
    fromIni.reserved10 = s.current.reserved10;
    fromIni.reserved17 = s.current.reserved17;
    fromIni.reserved31 = s.current.reserved31;
    fromIni.reserved37 = s.current.reserved37;
    s.current = fromIni;
    s.defaultFontName = ini.value("winfont", "fontname", "Arial");
}

void UpdatePrinterIni(IniFile& ini, const SystemSettings& s)
{
    ini.setValue(kGeneral, "CurrentPrnIndex", QByteArray::number(s.currentModel));
    const int n = static_cast<int>(std::clamp<long long>(ini.intValue(kGeneral, "PrnNumber", 10), 1, 255));
    for (int i = 1; i <= n; ++i) {
        if (i == 5)
            continue;
        const QByteArray section = ini.value(kGeneral, QByteArray::number(i), kDefaultSection);
        WritePrinterSection(ini, section, s.profile(i));
    }
}

SettingsResult LoadSystemSettings(const QString& dir, RegistryStore* registry, SystemSettings& s)
{
    const IniFile ini = IniFile::load(dirFile(dir, "Printer.ini"));
    QFile dat(dirFile(dir, "Label.dat"));
    if (!dat.exists())
        return failure(kLoadFailText, kLoadFailTitle, QStringLiteral("Label.dat is missing"));
    if (!dat.open(QIODevice::ReadOnly))
        return failure(kLoadFailText, kLoadFailTitle, dat.errorString());
    SystemSettings read = s;
    SettingsResult r = ParseLabelDat(dat.readAll(), read);
    if (!r.ok)
        return r;
    ApplyPrinterIni(ini, read);
    if (registry && registry->hasKey(LanguageKey)) {
        const QByteArray language = registry->value(LanguageKey, "Language").value_or(QByteArray());
        registry->setValue(LanguageKey, "Language", "Null");
        registry->save();
        if (language == "chs")
            read.setLanguageIndex(0);
        else if (language == "en")
            read.setLanguageIndex(1);
        else if (language == "cht")
            read.setLanguageIndex(3);
    }
    s = std::move(read);
    return {};
}

SettingsResult SaveSystemSettings(const QString& dir, const SystemSettings& s)
{
    const QString iniPath = dirFile(dir, "Printer.ini");
    IniFile ini = IniFile::load(iniPath);
    ini.setValue(kGeneral, "CurrentPrnIndex", QByteArray::number(s.currentModel));
    const int n = static_cast<int>(std::clamp<long long>(ini.intValue(kGeneral, "PrnNumber", 10), 1, 255));
    QString error;
    if (!WriteFileSafely(dirFile(dir, "Label.dat"), SerializeLabelDat(s, n), &error))
        return failure(kSaveFailText, kSaveFailTitle, error);
    UpdatePrinterIni(ini, s);
    if (!ini.save(iniPath, &error))
        return failure(kSaveFailText, kSaveFailTitle, error);
    return {};
}

QString EnsureSettingsDirectory(const QString& dir)
{
    QDir().mkpath(dir);
    const QString datPath = dirFile(dir, "Label.dat");
    QString message;
    if (QFile::exists(datPath)) {
        SystemSettings probe;
        QFile dat(datPath);
        if (dat.open(QIODevice::ReadOnly) && ParseLabelDat(dat.readAll(), probe).ok)
            return {};
        dat.close();
        const QString aside = datPath + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(datPath, aside);
        message = QStringLiteral("The settings file %1 was damaged; it was kept as %2 and the default settings were restored.")
                      .arg(datPath, aside);
    }
    const SystemSettings defaults = DefaultSystemSettings();
    const QString iniPath = dirFile(dir, "Printer.ini");
    if (!QFile::exists(iniPath)) {
        IniFile ini;
        ini.setValue(kGeneral, "CurrentPrnIndex", "1");
        ini.setValue(kGeneral, "PrnNumber", "1");
        ini.setValue(kGeneral, "1", "VTX-M1");
        WritePrinterSection(ini, "VTX-M1", defaults.current);
        ini.setValue("winfont", "fontname", "Arial");
        ini.save(iniPath);
    }
    QString error;
    if (!WriteFileSafely(datPath, SerializeLabelDat(defaults, 1), &error))
        return QStringLiteral("Cannot write the default settings: %1").arg(error);
    return message;
}

} // namespace korvel
