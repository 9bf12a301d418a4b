#pragma once

#include <string>
#include <string_view>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace barwright::serve {

// A strong entity tag for a reply that is a pure function of what was fed
// in: a 128-bit XXH3 hash of the parts, each with its length, so that no two
// different lists of parts run together into the same bytes. Collisions
// would take 2^64 tries; a tag is only ever compared with the tag of the
// same URL, so even a chosen collision would mislead no cache.
class EntityTag {
public:
    EntityTag();

    void add(std::string_view part);
    // The tag as a header carries it: a quoted string of 32 hex digits.
    std::string text() const;

private:
    XXH3_state_t state_;
};

// Whether an If-None-Match header's list ("*", or tags, weak ones
// included: the comparison is weak, as the header asks) names tag.
bool ifNoneMatchNames(std::string_view header, std::string_view tag);

}  // namespace barwright::serve
