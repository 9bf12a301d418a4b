// The most expensive inputs found for one run, measured over growing sizes so
// that the growth shows: time must grow at most linearly with the length of
// the data and with the pixel count of the image (benchmark's complexity fit
// reports the order).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "encoder/Pdf417Encoder.h"
#include "render/Rect.h"
#include "render/RgbImage.h"

namespace barwright {
namespace {

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
    const std::string data = repeated(kDataKinds[state.range(0)], state.range(1));
    const auto mode = static_cast<std::int32_t>(state.range(2));
    Pdf417Encoder encoder;
    (void)encoder.setCompactionMode(mode);
    for (auto _ : state) {
        (void)encoder.setDeferred(true);
        (void)encoder.setData(data);
        benchmark::DoNotOptimize(encoder.setDeferred(false));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(1));
}
BENCHMARK(BM_EncodeLongData)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {1024, 16 * 1024, kLongestArgument}, {0}})
    ->ArgsProduct({{0, 2, 6}, {1024, 16 * 1024, kLongestArgument}, {1, 3}})
    ->ArgsProduct({{1}, {1024, 16 * 1024, kLongestArgument}, {2}});

// The largest symbol: 30 columns, about 900 codewords.
void BM_EncodeLargestSymbol(benchmark::State& state) {
    const std::string data = repeated("7", 2400);
    Pdf417Encoder encoder;
    (void)encoder.setDeferred(true);
    (void)encoder.setCompactionMode(2);
    (void)encoder.setColumns(30);
    (void)encoder.setErrorCorrectionLevel(5);
    for (auto _ : state) {
        (void)encoder.setData(data);
        benchmark::DoNotOptimize(encoder.setDeferred(false));
        (void)encoder.setDeferred(true);
        (void)encoder.setData("");
    }
}
BENCHMARK(BM_EncodeLargestSymbol);

// Allocating and drawing the largest symbol into square images of growing
// side: the work is the white fill plus the bars, linear in the pixels.
void BM_DrawLargestSymbol(benchmark::State& state) {
    Pdf417Encoder encoder;
    (void)encoder.setDeferred(true);
    (void)encoder.setData(repeated("7", 2400));
    (void)encoder.setCompactionMode(2);
    (void)encoder.setColumns(30);
    (void)encoder.setErrorCorrectionLevel(5);
    (void)encoder.setDeferred(false);
    const auto side = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        RgbImage image(side, side, 0xFFFFFF, RgbImage::kDefaultCompression);
        if (!image.allocateRows() || encoder.draw(image, Rect{0, side, 0, side}) != status::kOk) {
            state.SkipWithError("cannot draw");
            break;
        }
        benchmark::DoNotOptimize(image.rows());
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
    Pdf417Encoder encoder;
    (void)encoder.setColumns(30);
    const auto side = static_cast<std::int32_t>(state.range(0));
    RgbImage image(side, side, 0xFFFFFF, RgbImage::kDefaultCompression);
    if (!image.allocateRows() || encoder.draw(image, Rect{0, side, 0, side}) != status::kOk) {
        state.SkipWithError("cannot draw");
        return;
    }
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.writePng(sink));
    }
    std::fclose(sink);
    state.SetComplexityN(state.range(0) * state.range(0));
}
BENCHMARK(BM_WriteLargestSymbolPng)
    ->Arg(1000)
    ->Arg(4000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// The slowest whole runs found: narrow, very tall pictures with the rows
// stretched over the height (-a 0), many short rows of varied bars for the
// filters and zlib. The time still grows with the pixels alone; the largest
// such picture the program accepts (300 x 1,000,000) takes about 25 s.
void BM_DrawAndWriteTallImage(benchmark::State& state) {
    Pdf417Encoder encoder;
    (void)encoder.setYToXRatio(0.0);
    constexpr std::int32_t kWidth = 300;
    const auto height = static_cast<std::int32_t>(state.range(0));
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        RgbImage image(kWidth, height, 0xFFFFFF, RgbImage::kDefaultCompression);
        if (!image.allocateRows() ||
            encoder.draw(image, Rect{0, kWidth, 0, height}) != status::kOk) {
            state.SkipWithError("cannot draw");
            break;
        }
        benchmark::DoNotOptimize(image.writePng(sink));
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
