#include "barwright/Encoder.h"

#include <new>

#include "encoder/CodewordMatrix.h"
#include "encoder/DataCodewords.h"
#include "encoder/MacroControlBlock.h"
#include "encoder/ReedSolomon.h"
#include "encoder/SymbolDimensions.h"

namespace barwright {
namespace {

// Room for any symbol (at most 928 codewords) without growing mid-encode.
constexpr std::size_t kInitialStreamCapacity = 1000;
// Fills the grid between the data and the Macro block; a reader takes it as
// a latch to text compaction, which adds no data.
constexpr Codeword kPadCodeword = 900;
// Placeholder for the symbol length descriptor, written once the pad is known.
constexpr Codeword kDescriptorPlaceholder = 0;

Status encodeSymbol(const SymbolSettings& settings, EncodedSymbol& symbol) {
    CodewordStream codewords;
    codewords.reserve(kInitialStreamCapacity);
    codewords.push_back(kDescriptorPlaceholder);
    Status result = compactData(settings, codewords);
    if (result != status::kOk) {
        return result;
    }
    const std::size_t dataCodewordCount = codewords.size() - 1;
    // Built apart so that it can follow the pad codewords, which are only
    // known once the dimensions are.
    CodewordStream macroBlock;
    result = buildMacroControlBlock(settings.macro, macroBlock);
    if (result != status::kOk) {
        return result;
    }
    CodewordLayout layout;
    result = chooseLayout(settings.columns, settings.rows, settings.errorCorrectionLevel,
                          codewords.size() + macroBlock.size(), layout);
    if (result != status::kOk) {
        return result;
    }

    const auto n = static_cast<std::uint32_t>(codewords.size() + macroBlock.size());
    const std::uint32_t k = layout.errorCorrectionCount;
    const std::uint32_t pad = static_cast<std::uint32_t>(layout.columns * layout.rows) - k - n;
    codewords.insert(codewords.end(), pad, kPadCodeword);
    codewords.insert(codewords.end(), macroBlock.begin(), macroBlock.end());
    const std::uint32_t descriptor = n + pad;
    codewords[0] = static_cast<Codeword>(descriptor);
    computeErrorCorrection(codewords.data(), static_cast<std::uint16_t>(descriptor),
                           static_cast<std::uint16_t>(k), codewords);

    const MatrixShape shape{layout.columns, layout.rows, layout.level, settings.compact};
    if (!buildMatrix(shape, codewords, symbol.matrix)) {
        return status::kFail;
    }
    symbol.codewords = std::move(codewords);
    symbol.columns = layout.columns;
    symbol.rows = layout.rows;
    symbol.errorCorrectionLevel = layout.level;
    symbol.compact = settings.compact;
    // Both within 0..925: the descriptor and k >= 2 codewords of error
    // correction take at least three of the at most 928.
    symbol.dataCodewordCount = static_cast<std::int32_t>(dataCodewordCount);
    symbol.dataCapacity = static_cast<std::int32_t>(dataCodewordCount + pad);
    return status::kOk;
}

}  // namespace

Status encode(const SymbolSettings& settings, EncodedSymbol& symbol) {
    symbol = EncodedSymbol{};
    // Every growable array of an encode (the stream, the unit sequences, the
    // Macro block, the matrix) is owned below this call, so running out of
    // memory anywhere in it becomes this encode's kFail.
    Status result = status::kFail;
    try {
        result = encodeSymbol(settings, symbol);
    } catch (const std::bad_alloc&) {
        result = status::kFail;
    }
    if (result != status::kOk) {
        symbol = EncodedSymbol{};
    }
    return result;
}

}  // namespace barwright
