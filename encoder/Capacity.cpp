// What symbols hold, and the smallest change that makes data fit: the
// encoder's own rules (the automatic level, the dimensions, the 928-codeword
// limit) applied to counts, so that a change is advised only if encode()
// would take it.
#include "barwright/Capacity.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "barwright/MacroSegments.h"
#include "encoder/DataCodewords.h"
#include "encoder/MacroControlBlock.h"
#include "encoder/SymbolDimensions.h"

namespace barwright {
namespace {

// More symbols than this are no change of a record but another job, and
// finding the count would compact the data many times over.
constexpr std::int32_t kMaxAdvisedSegments = 999;
constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();

// One symbol's codewords before error correction, less its descriptor.
struct Need {
    std::uint64_t dataCodewords = 0;
    std::uint64_t macroCodewords = 0;
    // With the length descriptor: what the encoder calls n.
    std::uint64_t beforeCorrection() const { return 1 + dataCodewords + macroCodewords; }
};

struct Shape {
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t level;  // 0..8, or 9 for the automatic choice
};

// The checks of encode(), on counts alone.
bool fits(const Need& need, const Shape& shape) {
    CodewordLayout layout;
    return chooseLayout(shape.columns, shape.rows, shape.level, need.beforeCorrection(), layout) ==
           status::kOk;
}

bool allFit(const std::vector<Need>& needs, const Shape& shape) {
    return std::all_of(needs.begin(), needs.end(),
                       [&](const Need& need) { return fits(need, shape); });
}

Status measure(const SymbolSettings& settings, Need& need) {
    CodewordStream codewords;
    const Status result = compactData(settings, codewords);
    if (result != status::kOk) {
        return result;
    }
    CodewordStream macroBlock;
    need = Need{codewords.size(), 0};
    const Status macroResult = buildMacroControlBlock(settings.macro, macroBlock);
    need.macroCodewords = macroBlock.size();
    return macroResult;
}

// The needs of each symbol: one for segmentCount 0, else one per segment of
// encodeMacroSegments.
Status measureAll(const SymbolSettings& settings, std::int32_t segmentCount,
                  std::vector<Need>& needs) {
    needs.clear();
    if (segmentCount == 0) {
        needs.emplace_back();
        return measure(settings, needs.back());
    }
    std::vector<std::string> parts;
    Status result = splitMacroData(settings.data, settings.escapes, segmentCount, parts);
    SymbolSettings segment = settings;
    segment.macro.enabled = true;
    segment.macro.segmentCount = segmentCount;
    for (std::size_t i = 0; result == status::kOk && i < parts.size(); ++i) {
        segment.data = std::move(parts[i]);
        segment.macro.segmentIndex = static_cast<std::int32_t>(i) + 1;
        needs.emplace_back();
        result = measure(segment, needs.back());
    }
    return result;
}

void describe(const std::vector<Need>& needs, const Shape& shape, FitAdvice& advice) {
    const Need& fullest = *std::max_element(
        needs.begin(), needs.end(),
        [](const Need& a, const Need& b) { return a.beforeCorrection() < b.beforeCorrection(); });
    advice.dataCodewords =
        static_cast<std::int32_t>(std::min<std::uint64_t>(fullest.dataCodewords, kMaxInt32));
    advice.level = resolveErrorCorrectionLevel(shape.level, fullest.beforeCorrection());
    advice.capacity = shapeDataCapacity(
        shape.columns, shape.rows, advice.level,
        static_cast<std::int32_t>(std::min<std::uint64_t>(fullest.macroCodewords, kMaxInt32)));
}

bool advise(FitAdvice& advice, FitChange change, std::int32_t value) {
    advice.change = change;
    advice.value = value;
    return true;
}

// More columns with the rows as given, or more rows where the columns are
// automatic or no column count fits.
bool adviseWiderShape(const std::vector<Need>& needs, const Shape& shape, FitAdvice& advice) {
    if (shape.columns != kAutomaticDimension) {
        for (std::int32_t columns = std::max(shape.columns + 1, kMinColumns);
             columns <= kMaxColumns; ++columns) {
            if (allFit(needs, Shape{columns, shape.rows, shape.level})) {
                return advise(advice, FitChange::kColumns, columns);
            }
        }
    }
    if (shape.rows != kAutomaticDimension) {
        for (std::int32_t rows = std::max(shape.rows + 1, kMinRows); rows <= kMaxRows; ++rows) {
            if (allFit(needs, Shape{shape.columns, rows, shape.level})) {
                return advise(advice, FitChange::kRows, rows);
            }
        }
    }
    return false;
}

bool adviseLowerLevel(const std::vector<Need>& needs, const Shape& shape, FitAdvice& advice) {
    for (std::int32_t level = advice.level - 1; level >= 0; --level) {
        if (allFit(needs, Shape{shape.columns, shape.rows, level})) {
            return advise(advice, FitChange::kErrorCorrectionLevel, level);
        }
    }
    return false;
}

// Whether the data fits in segmentCount symbols; false also when it has too
// few bytes for them.
Status segmentsFit(const SymbolSettings& settings, std::int32_t segmentCount, const Shape& shape,
                   bool& fit) {
    std::vector<Need> needs;
    const Status result = measureAll(settings, segmentCount, needs);
    fit = result == status::kOk && allFit(needs, shape);
    return result == status::kInvalidArgument ? status::kOk : result;
}

// The fewest symbols that hold the data: from a count no fewer can do (every
// codeword of the data at the lowest level the settings allow), doubling
// until it fits, then halving the gap.
Status adviseMoreSegments(const SymbolSettings& settings, std::int32_t segmentCount,
                          const std::vector<Need>& needs, const Shape& shape, FitAdvice& advice) {
    std::uint64_t totalData = 0;
    for (const Need& need : needs) {
        totalData += need.dataCodewords;
    }
    const std::int32_t lowestLevel =
        shape.level == kAutomaticErrorCorrection ? autoErrorCorrectionLevel(0) : shape.level;
    const auto perSymbol =
        static_cast<std::uint64_t>(shapeDataCapacity(shape.columns, shape.rows, lowestLevel));
    if (perSymbol == 0) {
        return status::kOk;
    }
    std::int64_t low = std::max<std::int64_t>(segmentCount, 1);  // known not to fit
    std::int64_t high = std::max<std::int64_t>(
        static_cast<std::int64_t>((totalData + perSymbol - 1) / perSymbol), low + 1);
    for (;;) {
        if (high > kMaxAdvisedSegments) {
            return status::kOk;
        }
        bool fit = false;
        const Status result = segmentsFit(settings, static_cast<std::int32_t>(high), shape, fit);
        if (result != status::kOk) {
            return result;
        }
        if (fit) {
            break;
        }
        low = high;
        high = low == kMaxAdvisedSegments ? low + 1
                                          : std::min<std::int64_t>(high * 2, kMaxAdvisedSegments);
    }
    while (high - low > 1) {
        const std::int64_t middle = low + (high - low) / 2;
        bool fit = false;
        if (const Status result =
                segmentsFit(settings, static_cast<std::int32_t>(middle), shape, fit);
            result != status::kOk) {
            return result;
        }
        (fit ? high : low) = middle;
    }
    advise(advice, FitChange::kSegments, static_cast<std::int32_t>(high));
    return status::kOk;
}

Status adviseOrThrow(const SymbolSettings& settings, std::int32_t segmentCount, FitAdvice& advice) {
    std::vector<Need> needs;
    Status result = measureAll(settings, segmentCount, needs);
    if (result != status::kOk) {
        return result;
    }
    const Shape shape{settings.columns, settings.rows, settings.errorCorrectionLevel};
    describe(needs, shape, advice);
    if (allFit(needs, shape) || adviseWiderShape(needs, shape, advice)) {
        return status::kOk;
    }
    if (settings.compaction != CompactionMode::kShortest) {
        SymbolSettings shortest = settings;
        shortest.compaction = CompactionMode::kShortest;
        std::vector<Need> shortestNeeds;
        result = measureAll(shortest, segmentCount, shortestNeeds);
        if (result == status::kOk && allFit(shortestNeeds, shape)) {
            advise(advice, FitChange::kShortest, 0);
            return status::kOk;
        }
    }
    if (adviseLowerLevel(needs, shape, advice)) {
        return status::kOk;
    }
    // A Macro block of the caller's own is not ours to multiply.
    if (segmentCount == 0 && settings.macro.enabled) {
        return status::kOk;
    }
    return adviseMoreSegments(settings, segmentCount, needs, shape, advice);
}

}  // namespace

Status countDataCodewords(const SymbolSettings& settings, std::int32_t& count) {
    count = 0;
    try {
        CodewordStream codewords;
        const Status result = compactData(settings, codewords);
        if (result == status::kOk) {
            count = static_cast<std::int32_t>(std::min<std::size_t>(codewords.size(), kMaxInt32));
        }
        return result;
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

std::int32_t shapeDataCapacity(std::int32_t columns, std::int32_t rows, std::int32_t level,
                               std::int32_t overheadCodewords) {
    const bool columnsValid =
        columns == kAutomaticDimension || (columns >= kMinColumns && columns <= kMaxColumns);
    const bool rowsValid = rows == kAutomaticDimension || (rows >= kMinRows && rows <= kMaxRows);
    if (!columnsValid || !rowsValid || (columns == 0 && rows == 0) || level < 0 ||
        level > kMaxErrorCorrectionLevel || overheadCodewords < 0) {
        return 0;
    }
    // The automatic side grows while the whole stays within 928 codewords.
    std::int32_t total = columns * rows;
    if (rows == kAutomaticDimension) {
        total = columns * std::min(kMaxRows, kMaxSymbolCodewords / columns);
    } else if (columns == kAutomaticDimension) {
        total = rows * std::min(kMaxColumns, kMaxSymbolCodewords / rows);
    }
    if (total > kMaxSymbolCodewords) {
        return 0;
    }
    const std::int64_t capacity =
        static_cast<std::int64_t>(total) - (2 << level) - 1 - overheadCodewords;
    return static_cast<std::int32_t>(std::max<std::int64_t>(capacity, 0));
}

Status adviseFit(const SymbolSettings& settings, std::int32_t segmentCount, FitAdvice& advice) {
    advice = FitAdvice{};
    if (segmentCount < 0 || segmentCount > kMaxMacroSegments) {
        return status::kMacroSegmentCount;
    }
    try {
        const Status result = adviseOrThrow(settings, segmentCount, advice);
        if (result != status::kOk) {
            advice = FitAdvice{};
        }
        return result;
    } catch (const std::bad_alloc&) {
        advice = FitAdvice{};
        return status::kFail;
    }
}

}  // namespace barwright
