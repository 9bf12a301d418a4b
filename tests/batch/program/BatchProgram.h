#pragma once

#include <ZXing/ReadBarcode.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/RunProgram.h"
#include "support/PngImage.h"

namespace barwright::test {

// barwright-batch and barwright as built, run like runProgram.
ProgramRun runBatch(const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingDirectory,
                    const StartOptions& options = {});
ProgramRun runBarwrightIn(const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory);

// Sets an environment variable (null value: unsets it) for the programs this
// process starts, and restores it when it goes.
class EnvironmentSetting {
public:
    EnvironmentSetting(const char* name, const char* value);
    ~EnvironmentSetting();
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// The SVG or EPS file drawn by a real renderer into a PNG at one pixel per
// unit: rsvg-convert (with more of its options, if given), and Ghostscript
// at 72 dots per inch cropped to the bounding box. Empty on success, else
// what went wrong.
std::string rasteriseSvg(const std::filesystem::path& svg, const std::filesystem::path& png,
                         const std::vector<std::string>& options = {});
std::string rasteriseEps(const std::filesystem::path& eps, const std::filesystem::path& png);

// zxing-cpp's reading of an image, as a PDF417 symbol in any orientation.
ZXing::Result decodeImage(const PngImage& image);
// The data bytes read from a PNG file; nullopt when it cannot be read.
std::optional<std::string> decodedBytes(const std::filesystem::path& png);

// Where two images differ: empty when they are equal pixel for pixel, else
// the size or the first differing pixel.
std::string pixelDifference(const PngImage& expected, const PngImage& actual);

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

}  // namespace barwright::test
