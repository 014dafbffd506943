#pragma once

#include "document/Binary.h"
#include "document/PageRecord.h"
#include "document/PrinterSetting.h"

#include <QByteArray>

#include <utility>
#include <vector>

namespace korvel::test {

/// Builds label files of any stored layout for the reader tests, field by field.
struct LabelFileBuilder {
    int version = 100;
    bool headerText = true;
    std::uint8_t model = 1;
    TPrinterSetting printer;
    TPageRecord page = TPageRecord::defaultRecord();
    std::int32_t zoom = 200;
    std::int32_t fitMode = 1;
    std::int32_t fitZoom = 150;
    std::int32_t positionAdjust = 0;
    std::vector<std::pair<int, QByteArray>> objects; ///< kind byte and record
    QByteArray variableSection = QByteArray(5, '\0');
    QByteArray databaseSection = QByteArray(1, '\0');
    QByteArray pool;

    QByteArray build() const
    {
        const bool early = version == 300 || version == 310;
        FixedRecord header(48);
        if (headerText) {
            header.setU8(0, 14);
            header.setRaw(1, "Label Document");
        }
        header.setI32(32, positionAdjust);
        header.setI32(36, version);
        if (!early) {
            header.setI32(40, fitMode);
            header.setI32(44, fitZoom);
        }
        ByteWriter out;
        out.bytes(header.bytes());
        if (!early) {
            out.i32(0);
            out.i32(0);
        }
        out.u8(model);
        out.bytes(printer.toBytes());
        out.bytes(page.toBytes());
        out.i32(zoom);
        out.i32(static_cast<std::int32_t>(objects.size()));
        for (const auto& [kind, record] : objects) {
            out.u8(static_cast<std::uint8_t>(kind));
            out.bytes(record);
        }
        out.bytes(variableSection);
        out.bytes(databaseSection);
        const auto poolOffset = static_cast<std::int32_t>(out.size());
        out.bytes(pool);
        const qsizetype dir = early ? 40 : 48;
        out.patchI32(dir, static_cast<std::int32_t>(pool.size()));
        out.patchI32(dir + 4, poolOffset);
        return out.take();
    }
};

} // namespace korvel::test
