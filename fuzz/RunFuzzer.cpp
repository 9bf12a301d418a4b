// The whole road of one run, in-process: the fuzz input becomes the command
// line, and whatever it asks for is read, encoded, sized, drawn and written.
// The output file is always forced into a private folder.
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "barwright/Encoder.h"
#include "barwright/Picture.h"
#include "barwright/RgbImage.h"
#include "cli/FrontEnd.h"
#include "fuzz/FuzzInput.h"

namespace {

using namespace barwright;

// Images up to this many pixels are drawn and written; larger ones would only
// make each run slow without reaching new code (the size checks that refuse
// truly huge images run before anything is allocated and stay covered).
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 22;

constexpr const char* kPrecious = "bytes that a failing run must keep";
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

std::string& folderPath() {
    static std::string path;
    return path;
}

std::string& outputPath() {
    static std::string path;
    return path;
}

std::string readWhole(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, count);
        }
        std::fclose(file);
    }
    return bytes;
}

bool writeWhole(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Entries of the folder other than "." and "..".
int entryCount(const std::string& path) {
    int count = 0;
    if (DIR* folder = opendir(path.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            count += name != "." && name != ".." ? 1 : 0;
        }
        closedir(folder);
    }
    return count;
}

// True when the run would allocate, draw and write an image bigger than the
// fuzzer should spend its time on.
bool imageTooSlow(const RunSettings& settings) {
    EncodedSymbol symbol;
    if (encode(settings.symbol, symbol) != status::kOk) {
        return false;
    }
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (imageSize(symbol, settings.picture, width, height) != status::kOk) {
        return false;
    }
    const bool refusedBeforeAllocation =
        width < 1 || height < 1 || width > RgbImage::kMaxDimension ||
        height > RgbImage::kMaxDimension ||
        std::uint64_t(width) * std::uint64_t(height) * 3 > RgbImage::kMaxPixelBytes;
    return !refusedBeforeAllocation &&
           std::uint64_t(width) * std::uint64_t(height) > kMaxFuzzPixels;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Scratch files go where the caller keeps them (TMPDIR), as for any
    // program that needs a temporary folder.
    const char* scratch = std::getenv("TMPDIR");
    std::string folder = scratch != nullptr && scratch[0] != '\0' ? scratch : "/tmp";
    folder += "/barwright-fuzz-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        abort();
    }
    folderPath() = folder;
    outputPath() = folderPath() + "/out.png";
    // libFuzzer ends with exit() when its time is up: leave no folder behind.
    std::atexit([] {
        unlink(outputPath().c_str());
        rmdir(folderPath().c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ArgumentVector arguments(data, size);

    // A first reading finds which argument is the file name, so that it can
    // be pointed into the private folder before the real run reads it.
    RunSettings settings;
    std::string message;
    const OptionsResult options =
        readOptions(arguments.argc(), arguments.argv(), settings, message);
    if (options == OptionsResult::kComplete && settings.outputFileName != nullptr) {
        // The file name points into the argument it is.
        std::int32_t index = 1;
        while (arguments.argv()[index] != settings.outputFileName) {
            ++index;
        }
        arguments.replace(index, outputPath().data());
        settings.outputFileName = outputPath().c_str();
        if (imageTooSlow(settings)) {
            return -1;  // not worth keeping in the corpus
        }
    }

    // Every run finds a file that must survive any failure.
    if (!writeWhole(outputPath(), kPrecious)) {
        abort();
    }
    const int exitStatus = runBarwright(arguments.argc(), arguments.argv());
    // -h ends with 0 and a bad option with 1, before any file is written.
    if ((options == OptionsResult::kHelp && exitStatus != 0) ||
        (options == OptionsResult::kBadOption && exitStatus != 1)) {
        abort();
    }
    // Only statuses that some step of a command-line run returns: never 3
    // (bad modes are dropped while reading), 4, 13 or 27 (nothing returns
    // them), nor the Macro codes (no option switches Macro on).
    if (exitStatus < 0 || exitStatus > 28 || exitStatus == 3 || exitStatus == 4 ||
        exitStatus == 13 || exitStatus == 27 || (exitStatus >= 16 && exitStatus <= 23)) {
        abort();
    }
    // The old file is replaced by a whole picture or not at all, and
    // nothing else is left in the folder.
    const std::string written = readWhole(outputPath());
    const bool replaced = options == OptionsResult::kComplete && exitStatus == 0;
    if (replaced ? written.compare(0, sizeof kPngSignature - 1, kPngSignature) != 0
                 : written != kPrecious) {
        abort();
    }
    if (entryCount(folderPath()) != 1) {
        abort();
    }
    return 0;
}
