#pragma once

#include <png.h>

namespace barwright {

// Owns one libpng write structure and its info structure. libpng's errors
// end in a silent long jump (they never print, never abort), so a failed
// write becomes a returned status of the caller.
class PngWriteStructs {
public:
    // Creates both structures; valid() is false when either could not be
    // made, and then nothing may be written through them.
    PngWriteStructs();
    ~PngWriteStructs();
    PngWriteStructs(const PngWriteStructs&) = delete;
    PngWriteStructs& operator=(const PngWriteStructs&) = delete;

    bool valid() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace barwright
