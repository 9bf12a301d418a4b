// A whole symbol in one process, the way the program makes it, and the same
// symbols made by libzint (the peer this program is measured against) into
// its RGB bitmap.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "barwright/Encoder.h"
#include "barwright/RgbImage.h"
#include "barwright/RgbRenderer.h"
#include "bench/Workloads.h"

namespace barwright {
namespace bench {
namespace {

// Encoding and drawing into the RGB image, no PNG: encode, size, make the
// image, draw.
void BM_EncodeDraw(benchmark::State& state) {
    const Workload& workload = kWorkloads[state.range(0)];
    state.SetLabel(workload.name);
    const RunSettings settings = workloadSettings(workload);
    for (auto _ : state) {
        EncodedSymbol symbol;
        RgbImage image;
        if (encode(settings.symbol, symbol) != status::kOk ||
            renderRgb(symbol, settings.picture, image) != status::kOk) {
            state.SkipWithError("cannot encode or draw");
            break;
        }
        benchmark::DoNotOptimize(image.row(0));
    }
}
BENCHMARK(BM_EncodeDraw)->DenseRange(kSmall, kLarge)->Unit(benchmark::kMicrosecond);

// Everything the program does after reading its options, the PNG going to
// /dev/null.
void BM_EncodeDrawWrite(benchmark::State& state) {
    const Workload& workload = kWorkloads[state.range(0)];
    state.SetLabel(workload.name);
    RunSettings settings = workloadSettings(workload);
    settings.outputFileName = "/dev/null";
    for (auto _ : state) {
        if (makeBarcode(settings) != status::kOk) {
            state.SkipWithError("cannot make the barcode");
            break;
        }
    }
}
BENCHMARK(BM_EncodeDrawWrite)->DenseRange(kSmall, kLarge)->Unit(benchmark::kMicrosecond);

// libzint's encode-to-bitmap of the same symbol: PDF417, the same columns
// and level, X-dimension 2 px (scale 1), rows 4 X high, quiet zones.
void BM_PeerEncodeToBitmap(benchmark::State& state) {
    const Workload& workload = kWorkloads[state.range(0)];
    const std::string data = workloadData(workload);
    std::int32_t width = 0;
    std::int32_t height = 0;
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        if (symbol == nullptr) {
            state.SkipWithError("ZBarcode_Create failed");
            break;
        }
        symbol->symbology = BARCODE_PDF417;
        symbol->option_1 = workload.errorCorrectionLevel == 9 ? -1 : workload.errorCorrectionLevel;
        symbol->option_2 = workload.columns;
        symbol->scale = 1.0f;
        symbol->height = 4.0f;
        symbol->input_mode |= HEIGHTPERROW_MODE;
        symbol->output_options |= BARCODE_QUIET_ZONES;
        const int result =
            ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(data.data()),
                                       static_cast<int>(data.size()), 0);
        width = symbol->bitmap_width;
        height = symbol->bitmap_height;
        benchmark::DoNotOptimize(symbol->bitmap);
        ZBarcode_Delete(symbol);
        if (result >= ZINT_ERROR) {
            state.SkipWithError("libzint could not make the symbol");
            break;
        }
    }
    // The bitmap's size, to check that both sides make the same picture.
    state.SetLabel(std::string(workload.name) + " " + std::to_string(width) + "x" +
                   std::to_string(height));
}
BENCHMARK(BM_PeerEncodeToBitmap)->DenseRange(kSmall, kLarge)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench
}  // namespace barwright
