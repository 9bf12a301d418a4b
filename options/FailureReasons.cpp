#include "options/FailureReasons.h"

#include <cstdio>
#include <new>

#include "barwright/Capacity.h"

namespace barwright {

namespace {

// kMinLumaDifference as a share of full scale.
constexpr std::int32_t kMinContrastPercent = 20;

std::string counted(std::int32_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "3 columns hold", "10 rows hold", "3 columns and 10 rows hold".
std::string shapeHolds(const SymbolSettings& settings) {
    if (settings.rows == kAutomaticDimension) {
        return counted(settings.columns, "column holds", "columns hold");
    }
    if (settings.columns == kAutomaticDimension) {
        return counted(settings.rows, "row holds", "rows hold");
    }
    return counted(settings.columns, "column", "columns") + " and " +
           counted(settings.rows, "row hold", "rows hold");
}

std::string changeText(const FitAdvice& advice) {
    const std::string value = std::to_string(advice.value);
    switch (advice.change) {
        case FitChange::kColumns:
            return ": --col " + value + " fits";
        case FitChange::kRows:
            return ": --row " + value + " fits";
        case FitChange::kShortest:
            return ": --shortest fits";
        case FitChange::kErrorCorrectionLevel:
            return ": --ecl " + value + " fits";
        case FitChange::kSegments:
            return ": --macro " + value + " fits";
        case FitChange::kNone:
            break;
    }
    return std::string();
}

}  // namespace

bool isFitStatus(Status status) noexcept {
    return status == status::kDataCountAbove928 || status == status::kDataTooLarge ||
           status == status::kGridTooSmall;
}

std::string fitReason(const SymbolSettings& settings, std::int32_t segmentCount) {
    FitAdvice advice;
    if (adviseFit(settings, segmentCount, advice) != status::kOk) {
        return std::string();
    }
    try {
        std::string text = segmentCount > 1
                               ? "the fullest of " + std::to_string(segmentCount) + " symbols: "
                               : std::string();
        text += counted(advice.dataCodewords, "data codeword; ", "data codewords; ") +
                shapeHolds(settings) + " " + std::to_string(advice.capacity) + " at level " +
                std::to_string(advice.level) + changeText(advice);
        return text;
    } catch (const std::bad_alloc&) {
        return std::string();
    }
}

std::string fitReason(const SymbolOptions& options) {
    SymbolSettings settings = symbolSettings(options);
    if (!options.fileId.empty()) {
        settings.macro.fileId = options.fileId;
    }
    return fitReason(settings, options.macroSegments);
}

std::string contrastReason(const PictureSettings& picture) {
    if (hasReadableContrast(picture.foreground, picture.background)) {
        return std::string();
    }
    char colours[64];
    std::snprintf(colours, sizeof colours, "bars %06x on %06x", picture.foreground & kColorBits,
                  picture.background & kColorBits);
    // In whole percent of full scale, rounded down, so that it never shows
    // the 20 that would pass.
    const std::int32_t percent = lumaDifference(picture.foreground, picture.background) /
                                 (kMinLumaDifference / kMinContrastPercent);
    return std::string(colours) + " differ in luma by " + std::to_string(percent) +
           " % of full scale; readers need " + std::to_string(kMinContrastPercent) + " %";
}

}  // namespace barwright
