// Port descriptions (`--port SPEC` and the profile's port): parsed, and a parsed description
// written out and parsed again gives the same port.
#include "FuzzSupport.h"

#include "printing/ports/PortSpec.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    const korvel::PortSpecParse parsed = korvel::ParsePortSpec(text);
    if (!parsed.ok) {
        FUZZ_CHECK(!parsed.error.isEmpty());
        return 0;
    }
    const QString formatted = korvel::FormatPortSpec(parsed.portSpec);
    const korvel::PortSpecParse again = korvel::ParsePortSpec(formatted);
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(again.portSpec == parsed.portSpec);
    return 0;
}
