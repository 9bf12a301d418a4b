#pragma once

#include <png.h>

#include <array>
#include <cstddef>

namespace barwright {

// The large blocks that a PNG's zlib state takes (about 260 KB at level 6:
// the window, the hash chains, the pending output), kept by each thread
// for its next PNG. Freed after every picture, they would sit at the top of
// the C library's heap and, past its trim threshold (128 KB), go back to the
// system, to be faulted in and zeroed again for the next: a tenth of the
// time of a 24-bit invoice PNG. Caching them here keeps that saving inside
// the library, rather than changing the host's allocator settings. Every
// PNG of one set of parameters asks for the same sizes, so blocks are
// reused by exact size.
class PngBlockCache {
public:
    // Blocks from this size on are kept, the latest kMaxBlocks of them and
    // at most kMaxBytes in all, per thread; smaller ones come and go as
    // usual.
    static constexpr std::size_t kMinBlockBytes = 16 * 1024;
    static constexpr std::size_t kMaxBlocks = 8;
    static constexpr std::size_t kMaxBytes = 1024 * 1024;

    PngBlockCache() = default;
    ~PngBlockCache();
    PngBlockCache(const PngBlockCache&) = delete;
    PngBlockCache& operator=(const PngBlockCache&) = delete;

    // libpng's memory functions (png_create_write_struct_2), which it also
    // gives zlib: they use the calling thread's cache.
    static png_voidp allocate(png_structp png, png_alloc_size_t bytes);
    static void release(png_structp png, png_voidp block);

private:
    // A kept block of exactly this size, or null.
    void* take(std::size_t bytes) noexcept;
    // Keeps the block, in place of the oldest ones when the cache is full;
    // false when its size is not one to keep.
    bool keep(void* block, std::size_t bytes) noexcept;
    void remove(std::size_t index) noexcept;

    std::array<void*, kMaxBlocks> blocks_{};
    std::array<std::size_t, kMaxBlocks> sizes_{};
    std::size_t count_ = 0;
    std::size_t bytes_ = 0;
};

}  // namespace barwright
