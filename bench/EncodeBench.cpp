#include <benchmark/benchmark.h>

#include "encoder/Pdf417Encoder.h"

namespace barwright {
namespace {

// The whole encode of a short numeric string, the program's default data.
void BM_EncodeDefault(benchmark::State& state) {
    Pdf417Encoder encoder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(encoder.setDeferred(false));
    }
}
BENCHMARK(BM_EncodeDefault);

}  // namespace
}  // namespace barwright
