#include "cli/FrontEnd.h"

#include <string_view>

#include "barwright/Encoder.h"
#include "barwright/PngWriter.h"
#include "barwright/Render.h"
#include "cli/Conversions.h"
#include "cli/OptionParser.h"
#include "cli/OutputFile.h"

namespace barwright {

namespace {

constexpr const char* kBanner = "barwright Version 1.2";

// The name in the usage text is fixed, whatever name the program was
// started under.
constexpr const char* kUsageText = R"(barwright Version 1.2
Usage:  barwright [OPTIONS] filename
Example:  barwright -x 200 -y 100 -d 1234567890 c:\pdf417.png
Options:
   -h --help        Display this usage information.
   -x --xsize       Barcode image width.
                    Example: -x 200
   -y --ysize       Barcode image height.
                    Example: -y 100
   -n --xdim        X-Dimension.
                    Example: -n 5
   -d --data        Set the data that is to be encoded in the barcode.
                    Example: -d 1234567890Data
   -m --mode        Compaction Mode. Possible Values: 0..3
                    Example: -m 0
   -e --ecl         Error Correction Level. Possible Values: 0..9
                    Example: -e 9
   -c --col         Data Columns. Possible Values: 0..30, 0(auto)
                    Example: -c 3
   -r --row         Data Rows. Possible Values: 0, 3..90, 0(auto)
                    Example: -r 0
   -t --cpdf        Compact PDF. Possible Values: 0 or 1
                    Example: -t 0
   -o --orient      Set the orientation. Possible Values: 0, 90, 180, 270
                    Example: -o 90
   -b --bcolor      Set the background color. Possible Values: 0x000000..0xffffff
                    Example: -b ffff00, means yellow color in RGB
   -f --fcolor      Set the foreground color. Possible Values: 0x000000..0xffffff
                    Example: -r 000000, means black color
   -q --qzone       Show or not the quiet zones. Possible Values: 0 or 1
                    Example: -q 1
   -z --alignh      Set a horizontal barcode alignment. Possible Values: 0..2
                    Example: -z 1
   -v --alignv      Set a vertical  barcode alignment. Possible Values: 0..2
                    Example: -v 1
   -a --y2x         Y to X ratio.
                    Example: -a 4.0
)";

// The -m values: the library's modes as far as the forced byte mode.
constexpr std::int32_t kFirstMode = static_cast<std::int32_t>(CompactionMode::kAutomatic);
constexpr std::int32_t kLastMode = static_cast<std::int32_t>(CompactionMode::kByte);

bool inRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

void reportFailure(Status code) {
    std::fputs(kBanner, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::fputs(statusMessage(code), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace

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

OptionsResult readOptions(int argc, char* const argv[], RunSettings& settings) {
    for (;;) {
        const std::int32_t option =
            parseNextOption(argc, argv, kOptionString, kLongOptions, nullptr);
        if (option == kEndOfOptions) {
            break;
        }
        // Only meaningful for the options that take an argument, for which
        // the parser has just set it.
        const std::string_view value = optarg != nullptr ? optarg : "";
        switch (option) {
            case 'h':
                return OptionsResult::kHelp;
            case kBadOption:
                return OptionsResult::kBadOption;
            case 'x':
                // A size given on one side only keeps the default on the other.
                if (const std::int32_t width = readDecimalInteger(value); width > 0) {
                    settings.picture.imageWidth = width;
                    if (settings.picture.imageHeight == 0) {
                        settings.picture.imageHeight = kDefaultImageHeight;
                    }
                }
                break;
            case 'y':
                if (const std::int32_t height = readDecimalInteger(value); height > 0) {
                    settings.picture.imageHeight = height;
                    if (settings.picture.imageWidth == 0) {
                        settings.picture.imageWidth = kDefaultImageWidth;
                    }
                }
                break;
            case 'n':
                // Written so that NaN would fail too, though the reader never
                // produces one.
                if (const double moduleWidth = readDecimalReal(value); moduleWidth > 0.0) {
                    settings.picture.moduleWidth = moduleWidth;
                }
                break;
            case 'd':
                settings.symbol.data.assign(value.data(), value.size());
                break;
            case 'm':
                if (const std::int32_t mode = readDecimalInteger(value);
                    inRange(mode, kFirstMode, kLastMode)) {
                    settings.symbol.compaction = static_cast<CompactionMode>(mode);
                }
                break;
            case 'e':
                if (const std::int32_t level = readDecimalInteger(value);
                    inRange(level, 0, kAutomaticErrorCorrection)) {
                    settings.symbol.errorCorrectionLevel = level;
                }
                break;
            case 'c':
                settings.symbol.columns = readDecimalInteger(value);
                break;
            case 'r':
                settings.symbol.rows = readDecimalInteger(value);
                break;
            case 't':
                settings.symbol.compact = readDecimalInteger(value) != 0;
                break;
            case 'o':
                if (const std::int32_t degrees = readDecimalInteger(value);
                    isOrientation(degrees)) {
                    settings.picture.orientation = degrees;
                }
                break;
            case 'b':
                settings.picture.background = readColor(value);
                break;
            case 'f':
                settings.picture.foreground = readColor(value);
                break;
            case 'q':
                settings.picture.quietZone = readDecimalInteger(value) != 0;
                break;
            case 'z':
                if (const std::int32_t align = readDecimalInteger(value);
                    isAlignment(align)) {
                    settings.picture.alignH = align;
                }
                break;
            case 'v':
                if (const std::int32_t align = readDecimalInteger(value);
                    isAlignment(align)) {
                    settings.picture.alignV = align;
                }
                break;
            case 'a':
                if (const double ratio = readDecimalReal(value); ratio > 0.0) {
                    settings.picture.yToXRatio = ratio;
                }
                break;
            default:
                // The parser returns only letters of the option string.
                break;
        }
    }
    if (optind < argc && argv[optind] != nullptr) {
        settings.outputFileName = argv[optind];
    }
    return OptionsResult::kComplete;
}

Status writeImageFile(const RgbImage& image, const char* fileName) {
    OutputFile file;
    const Status result = file.open(fileName);
    if (result != status::kOk) {
        return result;
    }
    // On a failed write the file is not committed, so an existing file keeps
    // its bytes.
    if (writePng(image, PngOptions{}, file.stream()) != status::kOk) {
        return status::kCantCloseOutput;
    }
    return file.commit();
}

Status makeBarcode(const RunSettings& settings) {
    EncodedSymbol symbol;
    Status result = encode(settings.symbol, symbol);
    if (result != status::kOk) {
        return result;
    }
    RgbImage image;
    result = renderRgb(symbol, settings.picture, image);
    if (result != status::kOk) {
        return result;
    }
    return writeImageFile(image, settings.outputFileName);
}

int runBarwright(int argc, char* argv[]) {
    // One run walks the command line once from the start, even when a
    // driver runs the program several times in one process.
    resetOptionParser();
    RunSettings settings;
    switch (readOptions(argc, argv, settings)) {
        case OptionsResult::kHelp:
            printUsage(stdout);
            return 0;
        case OptionsResult::kBadOption:
            printUsage(stderr);
            return 1;
        case OptionsResult::kComplete:
            break;
    }
    const Status result =
        settings.outputFileName == nullptr ? status::kEmptyFileName : makeBarcode(settings);
    if (result != status::kOk) {
        reportFailure(result);
    }
    return result;
}

void printUsage(std::FILE* stream) {
    std::fputs(kUsageText, stream);
    std::fflush(stream);
}

}  // namespace barwright
