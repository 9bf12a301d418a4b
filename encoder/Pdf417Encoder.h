#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "compaction/Codeword.h"
#include "compaction/Compactor.h"
#include "encoder/CodewordMatrix.h"
#include "encoder/MacroSettings.h"
#include "encoder/Status.h"
#include "render/Rect.h"

namespace barwright {

class RgbImage;

// Makes one PDF417 symbol: holds every setting of the symbol and of its
// picture, the data, and the result of the last encode. Every setting that
// changes the codewords re-encodes at once unless re-encoding is deferred,
// so the stored symbol always matches the settings (or encodeStatus() says
// why it could not be made).
class Pdf417Encoder {
public:
    static constexpr std::int32_t kAutomaticErrorCorrection = 9;

    // Sets the defaults and encodes the default data "1234567" once.
    Pdf417Encoder();
    virtual ~Pdf417Encoder() = default;
    Pdf417Encoder(const Pdf417Encoder&) = delete;
    Pdf417Encoder& operator=(const Pdf417Encoder&) = delete;

    // Setters store without validating; range errors surface as the status
    // of the encode. Those that change the codewords re-encode (unless
    // deferred) and return that encode's status; an unchanged value does
    // nothing and returns 0.
    [[nodiscard]] Status setData(std::string_view data);
    [[nodiscard]] Status setCompactionMode(std::int32_t mode);         // 0..4
    [[nodiscard]] Status setErrorCorrectionLevel(std::int32_t level);  // 0..8, 9 = automatic
    [[nodiscard]] Status setColumns(std::int32_t columns);             // 1..30, 0 = automatic
    [[nodiscard]] Status setRows(std::int32_t rows);                   // 3..90, 0 = automatic
    // Rebuilds only the matrix from the stored codewords, even while
    // deferred; 2 when the matrix cannot be allocated.
    [[nodiscard]] Status setCompact(bool compact);
    [[nodiscard]] Status setMacro(const MacroSettings& macro);
    // Picture settings: stored, never checked, never re-encode.
    [[nodiscard]] Status setOrientation(std::int32_t degrees);  // 0, 90, 180, 270
    [[nodiscard]] Status setBackgroundColor(std::uint32_t color);  // 0x00BBGGRR
    [[nodiscard]] Status setForegroundColor(std::uint32_t color);  // 0x00BBGGRR
    [[nodiscard]] Status setQuietZone(bool quietZone);
    [[nodiscard]] Status setHorizontalAlignment(std::int32_t align);  // 0 left, 1 centre, 2 right
    [[nodiscard]] Status setVerticalAlignment(std::int32_t align);    // 0 top, 1 centre, 2 bottom
    [[nodiscard]] Status setYToXRatio(double ratio);

    // true suspends re-encoding; false encodes at once (even when nothing
    // changed) and returns that encode's status.
    [[nodiscard]] Status setDeferred(bool deferred);
    // Encodes unless deferred and stores the status in encodeStatus().
    [[nodiscard]] Status reencode();

    // Geometry (render/SymbolGeometry.cpp).
    int symbolWidthModules() const;
    void symbolExtent(std::int32_t moduleWidth, std::int32_t rowHeight,
                      std::int32_t& width, std::int32_t& height) const;
    static std::int32_t roundHalfUp(double x);
    // Unit codes: 0 thousandths of an inch, 1 inches, 2 millimetres, 3 pixels.
    [[nodiscard]] Status computeImageSize(double xDimension, std::int32_t resolutionH,
                                          std::int32_t resolutionV, std::int32_t inputUnit,
                                          std::int32_t outputUnit, double& width,
                                          double& height) const;
    [[nodiscard]] Status fitToImage(const Rect& image, std::int32_t& moduleWidth,
                                    std::int32_t& rowHeight, Rect& area) const;
    // Drawing (render/SymbolDrawing.cpp): refuses while encodeStatus() != 0.
    [[nodiscard]] Status draw(RgbImage& image, const Rect& imageRect) const;

    // Settings.
    const std::string& data() const { return data_; }
    std::int32_t compactionMode() const { return compactionMode_; }
    std::int32_t orientation() const { return orientation_; }
    std::int32_t requestedColumns() const { return requestedColumns_; }
    std::int32_t requestedRows() const { return requestedRows_; }
    std::uint32_t backgroundColor() const { return backgroundColor_; }
    std::uint32_t foregroundColor() const { return foregroundColor_; }
    bool quietZone() const { return quietZone_; }
    bool compact() const { return compact_; }
    std::int32_t errorCorrectionLevel() const { return errorCorrectionLevel_; }
    std::int32_t alignH() const { return alignH_; }
    std::int32_t alignV() const { return alignV_; }
    double yToXRatio() const { return yToXRatio_; }
    const MacroSettings& macro() const { return macro_; }
    bool deferred() const { return deferred_; }

    // Result of the last encode.
    Status encodeStatus() const { return encodeStatus_; }
    const CodewordStream& codewords() const { return codewords_; }
    std::uint8_t columns() const { return columns_; }
    std::uint8_t rows() const { return rows_; }
    std::uint32_t usedErrorCorrectionLevel() const { return usedErrorCorrectionLevel_; }
    const CodewordMatrix& matrix() const { return matrix_; }

    // Steps of the encoding driver (encoder/EncodingDriver.cpp), public so
    // that they can be checked one by one.
    static std::uint32_t autoErrorCorrectionLevel(std::uint32_t codewordCount);
    // k for n codewords before error correction; records the level used.
    std::uint32_t errorCorrectionCount(std::uint32_t codewordCount);
    // Chooses columns and rows for N codewords (data plus error correction).
    [[nodiscard]] Status chooseDimensions(std::uint32_t neededCodewords);
    // Builds the Macro PDF417 control block (empty when macro is off).
    [[nodiscard]] Status buildMacroControlBlock(CodewordStream& block);

private:
    // The encoding driver (encoder/EncodingDriver.cpp): encode() turns an
    // allocation failure of encodeSymbol() into status 2.
    [[nodiscard]] Status encode();
    [[nodiscard]] Status encodeSymbol();
    template <typename T>
    [[nodiscard]] Status storeAndReencode(T& field, T value);

    void drawStartStop(RgbImage& image, std::int32_t x0, std::int32_t y0, std::int32_t moduleWidth,
                       std::int32_t rowHeight) const;
    void drawRows(RgbImage& image, std::int32_t x0, std::int32_t y0, std::int32_t moduleWidth,
                  std::int32_t rowHeight) const;

    std::string data_ = "1234567";
    std::int32_t compactionMode_ = Compactor::kModeAutomatic;
    std::int32_t orientation_ = 0;
    std::int32_t requestedColumns_ = 3;
    std::int32_t requestedRows_ = 0;
    std::uint32_t backgroundColor_ = 0xFFFFFF;
    std::uint32_t foregroundColor_ = 0x000000;
    bool quietZone_ = true;
    bool compact_ = false;
    std::int32_t errorCorrectionLevel_ = kAutomaticErrorCorrection;
    std::int32_t alignH_ = 1;
    std::int32_t alignV_ = 1;
    double yToXRatio_ = 4.0;
    MacroSettings macro_;
    bool deferred_ = false;
    // 2 ("Fail") until the first encode has run.
    Status encodeStatus_ = status::kFail;
    CodewordStream codewords_;
    std::uint8_t columns_ = 0;
    std::uint8_t rows_ = 0;
    std::uint32_t usedErrorCorrectionLevel_ = 0;
    CodewordMatrix matrix_;
    Compactor compactor_;
};

}  // namespace barwright
