#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/OptionParser.h"
#include "encoder/ConfigureEncoder.h"
#include "encoder/Status.h"

namespace barwright {

class Pdf417Encoder;
class RgbImage;

// Everything one command line asks for, with the values a run starts from.
// Colours are already in the 0x00BBGGRR form.
struct RunSettings {
    std::int32_t imageWidth = 200;   // pixels, > 0
    std::int32_t imageHeight = 100;  // pixels, > 0
    // Set once -x or -y is accepted; otherwise the size follows from the
    // symbol and the module width.
    bool explicitSize = false;
    double moduleWidth = 2.0;  // pixels, > 0; used only for a computed size
    double yToXRatio = 4.0;    // row height in module widths, > 0
    std::string data = "1234567";
    std::int32_t compactionMode = 0;        // 0 automatic, 1 text, 2 numeric, 3 byte
    std::int32_t errorCorrectionLevel = 9;  // 0..8, 9 = automatic
    std::int32_t columns = 3;               // not checked here; the encode checks it
    std::int32_t rows = 0;                  // not checked here; the encode checks it
    bool compact = false;
    std::int32_t orientation = 0;  // degrees: 0, 90, 180 or 270
    bool quietZone = true;
    std::int32_t alignH = 1;  // 0 left, 1 centre, 2 right
    std::int32_t alignV = 1;  // 0 top, 1 centre, 2 bottom
    std::uint32_t backgroundColor = 0xFFFFFF;
    std::uint32_t foregroundColor = 0x000000;
    // Points into argv; null when the options used up the command line.
    const char* outputFileName = nullptr;
};

// The program's options: the short letters ("x:" takes an argument) and the
// long names, which end with an all-zero entry.
constexpr int kLongOptionCount = 17;
extern const char kOptionString[];
extern const LongOption kLongOptions[kLongOptionCount + 1];

enum class OptionsResult {
    kComplete,   // go on with the run
    kHelp,       // -h was met: print the usage on stdout, status 0
    kBadOption,  // the parser reported a bad option: usage on stderr, status 1
};

// Reads the options into settings, dropping silently every value out of its
// range, and stops at -h or at a bad option as soon as it meets one. The
// first argument that is not an option is the output file name; anything
// after it is ignored. The option parser's state must be fresh.
[[nodiscard]] OptionsResult readOptions(int argc, char* const argv[], RunSettings& settings);

// The image size: as given, or what the encoded symbol needs at the module
// width (whole pixels, truncated).
[[nodiscard]] Status chooseImageSize(const RunSettings& settings, const Pdf417Encoder& encoder,
                                     std::int32_t& width, std::int32_t& height);

// Opens the file only now, so that a run that failed earlier neither
// creates nor truncates it; 25 when it cannot be opened, 26 when writing or
// closing fails. The image takes the file's name only once it is complete
// (see OutputFile), so no failure leaves a file cut short.
[[nodiscard]] Status writeImageFile(RgbImage& image, const char* fileName);

// Encodes, sizes, draws and writes one symbol; prints nothing.
[[nodiscard]] Status makeBarcode(const RunSettings& settings);

// One whole run of the program; returns the exit status. Prints nothing on
// success, the banner and the status's message on stderr on failure; ends
// the process itself after -h and after a bad option (see printUsage).
int runBarwright(int argc, char* argv[]);

// Writes the usage text on the stream and ends the process with the status
// (through exitProcess).
[[noreturn]] void printUsage(std::FILE* stream, int exitStatus);

}  // namespace barwright
