// One page of the print preview of the Shipping sample, as the preview window builds it: the
// label read from its file image, the print job of one page into the virtual printer.

#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "printing/virtual/JobPreview.h"

#include <benchmark/benchmark.h>

#include <QDir>

using namespace korvel;

namespace {

void PrintPreview_ShippingPage(benchmark::State& state)
{
    LabelDocument doc;
    if (!ReadLabelFile(QDir(dataDirectory()).filePath(QStringLiteral("Samples/Shipping-100x150.kvl")), doc).opened()) {
        state.SkipWithError("the Shipping sample is missing");
        return;
    }
    QString error;
    const QByteArray image = WriteLabelBytes(doc, &error);
    PrintJobOptions options;
    options.commands.PrinterIndex = doc.printerModel;
    options.commands.DrawingMode = 1;
    PreviewRequest request;
    request.count = 10;
    LabelReadOptions read;
    read.currentModel = doc.printerModel;
    read.currentPrinter = doc.printer;
    for (auto _ : state) {
        LabelDocument copy;
        ReadLabelBytes(image, copy, read);
        const PreviewPage page = PreviewJobPage(copy, nullptr, options, request, 1);
        benchmark::DoNotOptimize(page.image.constBits());
    }
}
BENCHMARK(PrintPreview_ShippingPage)->Unit(benchmark::kMillisecond);

} // namespace
