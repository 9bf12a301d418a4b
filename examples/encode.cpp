// Encodes a greeting and writes it as a PNG file: barwright from C++.
#include <barwright/Symbol.h>

#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    const char* fileName = argc > 1 ? argv[1] : "greeting.png";

    barwright::SymbolSettings settings;
    settings.data = "Hello from C++~N";  // ~N is a line feed
    settings.columns = 4;

    barwright::Symbol symbol;
    std::vector<std::uint8_t> png;
    barwright::Status status = symbol.encode(settings);
    if (status == barwright::status::kOk) {
        status = symbol.writePng(2.0, png);  // 2-pixel modules
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
    std::printf("%s: %d columns, %d rows, error correction level %d\n", fileName, symbol.columns(),
                symbol.rows(), symbol.errorCorrectionLevel());
    return 0;
}
