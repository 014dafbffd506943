// Reading back the barcodes of one label before a job: a 100 x 80 mm label with a Code 128, an
// EAN-13 and a QR Code, printed by the virtual printer and decoded with zxing-cpp.

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "printing/verify/BarcodeVerification.h"

#include <benchmark/benchmark.h>

using namespace korvel;

namespace {

void addCode(LabelDocument& doc, TBarCodeType type, const QByteArray& text, int left, int top)
{
    auto bar = std::make_unique<TOABarCode>();
    bar->SetBarCodeType(type);
    bar->SetBarNarrow(2);
    bar->SetBarWide(5);
    bar->SetBarHeight(60);
    if (IsTwoDimensional(type)) {
        bar->SetData(text);
        bar->SetQRcodeElement(3);
    } else {
        bar->SetText(text);
    }
    bar->setZoom(1.0);
    TOABarCode* b = bar.get();
    doc.appendObject(std::move(bar));
    b->SetVirLeft(left);
    b->SetVirTop(top);
}

void Verify_ThreeBarcodes(benchmark::State& state)
{
    LabelDocument doc;
    TPageRecord page;
    page.LabelWidth = 1000;
    page.LabelHeight = 800;
    page.LabelColumn = 1;
    page.LabelRow = 1;
    page.PaperWidth = 1000;
    page.PaperHeight = 800;
    doc.setPage(page);
    doc.setZoom(100);
    doc.printer.FeedType = 2;
    addCode(doc, TBarCodeType::bcCode128, "KV-2024-0001", 20, 20);
    addCode(doc, TBarCodeType::bcCodeEAN13, "590123412345", 20, 120);
    addCode(doc, TBarCodeType::bcCodeQR, "https://example.org/kv/0001", 250, 20);
    EmissionContext context;
    context.commands.PrinterIndex = 1;
    context.commands.DrawingMode = 1;
    for (auto _ : state) {
        const LabelVerification v = VerifyFirstLabel(doc, context);
        if (!v.ok())
            state.SkipWithError("a barcode did not read back");
        benchmark::DoNotOptimize(v.checks.size());
    }
}
BENCHMARK(Verify_ThreeBarcodes)->Unit(benchmark::kMillisecond);

} // namespace
