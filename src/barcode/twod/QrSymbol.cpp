#include "barcode/twod/QrSymbol.h"

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

    struct ParsedInput {
        int errorLevel = 0; // zint's 1..4 for L, M, Q, H
        int mask = -1; // -1 automatic
        QByteArrayView data;
    };

    bool parse(QByteArrayView text, ParsedInput& parsed)
    {
        qsizetype pos = 0;
        if (text.isEmpty())
            return false;
        switch (text[pos++]) {
        case 'L': parsed.errorLevel = 1; break;
        case 'M': parsed.errorLevel = 2; break;
        case 'Q': parsed.errorLevel = 3; break;
        case 'H': parsed.errorLevel = 4; break;
        default: return false;
        }
        if (pos < text.size() && text[pos] >= '0' && text[pos] <= '8') {
            const int mask = text[pos++] - '0';
            parsed.mask = mask <= 7 ? mask : -1;
        }
        if (pos >= text.size() || (text[pos] != 'A' && text[pos] != 'M'))
            return false;
        ++pos;
        if (pos >= text.size() || text[pos] != ',')
            return false;
        parsed.data = text.sliced(pos + 1);
        return true;
    }

} // namespace

QByteArray QrInputText(QByteArrayView errorLevel, QByteArrayView maskNo, char inputMode, QByteArrayView data)
{
    QByteArray text;
    text.reserve(errorLevel.size() + maskNo.size() + data.size() + 2);
    text.append(errorLevel);
    if (maskNo != QByteArrayView("A"))
        text.append(maskNo);
    text.append(inputMode);
    text.append(',');
    text.append(data);
    return text;
}

int EncodeQr(QByteArrayView inputText, const QrSettings& s, SymbolMatrix& out)
{
    out.clear();
    ParsedInput input;
    if (!parse(inputText, input) || s.moduleSize < 1 || s.moduleSize > kQrMaxModule || s.model < 1 || s.model > 2
        || s.language < 0 || s.language > 1)
        return kSymbolBadArgument;
    if (input.data.isEmpty())
        return kSymbolNoData;
    if (input.data.size() > ZINT_MAX_DATA_LEN)
        return kSymbolDataTooLong;

    ZintHandle symbol(ZBarcode_Create(), &ZBarcode_Delete);
    if (!symbol)
        return kSymbolEncodeFailed;
    symbol->symbology = BARCODE_QRCODE;
    symbol->input_mode = DATA_MODE;
    symbol->option_1 = input.errorLevel;
    int option3 = s.language == 1 ? ZINT_FULL_MULTIBYTE : 0;
    if (input.mask >= 0)
        option3 |= (input.mask + 1) << 8;
    symbol->option_3 = option3;
    const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(input.data.data()),
                                   static_cast<int>(input.data.size()));
    if (rc >= ZINT_ERROR)
        return errorOf(rc);

    const int side = symbol->width;
    if (side <= 0 || symbol->rows != side || side > 177)
        return kSymbolEncodeFailed;
    std::vector<std::uint8_t> modules(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            modules[static_cast<std::size_t>(r * side + c)] = (symbol->encoded_data[r][c >> 3] >> (c & 7)) & 1U;
    if (!ScaleModules(modules, side, side, s.moduleSize, s.moduleSize, out))
        return kSymbolEncodeFailed;
    return out.width;
}

} // namespace korvel
