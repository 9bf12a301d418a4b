// The most expensive inputs found for one run, measured over growing sizes so
// that the growth shows: time must grow at most linearly with the length of
// the data and with the pixel count of the image (benchmark's complexity fit
// reports the order).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "barwright/Encoder.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbImage.h"
#include "barwright/RgbRenderer.h"
#include "options/SymbolOptions.h"

namespace barwright {
namespace {

// The largest symbol: 30 columns, 2400 digits, about 900 codewords.
SymbolSettings largestSymbolSettings() {
    SymbolSettings settings;
    settings.data = std::string(2400, '7');
    settings.compaction = CompactionMode::kNumeric;
    settings.columns = 30;
    settings.errorCorrectionLevel = 5;
    return settings;
}

EncodedSymbol encoded(const SymbolSettings& settings) {
    EncodedSymbol symbol;
    if (encode(settings, symbol) != status::kOk) {
        std::fprintf(stderr, "cannot encode the symbol\n");
        std::abort();
    }
    return symbol;
}

// The longest single command-line argument Linux allows, in bytes.
constexpr std::int64_t kLongestArgument = 128 * 1024 - 1;

// Data of the given length made of one unit repeated.
std::string repeated(const std::string& unit, std::int64_t length) {
    std::string data;
    data.reserve(static_cast<std::size_t>(length));
    while (static_cast<std::int64_t>(data.size()) < length) {
        data += unit;
    }
    data.resize(static_cast<std::size_t>(length));
    return data;
}

// Kinds of data that make compaction work hardest: mode changes at every
// run (automatic selection weighs each), digits in runs just too short to
// switch to numeric, bytes that force shifts, and escapes.
const char* const kDataKinds[] = {
    "A",               // 0: upper-case text
    "7",               // 1: one long digit run (base-900 groups)
    "aB",              // 2: a latch or shift at every character
    "1234567890123a",  // 3: 13 digits, then text: the numeric threshold
    "\xE9z",           // 4: a byte shift at every other character
    "~X00~7000123",    // 5: escapes: a byte and an ECI designator
    "A1;b\x80",        // 6: every sub-mode and a byte in five characters
};

// Encoding data far beyond what a symbol holds: the run must find out at a
// cost linear in the length (it ends with status 7), so the bytes per second
// stay the same from 1 KiB to 128 KiB.
void BM_EncodeLongData(benchmark::State& state) {
    SymbolSettings settings;
    settings.data = repeated(kDataKinds[state.range(0)], state.range(1));
    settings.escapes = true;
    settings.compaction = static_cast<CompactionMode>(state.range(2));
    EncodedSymbol symbol;
    for (auto _ : state) {
        benchmark::DoNotOptimize(encode(settings, symbol));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(1));
}
BENCHMARK(BM_EncodeLongData)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {1024, 16 * 1024, kLongestArgument}, {0}})
    ->ArgsProduct({{0, 2, 6}, {1024, 16 * 1024, kLongestArgument}, {1, 3}})
    ->ArgsProduct({{1}, {1024, 16 * 1024, kLongestArgument}, {2}});

void BM_EncodeLargestSymbol(benchmark::State& state) {
    const SymbolSettings settings = largestSymbolSettings();
    EncodedSymbol symbol;
    for (auto _ : state) {
        benchmark::DoNotOptimize(encode(settings, symbol));
    }
}
BENCHMARK(BM_EncodeLargestSymbol);

// Making and drawing the largest symbol into square images of growing side:
// the work is the background fill plus the bars, linear in the pixels.
void BM_DrawLargestSymbol(benchmark::State& state) {
    const EncodedSymbol symbol = encoded(largestSymbolSettings());
    PictureSettings picture;
    picture.imageWidth = static_cast<std::int32_t>(state.range(0));
    picture.imageHeight = picture.imageWidth;
    for (auto _ : state) {
        RgbImage image;
        if (renderRgb(symbol, picture, image) != status::kOk) {
            state.SkipWithError("cannot draw");
            break;
        }
        benchmark::DoNotOptimize(image.row(0));
    }
    state.SetComplexityN(state.range(0) * state.range(0));
}
BENCHMARK(BM_DrawLargestSymbol)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(8000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// Writing the PNG of a drawn image: zlib's work, linear in the pixels.
void BM_WriteLargestSymbolPng(benchmark::State& state) {
    SymbolSettings settings = programDefaults().symbol;
    settings.columns = 30;
    const EncodedSymbol symbol = encoded(settings);
    PictureSettings picture;
    picture.imageWidth = static_cast<std::int32_t>(state.range(0));
    picture.imageHeight = picture.imageWidth;
    RgbImage image;
    if (renderRgb(symbol, picture, image) != status::kOk) {
        state.SkipWithError("cannot draw");
        return;
    }
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        benchmark::DoNotOptimize(writePng(image, PngOptions{}, sink));
    }
    std::fclose(sink);
    state.SetComplexityN(state.range(0) * state.range(0));
}
BENCHMARK(BM_WriteLargestSymbolPng)
    ->Arg(1000)
    ->Arg(4000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// The slowest whole runs found: narrow, very tall pictures whose rows are
// stretched over the height by a large ratio (-x 300 -y N -a R), so the
// filters and zlib meet a varied row every few pixels. The time still grows
// with the pixels alone.
void BM_DrawAndWriteTallImage(benchmark::State& state) {
    const EncodedSymbol symbol = encoded(programDefaults().symbol);
    constexpr std::int32_t kWidth = 300;
    // The default symbol fits 300 pixels with 2-pixel modules; its rows then
    // take nearly the whole height.
    constexpr std::int32_t kModuleWidth = 2;
    PictureSettings picture;
    picture.imageWidth = kWidth;
    picture.imageHeight = static_cast<std::int32_t>(state.range(0));
    picture.yToXRatio =
        static_cast<double>(picture.imageHeight - 4 * kModuleWidth) / (symbol.rows * kModuleWidth);
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        RgbImage image;
        if (renderRgb(symbol, picture, image) != status::kOk) {
            state.SkipWithError("cannot draw");
            break;
        }
        benchmark::DoNotOptimize(writePng(image, PngOptions{}, sink));
    }
    std::fclose(sink);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DrawAndWriteTallImage)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(160000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace barwright
