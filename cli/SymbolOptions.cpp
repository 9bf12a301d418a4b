#include "cli/SymbolOptions.h"

#include "cli/Conversions.h"

namespace barwright {
namespace {

// The -m values: the library's modes as far as the forced byte mode.
constexpr std::int32_t kFirstMode = static_cast<std::int32_t>(CompactionMode::kAutomatic);
constexpr std::int32_t kLastMode = static_cast<std::int32_t>(CompactionMode::kByte);

bool inRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign and at least one digit, nothing else.
bool isWholeInteger(std::string_view text) {
    std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (i == text.size()) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) {
            return false;
        }
    }
    return true;
}

// A sign, digits with an optional point and an optional exponent, nothing
// else: what readDecimalReal reads when it reads the whole text.
bool isWholeReal(std::string_view text) {
    std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) ++digits;
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponentStart = i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
        }
        if (i == exponentStart) {
            return false;
        }
    }
    return i == text.size();
}

bool wellFormed(std::int32_t letter, std::string_view value) {
    switch (letter) {
        case 'd':
            return true;
        case 'n':
        case 'a':
            return isWholeReal(value);
        case 'b':
        case 'f': {
            Color colour = 0;
            return readStrictColor(value, colour);
        }
        default:
            return isWholeInteger(value);
    }
}

}  // namespace

SymbolSettings programSymbolDefaults() {
    SymbolSettings settings;
    settings.data = "1234567";
    settings.escapes = true;
    return settings;
}

const char kOptionString[] = "hx:y:n:d:m:e:c:r:t:o:b:f:q:z:v:a:";

// The order matters: an abbreviation that fits several names takes the
// earliest ("--a" is alignh, "--y" ysize, "--c" col).
const LongOption kLongOptions[kLongOptionCount + 1] = {
    {"help", kNoArgument, nullptr, 'h'},         {"xsize", kRequiredArgument, nullptr, 'x'},
    {"ysize", kRequiredArgument, nullptr, 'y'},  {"xdim", kRequiredArgument, nullptr, 'n'},
    {"data", kRequiredArgument, nullptr, 'd'},   {"mode", kRequiredArgument, nullptr, 'm'},
    {"ecl", kRequiredArgument, nullptr, 'e'},    {"col", kRequiredArgument, nullptr, 'c'},
    {"row", kRequiredArgument, nullptr, 'r'},    {"cpdf", kRequiredArgument, nullptr, 't'},
    {"orient", kRequiredArgument, nullptr, 'o'}, {"bcolor", kRequiredArgument, nullptr, 'b'},
    {"fcolor", kRequiredArgument, nullptr, 'f'}, {"qzone", kRequiredArgument, nullptr, 'q'},
    {"alignh", kRequiredArgument, nullptr, 'z'}, {"alignv", kRequiredArgument, nullptr, 'v'},
    {"y2x", kRequiredArgument, nullptr, 'a'},    {nullptr, kNoArgument, nullptr, 0},
};

bool applyOption(std::int32_t letter, std::string_view value, SymbolOptions& options,
                 ValueCheck check) {
    if (check == ValueCheck::kStrict && !wellFormed(letter, value)) {
        return false;
    }
    SymbolSettings& symbol = options.symbol;
    PictureSettings& picture = options.picture;
    switch (letter) {
        case 'x':
            // A size given on one side only keeps the default on the other.
            if (const std::int32_t width = readDecimalInteger(value); width > 0) {
                picture.imageWidth = width;
                if (picture.imageHeight == 0) {
                    picture.imageHeight = kDefaultImageHeight;
                }
                return true;
            }
            return false;
        case 'y':
            if (const std::int32_t height = readDecimalInteger(value); height > 0) {
                picture.imageHeight = height;
                if (picture.imageWidth == 0) {
                    picture.imageWidth = kDefaultImageWidth;
                }
                return true;
            }
            return false;
        case 'n':
            // Written so that NaN would fail too, though the reader never
            // produces one.
            if (const double moduleWidth = readDecimalReal(value); moduleWidth > 0.0) {
                picture.moduleWidth = moduleWidth;
                return true;
            }
            return false;
        case 'd':
            symbol.data.assign(value.data(), value.size());
            return true;
        case 'm':
            if (const std::int32_t mode = readDecimalInteger(value);
                inRange(mode, kFirstMode, kLastMode)) {
                symbol.compaction = static_cast<CompactionMode>(mode);
                return true;
            }
            return false;
        case 'e':
            if (const std::int32_t level = readDecimalInteger(value);
                inRange(level, 0, kAutomaticErrorCorrection)) {
                symbol.errorCorrectionLevel = level;
                return true;
            }
            return false;
        case 'c':
            // Not checked here: the encode reports a bad shape with its status.
            symbol.columns = readDecimalInteger(value);
            return true;
        case 'r':
            symbol.rows = readDecimalInteger(value);
            return true;
        case 't':
            symbol.compact = readDecimalInteger(value) != 0;
            return true;
        case 'o':
            if (const std::int32_t degrees = readDecimalInteger(value); isOrientation(degrees)) {
                picture.orientation = degrees;
                return true;
            }
            return false;
        case 'b':
        case 'f': {
            Color& colour = letter == 'b' ? picture.background : picture.foreground;
            if (check == ValueCheck::kLenient) {
                colour = readColor(value);
                return true;
            }
            return readStrictColor(value, colour);
        }
        case 'q':
            picture.quietZone = readDecimalInteger(value) != 0;
            return true;
        case 'z':
            if (const std::int32_t align = readDecimalInteger(value); isAlignment(align)) {
                picture.alignH = align;
                return true;
            }
            return false;
        case 'v':
            if (const std::int32_t align = readDecimalInteger(value); isAlignment(align)) {
                picture.alignV = align;
                return true;
            }
            return false;
        case 'a':
            if (const double ratio = readDecimalReal(value); ratio > 0.0) {
                picture.yToXRatio = ratio;
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace barwright
