#include "cli/FrontEnd.h"

#include <cstdint>
#include <vector>

#include "files/OutputFile.h"
#include "options/OptionParser.h"
#include "options/OptionTable.h"
#include "options/SourceDateEpoch.h"
#include "options/SymbolFile.h"

namespace barwright {

namespace {

// Fixed text, like every message of the program, so it does not follow the
// project's version (barwright/Version.h) as barwright-batch's --version does.
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

void reportFailure(Status code) {
    std::fputs(kBanner, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::fputs(statusMessage(code), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace

OptionsResult readOptions(int argc, char* const argv[], RunSettings& settings,
                          std::string& message) {
    OptionParser parser(argc, argv, programOptionString(), programLongOptions());
    for (;;) {
        const std::int32_t option = parser.next();
        if (option == OptionParser::kEnd) {
            break;
        }
        if (option == 'h') {
            return OptionsResult::kHelp;
        }
        const OptionEntry* entry = findOptionByLetter(option);
        if (option == OptionParser::kBad || entry == nullptr) {
            message = parser.message();
            return OptionsResult::kBadOption;
        }
        // A value out of its range is dropped silently; the setting keeps its
        // earlier value.
        const char* value = parser.value();
        (void)applyOption(entry->id, value != nullptr ? value : "", settings, ValueCheck::kLenient);
    }
    if (parser.index() < argc && argv[parser.index()] != nullptr) {
        settings.outputFileName = argv[parser.index()];
    }
    return OptionsResult::kComplete;
}

Status makeBarcode(const RunSettings& settings) {
    std::vector<EncodedSymbol> symbols;
    Status result = encodeSymbols(settings, symbols);
    if (result != status::kOk) {
        return result;
    }
    SymbolFile picture;
    result = picture.draw(symbols.front(), settings.picture, OutputFormat::kPng, settings.output);
    if (result != status::kOk) {
        return result;
    }
    // Opened only now, and written as the PNG is compressed.
    OutputFile file;
    result = file.open(settings.outputFileName);
    if (result != status::kOk) {
        return result;
    }
    // On a failed write the file is not committed, so an existing file keeps
    // its bytes.
    if (picture.write(file.stream()) != status::kOk) {
        return status::kCantCloseOutput;
    }
    return file.commit();
}

int runBarwright(int argc, char* argv[]) {
    RunSettings settings;
    // Builds that must be reproducible fix the time written into the file;
    // a value that is not a time is ignored, as the program has no message
    // for it.
    SourceDateEpoch::fromEnvironment().applyTo(settings.output);
    std::string message;
    switch (readOptions(argc, argv, settings, message)) {
        case OptionsResult::kHelp:
            printUsage(stdout);
            return 0;
        case OptionsResult::kBadOption:
            // The parser's message goes out as one block, as it always has.
            message.push_back('\n');
            std::fwrite(message.data(), 1, message.size(), stderr);
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
