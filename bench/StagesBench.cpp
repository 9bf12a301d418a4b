// The stages of one symbol, each on its own: compaction per mode,
// Reed-Solomon per level, the codeword matrix, the drawing per orientation,
// each picture target and the PNG writes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/BitRenderer.h"
#include "barwright/Encoder.h"
#include "barwright/EpsRenderer.h"
#include "barwright/Picture.h"
#include "barwright/LabelSheetWriter.h"
#include "barwright/PdfRenderer.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbImage.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"
#include "bench/Workloads.h"
#include "compaction/Compactor.h"
#include "encoder/CodewordMatrix.h"
#include "encoder/ReedSolomon.h"

namespace barwright {
namespace bench {
namespace {

// The workload's symbol, its picture settings and its image size.
struct Prepared {
    explicit Prepared(const Workload& workload, std::int32_t orientation = 0) {
        const RunSettings settings = workloadSettings(workload);
        picture = settings.picture;
        picture.orientation = orientation;
        if (encode(settings.symbol, symbol) != status::kOk ||
            imageSize(symbol, picture, width, height) != status::kOk) {
            std::fprintf(stderr, "cannot encode the %s symbol\n", workload.name);
            std::abort();
        }
    }
    EncodedSymbol symbol;
    PictureSettings picture;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct CompactionCase {
    const char* name;
    int workload;
    std::int32_t mode;
};

constexpr CompactionCase kCompactionCases[] = {
    {"text/medium", kMedium, Compactor::kModeText},
    {"numeric/large", kLarge, Compactor::kModeNumeric},
    {"byte/medium", kMedium, Compactor::kModeByte},
    {"automatic/medium", kMedium, Compactor::kModeAutomatic},
    {"automatic/large", kLarge, Compactor::kModeAutomatic},
    {"shortest/medium", kMedium, Compactor::kModeShortest},
    {"shortest/large", kLarge, Compactor::kModeShortest},
};

// From the data string to data codewords, escapes included.
void BM_Compaction(benchmark::State& state) {
    const CompactionCase& c = kCompactionCases[state.range(0)];
    state.SetLabel(c.name);
    const std::string data = workloadData(kWorkloads[c.workload]);
    Compactor compactor;
    CodewordStream codewords;
    for (auto _ : state) {
        codewords.clear();
        compactor.startSymbol();
        const UnitSequence units = Compactor::preprocessData(data, c.mode);
        const Status result =
            c.mode == Compactor::kModeAutomatic  ? compactor.compactAutomatic(units, codewords)
            : c.mode == Compactor::kModeShortest ? compactor.compactShortest(units, codewords)
                                                 : compactor.compactFixed(units, codewords);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(codewords.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_Compaction)->DenseRange(0, std::size(kCompactionCases) - 1);

// Automatic against shortest compaction on binary data: 300 seeded random
// bytes, written as "~Xhh" escapes half of the time.
void BM_CompactionBinary(benchmark::State& state) {
    const auto mode = static_cast<std::int32_t>(state.range(0));
    state.SetLabel(mode == Compactor::kModeShortest ? "shortest/binary" : "automatic/binary");
    std::mt19937 random(924);
    std::string data;
    for (int i = 0; i < 300; ++i) {
        const auto byte = static_cast<unsigned>(random() % 256);
        if (byte == '~' || random() % 2 == 0) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "~X%02X", byte);
            data += escape;
        } else {
            data += static_cast<char>(byte);
        }
    }
    Compactor compactor;
    CodewordStream codewords;
    for (auto _ : state) {
        codewords.clear();
        compactor.startSymbol();
        const UnitSequence units = Compactor::preprocessData(data, mode);
        const Status result = mode == Compactor::kModeShortest
                                  ? compactor.compactShortest(units, codewords)
                                  : compactor.compactAutomatic(units, codewords);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(codewords.data());
    }
    state.counters["codewords"] = static_cast<double>(codewords.size());
}
BENCHMARK(BM_CompactionBinary)->Arg(Compactor::kModeAutomatic)->Arg(Compactor::kModeShortest);

// The longest data each level allows, random codewords.
void BM_ReedSolomon(benchmark::State& state) {
    const auto level = static_cast<int>(state.range(0));
    const auto k = static_cast<std::uint16_t>(2 << level);
    const auto dataCount = static_cast<std::uint16_t>(std::min(926, 928 - k));
    std::mt19937 random(929);
    CodewordStream data(dataCount);
    for (Codeword& c : data) {
        c = static_cast<Codeword>(random() % kCodewordModulus);
    }
    CodewordStream out;
    out.reserve(k);
    for (auto _ : state) {
        out.clear();
        computeErrorCorrection(data.data(), dataCount, k, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["steps"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * dataCount * k, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReedSolomon)->DenseRange(0, kMaxErrorCorrectionLevel);

void BM_MatrixBuild(benchmark::State& state) {
    const Prepared prepared(kWorkloads[state.range(0)]);
    state.SetLabel(kWorkloads[state.range(0)].name);
    const EncodedSymbol& symbol = prepared.symbol;
    const MatrixShape shape{symbol.columns, symbol.rows, symbol.errorCorrectionLevel, false};
    SymbolMatrix matrix;
    for (auto _ : state) {
        const bool built = buildMatrix(shape, symbol.codewords, matrix);
        benchmark::DoNotOptimize(built);
    }
}
BENCHMARK(BM_MatrixBuild)->DenseRange(kSmall, kLarge);

// Painting the large symbol into an allocated image; the bars are the same
// every time, so repeated draws need no fresh image.
void BM_Draw(benchmark::State& state) {
    const auto orientation = static_cast<std::int32_t>(state.range(0));
    const Prepared prepared(kWorkloads[kLarge], orientation);
    // The computed size already has width and height swapped for 90 and 270.
    RgbImage image;
    const Rect imageRect{0, prepared.width, 0, prepared.height};
    if (image.create(prepared.width, prepared.height, kWhite) != status::kOk ||
        drawSymbol(prepared.symbol, prepared.picture, image, imageRect) != status::kOk) {
        state.SkipWithError("cannot draw the symbol");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawSymbol(prepared.symbol, prepared.picture, image, imageRect));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Draw)->Arg(0)->Arg(90)->Arg(180)->Arg(270);

// A new white image of the workload symbol's size.
void BM_AllocateImage(benchmark::State& state) {
    const Prepared prepared(kWorkloads[state.range(0)]);
    state.SetLabel(kWorkloads[state.range(0)].name);
    for (auto _ : state) {
        RgbImage image;
        benchmark::DoNotOptimize(image.create(prepared.width, prepared.height, kWhite));
        benchmark::DoNotOptimize(image.row(0));
    }
}
BENCHMARK(BM_AllocateImage)->DenseRange(kSmall, kLarge);

// libpng's share: the drawn symbol written to /dev/null, so that no disk
// is measured.
void BM_PngWrite(benchmark::State& state) {
    const Prepared prepared(kWorkloads[state.range(0)]);
    state.SetLabel(kWorkloads[state.range(0)].name);
    RgbImage image;
    std::FILE* sink = std::fopen("/dev/null", "wb");
    if (sink == nullptr || renderRgb(prepared.symbol, prepared.picture, image) != status::kOk) {
        state.SkipWithError("cannot prepare the image");
        if (sink != nullptr) {
            std::fclose(sink);
        }
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(writePng(image, PngOptions{}, sink));
    }
    std::fclose(sink);
}
BENCHMARK(BM_PngWrite)->DenseRange(kSmall, kLarge)->Unit(benchmark::kMicrosecond);

// Each picture target from the encoded symbol to its finished form in
// memory, as a bulk program makes one file: the rasters allocated and
// painted, the vector pictures and the text written out.
enum Target { kRgbTarget, kBitTarget, kSvgTarget, kEpsTarget, kPdfTarget, kTextTarget };
constexpr const char* kTargetNames[] = {"rgb", "bits", "svg", "eps", "pdf", "text"};

void BM_Target(benchmark::State& state) {
    const auto target = static_cast<Target>(state.range(0));
    const Workload& workload = kWorkloads[state.range(1)];
    const Prepared prepared(workload);
    state.SetLabel(std::string(kTargetNames[target]) + "/" + workload.name);
    RgbImage rgb;
    BitImage bits;
    std::string text;
    std::size_t bytes = 0;
    for (auto _ : state) {
        Status result = status::kOk;
        switch (target) {
            case kRgbTarget:
                result = renderRgb(prepared.symbol, prepared.picture, rgb);
                bytes = rgb.pixels().size();
                break;
            case kBitTarget:
                result = renderBits(prepared.symbol, prepared.picture, bits);
                bytes = bits.pixels().size();
                break;
            case kSvgTarget:
                result = renderSvg(prepared.symbol, prepared.picture, 0, text);
                bytes = text.size();
                break;
            case kEpsTarget:
                result = renderEps(prepared.symbol, prepared.picture, 0, text);
                bytes = text.size();
                break;
            case kPdfTarget:
                result = renderPdf(prepared.symbol, prepared.picture, PdfOptions{}, text);
                bytes = text.size();
                break;
            case kTextTarget:
                result = renderText(prepared.symbol, text);
                bytes = text.size();
                break;
        }
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Target)->ArgsProduct({{kRgbTarget, kBitTarget, kSvgTarget, kEpsTarget, kPdfTarget,
                                    kTextTarget},
                                   {kSmall, kMedium, kLarge}});

// The 1-bit PNG, the palette file of the same pixels as BM_PngWrite's.
void BM_BitPngWrite(benchmark::State& state) {
    const Prepared prepared(kWorkloads[state.range(0)]);
    state.SetLabel(kWorkloads[state.range(0)].name);
    BitImage image;
    std::vector<std::uint8_t> png;
    if (renderBits(prepared.symbol, prepared.picture, image) != status::kOk) {
        state.SkipWithError("cannot prepare the image");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(writePng(image, PngOptions{}, png));
    }
    state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_BitPngWrite)->DenseRange(kSmall, kLarge)->Unit(benchmark::kMicrosecond);

// A label sheet of 2,000 labels of the workload's symbol (A4, as many as
// fit, a caption each) written to /dev/null: drawing, compressing and
// writing the pages, the part of a sheet that one thread does in order.
// The large symbol is wider than A4.
void BM_LabelSheet(benchmark::State& state) {
    const Prepared prepared(kWorkloads[state.range(0)]);
    state.SetLabel(kWorkloads[state.range(0)].name);
    constexpr int kLabels = 2000;
    std::FILE* sink = std::fopen("/dev/null", "wb");
    if (sink == nullptr) {
        state.SkipWithError("cannot open /dev/null");
        return;
    }
    SheetSettings settings;
    settings.captions = true;
    std::int64_t pages = 0;
    for (auto _ : state) {
        LabelSheetWriter writer;
        Status result = writer.open(settings, sink);
        for (int i = 0; i < kLabels && result == status::kOk; ++i) {
            result = writer.add(prepared.symbol, prepared.picture, "Label 00042");
        }
        if (result != status::kOk || writer.finish() != status::kOk) {
            state.SkipWithError("the sheet failed");
            break;
        }
        pages = writer.pagesWritten();
    }
    std::fclose(sink);
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["labels/s"] = benchmark::Counter(static_cast<double>(kLabels),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LabelSheet)->DenseRange(kSmall, kMedium)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
}  // namespace barwright
