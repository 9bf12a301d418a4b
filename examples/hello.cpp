// "Hello 123" as a PDF417 symbol in hello.png: the library in a few lines.
#include <barwright/barwright.h>

#include <cstdio>

int main(int argc, char* argv[]) {
    const char* fileName = argc > 1 ? argv[1] : "hello.png";
    barwright::SymbolSettings settings;
    settings.data = "Hello 123";
    barwright::EncodedSymbol symbol;
    barwright::RgbImage image;
    barwright::Status status = barwright::encode(settings, symbol);
    if (status == barwright::status::kOk) {
        status = barwright::renderRgb(symbol, barwright::PictureSettings{}, image);
    }
    if (status == barwright::status::kOk) {
        std::FILE* file = std::fopen(fileName, "wb");
        status = file == nullptr ? barwright::status::kCantOpenOutput
                                 : barwright::writePng(image, barwright::PngOptions{}, file);
        if (file != nullptr && std::fclose(file) != 0 && status == barwright::status::kOk) {
            status = barwright::status::kCantCloseOutput;
        }
    }
    std::printf("%s: %s\n", fileName, barwright::statusMessage(status));
    return status == barwright::status::kOk ? 0 : 1;
}
