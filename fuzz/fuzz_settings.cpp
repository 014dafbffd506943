// "Label.dat" bytes and "Printer.ini" text.
#include "FuzzSupport.h"

#include "persistence/SystemSettings.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    korvel::SystemSettings settings;
    if (korvel::ParseLabelDat(bytes, settings).ok)
        korvel::SerializeLabelDat(settings, settings.modelCount());
    korvel::IniFile ini = korvel::IniFile::parse(bytes);
    korvel::ApplyPrinterIni(ini, settings);
    korvel::UpdatePrinterIni(ini, settings);
    return 0;
}
