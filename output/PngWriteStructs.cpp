#include "output/PngWriteStructs.h"

#include "output/PngBlockCache.h"

namespace barwright {
namespace {

// libpng's default handlers print to stderr; ours stay silent and the
// writer turns the jump into a status.
[[noreturn]] void silentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void silentWarning(png_structp, png_const_charp) {}

}  // namespace

PngWriteStructs::PngWriteStructs() {
    png_ = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning,
                                     nullptr, PngBlockCache::allocate, PngBlockCache::release);
    if (png_ != nullptr) {
        info_ = png_create_info_struct(png_);
    }
}

PngWriteStructs::~PngWriteStructs() {
    if (png_ != nullptr) {
        png_destroy_write_struct(&png_, info_ != nullptr ? &info_ : nullptr);
    }
}

}  // namespace barwright
