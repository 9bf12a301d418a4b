#include "options/SymbolOptions.h"

#include "barwright/Encoder.h"
#include "barwright/MacroSegments.h"
#include "barwright/MacroSettings.h"
#include "options/Conversions.h"
#include "options/PrintableText.h"

namespace barwright {
namespace {

// The image size that -x or -y alone leaves for the other side.
constexpr std::int32_t kDefaultImageWidth = 200;
constexpr std::int32_t kDefaultImageHeight = 100;

// The -m values: the library's modes as far as the forced byte mode.
constexpr std::int32_t kFirstMode = static_cast<std::int32_t>(CompactionMode::kAutomatic);
constexpr std::int32_t kLastMode = static_cast<std::int32_t>(CompactionMode::kByte);
// A refused value is shown up to this many bytes.
constexpr std::size_t kShownBytes = 40;
// Module widths below this round to 0 pixels.
constexpr double kLeastModuleWidth = 0.5;

bool inRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

// Whether the text is wholly a value of the option's kind; the ranges are
// checked as the value is applied.
bool wellFormed(ValueKind kind, std::string_view value) {
    switch (kind) {
        case ValueKind::kInteger:
            return isWholeInteger(value);
        case ValueKind::kReal:
            return isWholeReal(value);
        case ValueKind::kColour: {
            Color colour = 0;
            return readStrictColor(value, colour);
        }
        default:
            return true;
    }
}

// A size given on one side only keeps the default on the other.
bool applyImageSize(std::int32_t size, std::int32_t& side, std::int32_t& otherSide,
                    std::int32_t otherDefault) {
    if (size <= 0) {
        return false;
    }
    side = size;
    if (otherSide == 0) {
        otherSide = otherDefault;
    }
    return true;
}

bool applyAlignment(std::string_view value, std::int32_t& alignment) {
    const std::int32_t align = readDecimalInteger(value);
    if (!isAlignment(align)) {
        return false;
    }
    alignment = align;
    return true;
}

// Written so that NaN would fail too, though the reader never makes one.
bool applyPositiveReal(std::string_view value, double& setting) {
    const double number = readDecimalReal(value);
    if (!(number > 0.0)) {
        return false;
    }
    setting = number;
    return true;
}

bool applyPictureOption(OptionId id, std::string_view value, PictureSettings& picture,
                        ValueCheck check) {
    switch (id) {
        case OptionId::kXsize:
            return applyImageSize(readDecimalInteger(value), picture.imageWidth,
                                  picture.imageHeight, kDefaultImageHeight);
        case OptionId::kYsize:
            return applyImageSize(readDecimalInteger(value), picture.imageHeight,
                                  picture.imageWidth, kDefaultImageWidth);
        case OptionId::kXdim:
            return applyPositiveReal(value, picture.moduleWidth);
        case OptionId::kY2x:
            return applyPositiveReal(value, picture.yToXRatio);
        case OptionId::kOrient:
            if (const std::int32_t degrees = readDecimalInteger(value); isOrientation(degrees)) {
                picture.orientation = degrees;
                return true;
            }
            return false;
        case OptionId::kBcolor:
        case OptionId::kFcolor: {
            Color& colour = id == OptionId::kBcolor ? picture.background : picture.foreground;
            if (check == ValueCheck::kLenient) {
                colour = readColor(value);
                return true;
            }
            return readStrictColor(value, colour);
        }
        case OptionId::kQzone:
            picture.quietZone = readDecimalInteger(value) != 0;
            return true;
        case OptionId::kAlignh:
            return applyAlignment(value, picture.alignH);
        case OptionId::kAlignv:
            return applyAlignment(value, picture.alignV);
        default:
            return false;
    }
}

bool applySymbolOption(OptionId id, std::string_view value, SymbolSettings& symbol) {
    if (id == OptionId::kData) {
        symbol.data.assign(value.data(), value.size());
        return true;
    }
    const std::int32_t number = readDecimalInteger(value);
    switch (id) {
        case OptionId::kMode:
            if (!inRange(number, kFirstMode, kLastMode)) {
                return false;
            }
            symbol.compaction = static_cast<CompactionMode>(number);
            return true;
        case OptionId::kEcl:
            if (!inRange(number, 0, kAutomaticErrorCorrection)) {
                return false;
            }
            symbol.errorCorrectionLevel = number;
            return true;
        // Not checked here: the encode reports a bad shape with its status.
        case OptionId::kCol:
            symbol.columns = number;
            return true;
        case OptionId::kRow:
            symbol.rows = number;
            return true;
        case OptionId::kCpdf:
            symbol.compact = number != 0;
            return true;
        default:
            return false;
    }
}

bool readSwitch(std::string_view value, bool& setting) {
    if (value != "0" && value != "1") {
        return false;
    }
    setting = value == "1";
    return true;
}

// The options beyond barwright's, always read strictly.
bool applySharedOption(OptionId id, std::string_view value, SymbolOptions& options) {
    switch (id) {
        case OptionId::kShortest:
            return readSwitch(value, options.shortest);
        case OptionId::kEscapes:
            return readSwitch(value, options.symbol.escapes);
        case OptionId::kDpi:
            return readCount(value, 1, kMaxDpi, options.output.dpi);
        case OptionId::kMacro:
            return readCount(value, 1, kMaxMacroSegments, options.macroSegments);
        case OptionId::kEci:
            return readCount(value, 0, kMaxEci, options.symbol.eci);
        case OptionId::kFileId:
            // Any text: encode alone knows the rule, and says so with its
            // own status (kMacroFileId).
            options.fileId.assign(value.data(), value.size());
            return true;
        case OptionId::kTime:
            if (!readWholeNumber(value, kFirstFileTime, kLastFileTime, options.output.time)) {
                return false;
            }
            options.output.timeSource = FileTime::kGiven;
            return true;
        default:
            return false;
    }
}

bool isPictureOption(OptionId id) {
    switch (id) {
        case OptionId::kXsize:
        case OptionId::kYsize:
        case OptionId::kXdim:
        case OptionId::kY2x:
        case OptionId::kOrient:
        case OptionId::kBcolor:
        case OptionId::kFcolor:
        case OptionId::kQzone:
        case OptionId::kAlignh:
        case OptionId::kAlignv:
            return true;
        default:
            return false;
    }
}

}  // namespace

SymbolOptions programDefaults() {
    SymbolOptions options;
    options.symbol.data = "1234567";
    options.symbol.escapes = true;
    options.output.timeSource = FileTime::kClock;
    return options;
}

SymbolOptions bindingDefaults() { return SymbolOptions(); }

bool applyOption(OptionId id, std::string_view value, SymbolOptions& options, ValueCheck check) {
    const OptionEntry& entry = optionEntry(id);
    if (entry.letter == 0) {
        return applySharedOption(id, value, options);
    }
    if (check == ValueCheck::kStrict && !wellFormed(entry.kind, value)) {
        return false;
    }
    return isPictureOption(id) ? applyPictureOption(id, value, options.picture, check)
                               : applySymbolOption(id, value, options.symbol);
}

Status setOption(SymbolOptions& options, std::string_view name, std::string_view value) {
    const OptionEntry* entry = findOption(name);
    if (entry == nullptr || entry->kind == ValueKind::kNone ||
        !applyOption(entry->id, value, options, ValueCheck::kStrict)) {
        return status::kInvalidArgument;
    }
    return status::kOk;
}

std::string optionRefusal(std::string_view name, std::string_view value, Escaping escaping) {
    const OptionEntry* entry = findOption(name);
    if (entry == nullptr || entry->kind == ValueKind::kNone) {
        return "unknown option \"" + printableText(name, true, kShownBytes, escaping) + "\"";
    }
    return std::string(entry->name) + " takes " + entry->values + ", not \"" +
           printableText(value, true, kShownBytes, escaping) + "\"";
}

SymbolSettings symbolSettings(const SymbolOptions& options) {
    SymbolSettings settings = options.symbol;
    if (options.shortest) {
        settings.compaction = CompactionMode::kShortest;
    }
    return settings;
}

Status encodeSymbols(const SymbolOptions& options, std::vector<EncodedSymbol>& symbols) {
    if (options.macroSegments == 0) {
        symbols.resize(1);
        return options.shortest ? encode(symbolSettings(options), symbols[0])
                                : encode(options.symbol, symbols[0]);
    }
    SymbolSettings settings = symbolSettings(options);
    settings.macro.enabled = true;
    if (!options.fileId.empty()) {
        settings.macro.fileId = options.fileId;
    }
    return encodeMacroSegments(settings, options.macroSegments, symbols);
}

const char* blamedOption(const SymbolOptions& options, bool drawing) {
    if (!drawing) {
        return options.macroSegments > 0 ? "macro" : "";
    }
    const PictureSettings& picture = options.picture;
    if (!hasReadableContrast(picture.foreground, picture.background)) {
        return "fcolor";
    }
    if (picture.imageWidth == 0 && picture.moduleWidth < kLeastModuleWidth) {
        return "xdim";
    }
    return "";
}

}  // namespace barwright
