// INI text as the language files, "LOG.ini", "Printer.ini", "registry.ini" and "schema.ini" are
// read: parse, look every key up, decode values in the code pages the language files use, and
// check that writing and reading again keeps every section and key.
#include "FuzzSupport.h"

#include "document/CodePage.h"
#include "document/IniFile.h"

#include <cstdint>

using korvel::CodePage;
using korvel::IniFile;

namespace {

// What the language reader does with a value: outer double quotes go, then the code page.
void decodeLikeLanguageFile(QByteArray value, bool utf8)
{
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    if (utf8) {
        (void)QString::fromUtf8(value);
        return;
    }
    for (const int page : {936, 950, 1252})
        (void)CodePage(page).toUnicode(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    QByteArray bytes = FuzzBytes(data, size);
    // Language files may carry a UTF-8 mark, which the reader drops before parsing.
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    if (utf8)
        bytes.remove(0, 3);

    IniFile ini = IniFile::parse(bytes);
    for (const IniFile::Section& section : ini.sections()) {
        FUZZ_CHECK(ini.hasSection(section.name));
        for (const IniFile::Entry& entry : section.entries) {
            // Keys are unique within a section, so every key finds its own value.
            const auto value = ini.value(section.name, entry.key);
            FUZZ_CHECK(value && *value == entry.value);
            (void)ini.intValue(section.name, entry.key, -1);
            decodeLikeLanguageFile(entry.value, utf8);
        }
    }

    const QByteArray written = ini.serialize();
    const IniFile again = IniFile::parse(written);
    FUZZ_CHECK(again.serialize() == written);

    // The writers' edits: a value set is read back, a removed section is gone.
    if (!ini.sections().empty()) {
        const QByteArray name = ini.sections().front().name;
        ini.setValue(name, "FuzzKey", "1");
        FUZZ_CHECK(ini.intValue(name, "fuzzkey", 0) == 1);
        ini.removeSection(name);
        FUZZ_CHECK(!ini.hasSection(name));
    }
    return 0;
}
