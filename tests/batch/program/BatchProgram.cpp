#include "batch/program/BatchProgram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace barwright::test {

ProgramRun runBatch(const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingDirectory, const StartOptions& options) {
    return RunningProgram(BARWRIGHT_BATCH_EXE, arguments, workingDirectory, options).finish();
}

ProgramRun runBarwrightIn(const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory) {
    return runProgram(BARWRIGHT_EXE, arguments, workingDirectory);
}

EnvironmentSetting::EnvironmentSetting(const char* name, const char* value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
        previous_ = previous;
    }
    if (value != nullptr) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
}

EnvironmentSetting::~EnvironmentSetting() {
    if (previous_) {
        ::setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

std::string rasteriseSvg(const std::filesystem::path& svg, const std::filesystem::path& png,
                         const std::vector<std::string>& options) {
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"-o", png.string(), svg.string()});
    const ProgramRun run = runProgram(BARWRIGHT_RSVG_CONVERT, arguments, svg.parent_path());
    return run.exitStatus == 0 ? ""
                               : "rsvg-convert (Debian: librsvg2-bin) failed: " + run.standardError;
}

std::string rasteriseEps(const std::filesystem::path& eps, const std::filesystem::path& png) {
    const ProgramRun run =
        runProgram(BARWRIGHT_GHOSTSCRIPT,
                   {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-r72", "-dEPSCrop",
                    "-sOutputFile=" + png.string(), eps.string()},
                   eps.parent_path());
    return run.exitStatus == 0 ? ""
                               : "Ghostscript (Debian: ghostscript) failed: " + run.standardError;
}

ZXing::Result decodeImage(const PngImage& image) {
    const ZXing::ImageView view(image.pixels.data(), static_cast<int>(image.width),
                                static_cast<int>(image.height), ZXing::ImageFormat::RGB);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417).setTryHarder(true).setTryRotate(true);
    return ZXing::ReadBarcode(view, hints);
}

std::optional<std::string> decodedBytes(const std::filesystem::path& png) {
    const PngImage image = readPngAsRgb(png);
    if (!image.valid) {
        return std::nullopt;
    }
    const ZXing::Result result = decodeImage(image);
    if (!result.isValid()) {
        return std::nullopt;
    }
    return std::string(result.bytes().begin(), result.bytes().end());
}

std::string pixelDifference(const PngImage& expected, const PngImage& actual) {
    if (!expected.valid || !actual.valid) {
        return "unreadable: " + expected.error + actual.error;
    }
    if (expected.width != actual.width || expected.height != actual.height) {
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
               " instead of " + std::to_string(expected.width) + "x" +
               std::to_string(expected.height);
    }
    for (std::uint32_t y = 0; y < expected.height; ++y) {
        for (std::uint32_t x = 0; x < expected.width; ++x) {
            if (expected.at(x, y) != actual.at(x, y)) {
                return "first difference at " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    return "";
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    const std::string bytes = readFile(path);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace barwright::test
