// The barcode dialog's verdict runs on every key the user types: drawing the symbol at the
// printer's resolution and decoding it must stay well below a keystroke's interval.

#ifdef KORVEL_BENCH_EDITOR

#include "barcode/OABarCode.h"
#include "editor/properties/SymbolReading.h"

#include <benchmark/benchmark.h>

using namespace korvel;

namespace {

void BM_Verdict(benchmark::State& state, TBarCodeType type, QByteArray data)
{
    TOABarCode b;
    b.SetBarCodeType(type);
    b.SetBarNarrow(2);
    b.SetBarWide(5);
    b.SetStartSign(-1);
    if (IsTwoDimensional(type))
        b.SetData(data);
    else
        b.SetText(data);
    for (auto _ : state) {
        const SymbolVerdict v = ReadBackSymbol(b, data, 0, 0, 0);
        benchmark::DoNotOptimize(v.state);
        if (v.state != SymbolVerdict::State::Reads)
            state.SkipWithError("the symbol did not read");
    }
}

BENCHMARK_CAPTURE(BM_Verdict, Ean13, TBarCodeType::bcCodeEAN13, QByteArray("400638133393"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Verdict, Code128, TBarCodeType::bcCode128, QByteArray("KORVEL-0123456789-LABEL"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Verdict, Qr, TBarCodeType::bcCodeQR, QByteArray("https://korvel.example/label?id=42"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Verdict, Pdf417, TBarCodeType::bcCodePDF417, QByteArray("Korvel PDF417 0123456789"))
    ->Unit(benchmark::kMillisecond);

} // namespace

#endif
