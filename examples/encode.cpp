// Encodes a greeting and writes it as a PNG file: barwright from C++.
#include <barwright/barwright.h>

#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    const char* fileName = argc > 1 ? argv[1] : "greeting.png";

    barwright::SymbolSettings settings;
    settings.data = "Hello from C++\n";  // bytes as they are (escapes is off)
    settings.columns = 4;
    barwright::PictureSettings picture;
    picture.moduleWidth = 2.0;  // 2-pixel modules

    barwright::EncodedSymbol symbol;
    barwright::RgbImage image;
    std::vector<std::uint8_t> png;
    barwright::Status status = barwright::encode(settings, symbol);
    if (status == barwright::status::kOk) {
        status = barwright::renderRgb(symbol, picture, image);
    }
    if (status == barwright::status::kOk) {
        status = barwright::writePng(image, barwright::PngOptions{}, png);
    }
    if (status != barwright::status::kOk) {
        std::fprintf(stderr, "%s\n", barwright::statusMessage(status));
        return 1;
    }

    std::FILE* file = std::fopen(fileName, "wb");
    const bool written =
        file != nullptr && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "cannot write %s\n", fileName);
        return 1;
    }
    std::printf("%s: %d columns, %d rows, error correction level %d\n", fileName, symbol.columns,
                symbol.rows, symbol.errorCorrectionLevel);
    return 0;
}
