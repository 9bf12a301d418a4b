#include "options/MemorySource.h"

#include <algorithm>
#include <cstring>

namespace barwright {

std::size_t MemorySource::read(char* buffer, std::size_t capacity) noexcept {
    std::size_t count = std::min(capacity, bytes_.size());
    if (chunkBytes_ > 0) {
        count = std::min(count, chunkBytes_);
    }
    if (count > 0) {
        std::memcpy(buffer, bytes_.data(), count);
        bytes_.remove_prefix(count);
    }
    return count;
}

}  // namespace barwright
