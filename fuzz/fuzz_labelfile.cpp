// Label files of every version and the legacy layout: read, and when something opened, write
// the current version and read that again.
#include "FuzzSupport.h"

#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    korvel::LabelDocument doc;
    if (!korvel::ReadLabelBytes(bytes, doc).opened())
        return 0;
    QString error;
    const QByteArray written = korvel::WriteLabelBytes(doc, &error);
    if (!written.isEmpty()) {
        korvel::LabelDocument again;
        const korvel::LabelFileResult reread = korvel::ReadLabelBytes(written, again);
        // What this program writes opens without damage and is written again byte for byte.
        FUZZ_CHECK(reread.status == korvel::LabelFileResult::Status::Ok);
        FUZZ_CHECK(korvel::WriteLabelBytes(again, &error) == written);
    }
    return 0;
}
