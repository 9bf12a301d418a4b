#include "encoder/DataCodewords.h"

#include "compaction/Compactor.h"

namespace barwright {
namespace {

bool isCompactionMode(CompactionMode mode) {
    return mode == CompactionMode::kAutomatic || mode == CompactionMode::kText ||
           mode == CompactionMode::kNumeric || mode == CompactionMode::kByte ||
           mode == CompactionMode::kShortest;
}

}  // namespace

Status compactData(const SymbolSettings& settings, CodewordStream& out) {
    if (!isCompactionMode(settings.compaction)) {
        return status::kInvalidCompactionMode;
    }
    if (settings.eci != kNoEci && (settings.eci < 0 || settings.eci > kMaxEci)) {
        return status::kInvalidArgument;
    }
    const auto mode = static_cast<std::int32_t>(settings.compaction);
    const UnitSequence units =
        Compactor::preprocessData(settings.data, mode, settings.escapes, settings.eci);
    // A symbol starts in text compaction; the compactor follows the modes
    // from there.
    Compactor compactor;
    switch (settings.compaction) {
        case CompactionMode::kAutomatic:
            return compactor.compactAutomatic(units, out);
        case CompactionMode::kShortest:
            return compactor.compactShortest(units, out);
        default:
            return compactor.compactFixed(units, out);
    }
}

}  // namespace barwright
