// The design view of the 200-object label (BenchLabel.h) at 200 %, as the designer paints it.

#include "BenchLabel.h"

#include "document/DesignView.h"

#include <benchmark/benchmark.h>

using namespace korvel;

namespace {

void DesignView_Render200(benchmark::State& state)
{
    LabelDocument doc;
    bench::BuildBenchLabel(doc);
    doc.setZoom(200);
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const QImage view = RenderDesignView(doc, 200, mode);
        benchmark::DoNotOptimize(view.constBits());
    }
}
// Drawing mode 0 transparent, 1 XOR.
BENCHMARK(DesignView_Render200)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
