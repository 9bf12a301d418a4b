#include "batch/program/BatchProgram.h"

#include <gtest/gtest.h>
#include <png.h>

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

namespace {

// libpng leaves by longjmp on an error, so nothing here needs destroying.
bool readExpanded(png_structp png, png_infop info, std::FILE* file) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_read_png(png, info,
                 PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_PACKING |
                     PNG_TRANSFORM_GRAY_TO_RGB,
                 nullptr);
    return true;
}

}  // namespace

PngImage readPngAsRgb(const std::filesystem::path& path) {
    PngImage result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.error = "cannot open " + path.string();
        return result;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        result.error = "cannot create libpng structures";
    } else if (!readExpanded(png, info, file)) {
        result.error = "libpng could not read " + path.string();
    } else {
        result.width = png_get_image_width(png, info);
        result.height = png_get_image_height(png, info);
        const int channels = png_get_channels(png, info);
        png_bytepp rows = png_get_rows(png, info);
        result.valid = channels == 3 || channels == 4;
        result.error = result.valid ? "" : "unexpected channel count";
        for (std::uint32_t y = 0; result.valid && y < result.height; ++y) {
            for (std::uint32_t x = 0; x < result.width; ++x) {
                const png_bytep pixel = rows[y] + static_cast<std::size_t>(x) * channels;
                if (channels == 4 && pixel[3] != 255) {
                    result.valid = false;
                    result.error = "a pixel that is not opaque at " + std::to_string(x) + "," +
                                   std::to_string(y);
                    break;
                }
                result.pixels.insert(result.pixels.end(), pixel, pixel + 3);
            }
        }
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    std::fclose(file);
    return result;
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
