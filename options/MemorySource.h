#pragma once

#include <cstddef>
#include <string_view>

#include "options/ByteSource.h"

namespace barwright {

// Bytes already in memory, handed out at most `chunkBytes` at a time (0: as
// many as asked), so that tests and the fuzzer can put chunk boundaries
// anywhere in a record. The bytes must outlive the source.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes, std::size_t chunkBytes = 0) noexcept
        : bytes_(bytes), chunkBytes_(chunkBytes) {}

    std::size_t read(char* buffer, std::size_t capacity) noexcept override;

private:
    std::string_view bytes_;  // what is still to be read
    std::size_t chunkBytes_;
};

}  // namespace barwright
