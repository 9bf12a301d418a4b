#include "serve/EntityTag.h"

#include <cstdint>

namespace barwright::serve {

EntityTag::EntityTag() { XXH3_128bits_reset(&state_); }

void EntityTag::add(std::string_view part) {
    const std::uint64_t size = part.size();
    XXH3_128bits_update(&state_, &size, sizeof size);
    XXH3_128bits_update(&state_, part.data(), part.size());
}

std::string EntityTag::text() const {
    static constexpr char kHex[] = "0123456789abcdef";
    const XXH128_hash_t hash = XXH3_128bits_digest(&state_);
    std::string tag = "\"";
    for (const std::uint64_t half : {hash.high64, hash.low64}) {
        for (int shift = 60; shift >= 0; shift -= 4) {
            tag += kHex[(half >> shift) & 15];
        }
    }
    tag += '"';
    return tag;
}

bool ifNoneMatchNames(std::string_view header, std::string_view tag) {
    while (!header.empty()) {
        const std::size_t comma = header.find(',');
        std::string_view item = header.substr(0, comma);
        header = comma == std::string_view::npos ? std::string_view() : header.substr(comma + 1);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
            item.remove_prefix(1);
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.remove_suffix(1);
        }
        if (item.substr(0, 2) == "W/") {
            item.remove_prefix(2);
        }
        if (item == "*" || item == tag) {
            return true;
        }
    }
    return false;
}

}  // namespace barwright::serve
