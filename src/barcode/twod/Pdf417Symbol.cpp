#include "barcode/twod/Pdf417Symbol.h"

#include <zint.h>

#include <memory>
#include <vector>

namespace korvel {

namespace {

    using ZintHandle = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

    int errorOf(int rc)
    {
        switch (rc) {
        case ZINT_ERROR_TOO_LONG: return kSymbolDataTooLong;
        case ZINT_ERROR_INVALID_OPTION: return kSymbolBadArgument;
        default: return kSymbolEncodeFailed;
        }
    }

} // namespace

int EncodePdf417(QByteArrayView data, const Pdf417Settings& s, SymbolMatrix& out)
{
    out.clear();
    if (data.isEmpty())
        return kSymbolNoData;
    if (s.moduleWidth < 1 || s.moduleWidth > kPdf417MaxModule || s.rowHeight < 1
        || s.rowHeight > kPdf417MaxRowHeight || s.columns < 0 || s.columns > 30 || s.rows < 0 || s.rows > 88
        || s.errorLevel < 0 || s.errorLevel > 8)
        return kSymbolBadArgument;
    if (data.size() > ZINT_MAX_DATA_LEN)
        return kSymbolDataTooLong;

    ZintHandle symbol(ZBarcode_Create(), &ZBarcode_Delete);
    if (!symbol)
        return kSymbolEncodeFailed;
    symbol->symbology = s.truncated ? BARCODE_PDF417COMP : BARCODE_PDF417;
    symbol->input_mode = DATA_MODE;
    symbol->option_1 = s.errorLevel;
    symbol->option_2 = s.columns;
    // The dialog lists 3..90 rows as the values 1..88; too few rows for the data are raised.
    symbol->option_3 = s.rows > 0 ? s.rows + 2 : 0;
    const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                   static_cast<int>(data.size()));
    if (rc >= ZINT_ERROR)
        return errorOf(rc);

    const int rows = symbol->rows;
    const int columns = symbol->width;
    if (rows <= 0 || columns <= 0 || rows > 200 || columns > 144 * 8)
        return kSymbolEncodeFailed;
    std::vector<std::uint8_t> modules(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            modules[static_cast<std::size_t>(r * columns + c)] = (symbol->encoded_data[r][c >> 3] >> (c & 7)) & 1U;
    return ScaleModules(modules, columns, rows, s.moduleWidth, s.rowHeight, out) ? 0 : kSymbolEncodeFailed;
}

} // namespace korvel
