#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace barwright::test {

// One chunk of a PNG file: its four-letter type and its data.
struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

inline std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// The chunks after the signature, in file order; empty for a malformed file
// (no signature, a chunk running past the end, or bytes after the last one).
inline std::vector<Chunk> chunksOf(const std::vector<std::uint8_t>& file) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Length, type and CRC around each chunk's data.
    constexpr std::size_t kChunkFrameBytes = 12;
    std::vector<Chunk> chunks;
    if (file.size() < sizeof kSignature ||
        std::memcmp(file.data(), kSignature, sizeof kSignature) != 0) {
        return chunks;
    }
    std::size_t pos = sizeof kSignature;
    while (pos + kChunkFrameBytes <= file.size()) {
        const std::size_t length = bigEndian32(&file[pos]);
        if (pos + kChunkFrameBytes + length > file.size()) {
            return {};
        }
        Chunk chunk;
        chunk.type.assign(reinterpret_cast<const char*>(&file[pos + 4]), 4);
        chunk.data.assign(file.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                          file.begin() + static_cast<std::ptrdiff_t>(pos + 8 + length));
        chunks.push_back(std::move(chunk));
        pos += kChunkFrameBytes + length;
    }
    if (pos != file.size()) {
        return {};
    }
    return chunks;
}

}  // namespace barwright::test
