#include "output/PngBlockCache.h"

#include <cstdlib>

namespace barwright {
namespace {

// Each block starts with its size, since libpng frees without one; the
// header keeps the block's own alignment that of malloc.
constexpr std::size_t kHeaderBytes = alignof(std::max_align_t);

PngBlockCache& threadCache() {
    thread_local PngBlockCache cache;
    return cache;
}

}  // namespace

PngBlockCache::~PngBlockCache() {
    for (std::size_t i = 0; i < count_; ++i) {
        std::free(blocks_[i]);
    }
}

void* PngBlockCache::take(std::size_t bytes) noexcept {
    for (std::size_t i = 0; i < count_; ++i) {
        if (sizes_[i] == bytes) {
            void* block = blocks_[i];
            remove(i);
            return block;
        }
    }
    return nullptr;
}

void PngBlockCache::remove(std::size_t index) noexcept {
    bytes_ -= sizes_[index];
    --count_;
    for (std::size_t i = index; i < count_; ++i) {
        blocks_[i] = blocks_[i + 1];
        sizes_[i] = sizes_[i + 1];
    }
}

bool PngBlockCache::keep(void* block, std::size_t bytes) noexcept {
    if (bytes < kMinBlockBytes || bytes > kMaxBytes) {
        return false;
    }
    // The oldest blocks make room: PNGs of other parameters (a small
    // picture takes a smaller window) may have left sizes no longer asked.
    while (count_ == kMaxBlocks || bytes_ + bytes > kMaxBytes) {
        std::free(blocks_[0]);
        remove(0);
    }
    blocks_[count_] = block;
    sizes_[count_] = bytes;
    ++count_;
    bytes_ += bytes;
    return true;
}

png_voidp PngBlockCache::allocate(png_structp, png_alloc_size_t bytes) {
    if (bytes > static_cast<png_alloc_size_t>(-1) - kHeaderBytes) {
        return nullptr;
    }
    void* block = threadCache().take(bytes);
    if (block == nullptr) {
        block = std::malloc(kHeaderBytes + bytes);
        if (block == nullptr) {
            return nullptr;
        }
        *static_cast<std::size_t*>(block) = bytes;
    }
    return static_cast<unsigned char*>(block) + kHeaderBytes;
}

void PngBlockCache::release(png_structp, png_voidp pointer) {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<unsigned char*>(pointer) - kHeaderBytes;
    if (!threadCache().keep(block, *static_cast<std::size_t*>(block))) {
        std::free(block);
    }
}

}  // namespace barwright
