// Encoding and drawing one symbol at 203 dpi, ours against zint doing the same work
// (ZBarcode_Encode + ZBarcode_Buffer) on the same data, so that the ratio shows in one run.

#include "barcode/linear/LinearEncoder.h"
#include "barcode/twod/Pdf417Symbol.h"
#include "barcode/twod/QrSymbol.h"

#include <QByteArray>
#include <QImage>

#include <benchmark/benchmark.h>
#include <zint.h>

#include <memory>

using namespace korvel;

namespace {

constexpr int kDpi = 203;
constexpr int kNarrow = 2; // 0.25 mm
constexpr int kWide = 5;
constexpr int kBarHeight = 80; // 10 mm

QByteArray payload(int size)
{
    QByteArray data;
    const QByteArray words = "Korvel label 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz ";
    while (data.size() < size)
        data.append(words);
    data.truncate(size);
    return data;
}

struct LinearSample {
    TBarCodeType type;
    QByteArray text;
    int zintSymbology;
    bool parity;
};

const LinearSample kCode128 {TBarCodeType::bcCode128, "Korvel label 2024-06", BARCODE_CODE128, false};
const LinearSample kEan13 {TBarCodeType::bcCodeEAN13, "590123412345", BARCODE_EANX, false};
const LinearSample kCode39 {TBarCodeType::bcCode39, "KORVEL CODE39 12345", BARCODE_CODE39, false};
const LinearSample kItf {TBarCodeType::bcCodeInter25, "01234567890123456789", BARCODE_C25INTER, false};

// Validate, prepare (Code 128's subset choice), encode and draw onto a fresh one-bit canvas:
// what a barcode object does for its printer image.
void oursLinear(benchmark::State& state, const LinearSample& sample)
{
    LinearOptions o;
    o.narrow = kNarrow;
    o.wide = kWide;
    o.height = kBarHeight;
    o.parity = sample.parity;
    o.guardExtension = GuardExtensionDots(kDpi, 1.0);
    BarPattern pattern;
    for (auto _ : state) {
        const auto prepared = PrepareLinearData(sample.type, sample.text, 0, 0);
        if (!prepared.accepted || !EncodeLinear(sample.type, prepared.data, o, pattern)) {
            state.SkipWithError("encoding failed");
            return;
        }
        QImage canvas = NewBarCanvas(pattern, QImage::Format_Mono);
        PaintBarPattern(pattern, canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

// zint at two pixels per module, the same bar height, no text and no quiet zones.
void zintAlone(benchmark::State& state, int symbology, const QByteArray& data, float scale, float height,
               int option1 = -1, int option2 = 0)
{
    for (auto _ : state) {
        std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> s(ZBarcode_Create(), &ZBarcode_Delete);
        s->symbology = symbology;
        s->scale = scale;
        s->height = height;
        s->show_hrt = 0;
        s->option_1 = option1;
        s->option_2 = option2;
        s->output_options = BARCODE_NO_QUIET_ZONES;
        const int rc = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                       static_cast<int>(data.size()));
        if (rc >= ZINT_ERROR || ZBarcode_Buffer(s.get(), 0) >= ZINT_ERROR) {
            state.SkipWithError(s->errtxt);
            return;
        }
        benchmark::DoNotOptimize(s->bitmap);
    }
}

void BM_Code128_Ours(benchmark::State& state) { oursLinear(state, kCode128); }
void BM_Code128_Zint(benchmark::State& state) { zintAlone(state, kCode128.zintSymbology, kCode128.text, 1, 40); }
void BM_Ean13_Ours(benchmark::State& state) { oursLinear(state, kEan13); }
void BM_Ean13_Zint(benchmark::State& state) { zintAlone(state, kEan13.zintSymbology, kEan13.text, 1, 40); }
void BM_Code39_Ours(benchmark::State& state) { oursLinear(state, kCode39); }
void BM_Code39_Zint(benchmark::State& state) { zintAlone(state, kCode39.zintSymbology, kCode39.text, 1, 40); }
void BM_Interleaved25_Ours(benchmark::State& state) { oursLinear(state, kItf); }
void BM_Interleaved25_Zint(benchmark::State& state) { zintAlone(state, kItf.zintSymbology, kItf.text, 1, 40); }

// PDF417, 100 bytes: module 2 dots, rows 6 dots (zint's default row height is 3 modules),
// 6 columns, level 3.
const QByteArray kPayload = payload(100);

void BM_Pdf417_Ours(benchmark::State& state)
{
    Pdf417Settings s;
    s.moduleWidth = 2;
    s.rowHeight = 6;
    s.columns = 6;
    s.rows = 1;
    s.errorLevel = 3;
    SymbolMatrix m;
    for (auto _ : state) {
        if (EncodePdf417(kPayload, s, m) != 0) {
            state.SkipWithError("encoding failed");
            return;
        }
        const QImage image = SymbolMatrixImage(m, m.stride() * 8 + 1, m.height + 1);
        benchmark::DoNotOptimize(image.constBits());
    }
}
void BM_Pdf417_Zint(benchmark::State& state) { zintAlone(state, BARCODE_PDF417, kPayload, 1, 0, 3, 6); }

// QR Code, 100 bytes, level M, module 3 dots.
void BM_QrCode_Ours(benchmark::State& state)
{
    QrSettings s;
    s.moduleSize = 3;
    const QByteArray input = QrInputText("M", "A", 'A', kPayload);
    SymbolMatrix m;
    for (auto _ : state) {
        const int side = EncodeQr(input, s, m);
        if (side <= 0) {
            state.SkipWithError("encoding failed");
            return;
        }
        const int c = (side + 7) / 8 * 8;
        const QImage image = SymbolMatrixImage(m, c, c);
        benchmark::DoNotOptimize(image.constBits());
    }
}
void BM_QrCode_Zint(benchmark::State& state) { zintAlone(state, BARCODE_QRCODE, kPayload, 1.5f, 0, 2); }

} // namespace

BENCHMARK(BM_Code128_Ours);
BENCHMARK(BM_Code128_Zint);
BENCHMARK(BM_Ean13_Ours);
BENCHMARK(BM_Ean13_Zint);
BENCHMARK(BM_Code39_Ours);
BENCHMARK(BM_Code39_Zint);
BENCHMARK(BM_Interleaved25_Ours);
BENCHMARK(BM_Interleaved25_Zint);
BENCHMARK(BM_Pdf417_Ours);
BENCHMARK(BM_Pdf417_Zint);
BENCHMARK(BM_QrCode_Ours);
BENCHMARK(BM_QrCode_Zint);
